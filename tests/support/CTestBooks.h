#pragma once
// A fresh, empty set of books on one backend for one test: the newest books with the first
// operator, or books of the first version (the four tables only) to upgrade. SQLite: a new file in
// a new temporary folder. PostgreSQL: the database of this test process on the cluster that
// APRICOT_PG_CONNECT reaches, its tables made anew.
#include "CDatabase.h"
#include "backend.h"
#include "qt_printers.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class CTestBooks {
public:
    enum class Tables { Created, None, Version1 };

    // Empty when the backend can be used; otherwise why not. `skip` is set when the user
    // asked to run without it (APRICOT_SKIP_PG=1), which is the only case for skipping.
    static QString Unavailable(Backend backend, bool* skip = nullptr);

    // Throws std::runtime_error when the books cannot be made.
    explicit CTestBooks(Backend backend, Tables tables = Tables::Created);
    CTestBooks(const CTestBooks&) = delete;
    CTestBooks& operator=(const CTestBooks&) = delete;

    CDatabase& Db() { return m_db; }
    Backend GetBackend() const { return m_backend; }
    const QString& ConnectString() const { return m_connect; }
    // A temporary folder for the test's own files, removed with the books.
    QString Folder() const { return m_folder.path(); }

    // Another connection to the same books.
    std::unique_ptr<CDatabase> OpenAnotherConnection() const;
    // Drops every table of the books, whichever exist.
    void DropTables();

    // The path of apricot_sqlite.so in the build tree.
    static QString SqliteExtension();

private:
    void CreateVersion1();

    Backend m_backend;
    QTemporaryDir m_folder;
    QString m_connect;
    CDatabase m_db;
};

// Base of the tests that run on both backends: fresh books for every test. A missing
// PostgreSQL fails the test unless APRICOT_SKIP_PG=1.
class CBooksTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override;
    CDatabase& Db() { return m_books->Db(); }
    CTestBooks& Books() { return *m_books; }
    // Runs a statement the test needs to succeed, failing the test with the driver's message.
    void Exec(const QString& sql);
    // Whether the statement fails, which is what some tests expect.
    bool Fails(const QString& sql);

    // From now on every statement that runs without error on the books lands in m_sent.
    void RecordStatements();

    virtual CTestBooks::Tables InitialTables() const { return CTestBooks::Tables::Created; }

    QStringList m_sent; // outlives the books, whose hook fills it
    std::unique_ptr<CTestBooks> m_books;
};
