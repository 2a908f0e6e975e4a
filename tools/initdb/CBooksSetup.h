#pragma once
// Creates a new set of books: a SQLite file with its connect.txt, or the tables in an empty
// database reached by a connection string. Never drops or overwrites anything.
#include <QString>

class CDatabase;

class CBooksSetup {
public:
    enum class Outcome { Created, BooksExist, Failed };

    explicit CBooksSetup(bool withDemo) : m_withDemo(withDemo) {}

    // FOLDER/apricot.db and FOLDER/connect.txt; the folder is made when missing.
    Outcome CreateInFolder(const QString& folder);
    // The tables in the database that `connect` reaches.
    Outcome CreateOnConnection(const QString& connect);

    // What to tell the user: the result on success, the reason otherwise.
    const QString& Message() const { return m_message; }

private:
    Outcome Fail(const QString& message);
    // Creates the tables (and the demo books) in one transaction on an open connection.
    Outcome Populate(CDatabase& db, const QString& where);

    bool m_withDemo;
    QString m_message;
};
