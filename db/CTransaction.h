#pragma once
// Several statements as one: either all of them stay or none does, also when the process dies
// between two of them. On a connection in auto-commit it is a transaction of its own, and the
// connection is back in auto-commit when the object goes, whatever happened; inside a
// transaction the caller opened it is a savepoint, so the caller's work is neither committed
// nor lost. The grid's write-back and both entries run through it.
#include "CDBException.h"
#include "sql_params.h"

#include <QString>
#include <functional>
#include <optional>

class CDatabase;

class CTransaction {
public:
    // Turns auto-commit off, or sets the savepoint. Throws CDBException.
    explicit CTransaction(CDatabase& db);
    // Undoes what was not committed, then turns auto-commit back on where it turned it off;
    // never throws.
    ~CTransaction();
    CTransaction(const CTransaction&) = delete;
    CTransaction& operator=(const CTransaction&) = delete;

    // Runs one statement; returns the rows it changed. Throws CDBException.
    long long Execute(const QString& sql, const sqlparams::Values& values = {});
    long long Execute(const CStatement& statement) {
        return Execute(statement.sql, statement.values);
    }
    // Runs a statement that is allowed to fail, under a savepoint: when it fails, only its own
    // work is undone and the transaction goes on. Returns its error, or nullopt and the rows
    // changed in `rows`. Throws CDBException when the savepoint itself fails.
    std::optional<CDBException> TryExecute(const QString& savepoint, const QString& sql,
                                           long long* rows = nullptr);
    std::optional<CDBException> TryExecute(const QString& savepoint, const CStatement& statement,
                                           long long* rows = nullptr);
    // The same for several statements: `work` runs under the savepoint, and when it throws
    // CDBException all it did is undone and the error returned.
    std::optional<CDBException> TryRun(const QString& savepoint, const std::function<void()>& work);
    // Back to where the transaction began; it may start again. Throws CDBException.
    void Undo();
    // Commits (releases the savepoint) and turns auto-commit back on. Throws CDBException when
    // the commit fails; the destructor then undoes the work. After a successful commit nothing is
    // undone: a failure to turn auto-commit back on is returned, and the destructor tries once
    // more.
    std::optional<CDBException> Commit();

private:
    CDatabase& m_db;
    const bool m_bNested;
    bool m_bCommitted = false;
    bool m_bAutoCommitBack = false;
};
