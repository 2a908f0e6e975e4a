#pragma once
// Stopping a backup from another thread: the program that closes must not wait for a copy of
// hundreds of megabytes. The statement running is interrupted (SQLCancel, which SQLite's driver
// turns into sqlite3_interrupt), and every step after it is skipped.
#include "sql_params.h"

#include <QString>
#include <atomic>
#include <mutex>

class CDatabase;

class CBackupStop {
public:
    // Any thread: asks the backup to stop and interrupts the statement it runs. May be called
    // again; a statement started between two calls is interrupted by the next.
    void Stop();
    bool Stopped() const { return m_stopped.load(); }

    // Runs `sql` with `values` on `db` so that Stop can interrupt it; the first column of the
    // first row as text (empty when there is none). Throws CDBException, also when stopped.
    QString Run(CDatabase& db, const QString& sql, const sqlparams::Values& values = {});

private:
    std::atomic<bool> m_stopped{false};
    std::mutex m_mutex;
    SQLHSTMT m_running = SQL_NULL_HSTMT; // under m_mutex
};
