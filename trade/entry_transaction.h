#pragma once
// One entry's statements as one transaction on the shared connection: either all of them stay
// or none does, also when the process dies between two of them. Whatever happens, the
// connection is back in auto-commit when the transaction object goes.
#include "CDBException.h"

#include <QString>
#include <optional>

class CDatabase;

class CEntryTransaction {
public:
    // Turns auto-commit off. Throws CDBException.
    explicit CEntryTransaction(CDatabase& db);
    // Rolls back unless committed, then turns auto-commit back on; never throws.
    ~CEntryTransaction();
    CEntryTransaction(const CEntryTransaction&) = delete;
    CEntryTransaction& operator=(const CEntryTransaction&) = delete;

    // Runs one statement; returns the rows it changed. Throws CDBException.
    long long Execute(const QString& sql);
    // Runs a statement that is allowed to fail, under a savepoint: when it fails, only its own
    // work is undone and the transaction goes on. Returns its error, or nullopt and the rows
    // changed in `rows`. Throws CDBException when the savepoint itself fails.
    std::optional<CDBException> TryExecute(const QString& savepoint, const QString& sql,
                                           long long* rows = nullptr);
    // Commits and turns auto-commit back on. Throws CDBException when the commit fails; the
    // destructor then rolls back. After a successful commit nothing is undone: a failure to turn
    // auto-commit back on is returned, and the destructor tries once more.
    std::optional<CDBException> Commit();

private:
    CDatabase& m_db;
    bool m_bCommitted = false;
    bool m_bAutoCommitBack = false;
};
