#include "CTransaction.h"

#include "CDatabase.h"

namespace {

const QString kNestedSavepoint = QStringLiteral("apricot_write_back");

} // namespace

CTransaction::CTransaction(CDatabase& db) : m_db(db), m_bNested(!db.IsAutoCommit()) {
    if (m_bNested)
        m_db.Savepoint(kNestedSavepoint);
    else
        m_db.SetAutoCommit(false);
}

CTransaction::~CTransaction() {
    // Turning auto-commit on would commit what is open, so the rollback comes first.
    if (!m_bCommitted) {
        try {
            if (m_bNested) {
                m_db.RollbackToSavepoint(kNestedSavepoint);
                m_db.ReleaseSavepoint(kNestedSavepoint);
            } else {
                m_db.Rollback();
            }
        } catch (const CDBException&) {
            // The connection is gone or broken: the server drops what was not committed.
        }
    }
    if (m_bNested || m_bAutoCommitBack)
        return;
    try {
        m_db.SetAutoCommit(true);
    } catch (const CDBException&) {
        // Nothing is left open to commit by mistake; the next transaction tries again.
    }
}

long long CTransaction::Execute(const QString& sql, const sqlparams::Values& values) {
    return m_db.ExecuteSQL(sql, values);
}

std::optional<CDBException> CTransaction::TryExecute(const QString& savepoint, const QString& sql,
                                                     long long* rows) {
    return TryExecute(savepoint, CStatement{sql, {}}, rows);
}

std::optional<CDBException> CTransaction::TryExecute(const QString& savepoint,
                                                     const CStatement& statement, long long* rows) {
    long long changed = 0;
    std::optional<CDBException> failed =
        TryRun(savepoint, [&] { changed = m_db.ExecuteSQL(statement); });
    if (!failed && rows)
        *rows = changed;
    return failed;
}

std::optional<CDBException> CTransaction::TryRun(const QString& savepoint,
                                                 const std::function<void()>& work) {
    m_db.Savepoint(savepoint);
    try {
        work();
        m_db.ReleaseSavepoint(savepoint);
        return std::nullopt;
    } catch (const CDBException& e) {
        m_db.RollbackToSavepoint(savepoint);
        m_db.ReleaseSavepoint(savepoint);
        return e;
    }
}

void CTransaction::Undo() {
    if (m_bNested)
        m_db.RollbackToSavepoint(kNestedSavepoint);
    else
        m_db.Rollback();
}

std::optional<CDBException> CTransaction::Commit() {
    if (m_bNested) {
        m_db.ReleaseSavepoint(kNestedSavepoint);
        m_bCommitted = true;
        return std::nullopt;
    }
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
