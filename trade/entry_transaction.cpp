#include "entry_transaction.h"

#include "CDatabase.h"

CEntryTransaction::CEntryTransaction(CDatabase& db) : m_db(db) {
    m_db.SetAutoCommit(false);
}

CEntryTransaction::~CEntryTransaction() {
    // Turning auto-commit on would commit what is open, so the rollback comes first.
    if (!m_bCommitted) {
        try {
            m_db.Rollback();
        } catch (const CDBException&) {
            // The connection is gone or broken: the server drops what was not committed.
        }
    }
    if (m_bAutoCommitBack)
        return;
    try {
        m_db.SetAutoCommit(true);
    } catch (const CDBException&) {
        // Nothing is left open to commit by mistake; the next entry tries again.
    }
}

long long CEntryTransaction::Execute(const QString& sql) {
    return m_db.ExecuteSQL(sql);
}

std::optional<CDBException> CEntryTransaction::TryExecute(const QString& savepoint,
                                                          const QString& sql, long long* rows) {
    m_db.Savepoint(savepoint);
    try {
        const long long changed = m_db.ExecuteSQL(sql);
        m_db.ReleaseSavepoint(savepoint);
        if (rows)
            *rows = changed;
        return std::nullopt;
    } catch (const CDBException& e) {
        m_db.RollbackToSavepoint(savepoint);
        m_db.ReleaseSavepoint(savepoint);
        return e;
    }
}

std::optional<CDBException> CEntryTransaction::Commit() {
    m_db.CommitTrans();
    m_bCommitted = true;
    try {
        m_db.SetAutoCommit(true);
        m_bAutoCommitBack = true;
    } catch (const CDBException& e) {
        return e;
    }
    return std::nullopt;
}
