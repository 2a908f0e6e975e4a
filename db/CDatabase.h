#pragma once
// One ODBC connection over unixODBC's narrow calls, with every text in UTF-8.
#include "CDBException.h"
#include "odbc_handle.h"
#include "sql_params.h"
#include <QString>
#include <functional>
#include <memory>

class CDatabase {
public:
    enum class Dialect { Unknown, SQLite, PostgreSQL };

    CDatabase();
    ~CDatabase();
    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;

    // Connects with the string as it stands and never prompts. Login and query time-outs are
    // m_loginTimeout and m_queryTimeout (15 s). Throws CDBException with the diagnostics; returns
    // false when the driver manager fails without saying why.
    bool OpenEx(const QString& connect);
    // The same with the bytes of the string, passed to the driver untouched.
    bool OpenEx(const QByteArray& connect);
    void Close();
    bool IsOpen() const { return static_cast<bool>(m_hdbc); }

    // Runs one statement directly; returns the number of rows it changed (-1 if not known).
    // Throws CDBException.
    long long ExecuteSQL(const QString& sql);
    // The same with `values` bound to the statement's "?" marks, in order.
    long long ExecuteSQL(const QString& sql, const sqlparams::Values& values);
    long long ExecuteSQL(const CStatement& statement) {
        return ExecuteSQL(statement.sql, statement.values);
    }

    // Transactions for entries of several statements. While manual commit is on, every
    // statement joins the open transaction until CommitTrans or Rollback.
    // On SQLite the transaction is this class's own BEGIN/COMMIT/ROLLBACK, not the driver's:
    // after a disk I/O error SQLite may roll back by itself, and the driver, still believing a
    // transaction open, would run the next entry statement by statement outside any.
    void SetAutoCommit(bool on);
    bool IsAutoCommit() const { return m_autoCommit; }
    void CommitTrans();
    void Rollback();
    void Savepoint(const QString& name);
    void RollbackToSavepoint(const QString& name);
    void ReleaseSavepoint(const QString& name);
    // Opens the transaction manual commit promises where this class keeps it; every statement
    // runner calls it before running a statement. Throws CDBException.
    void JoinTransaction();

    Dialect GetDialect() const { return m_dialect; }
    // The connection string of the last successful open.
    QString ConnectString() const { return QString::fromUtf8(m_connect); }
    SQLHDBC Handle() const { return m_hdbc.Get(); }
    int QueryTimeout() const { return m_queryTimeout; }
    // A statement handle with the query time-out set. Throws CDBException.
    COdbcHandle NewStatement() const;
    // Why `statement`, run on this connection, failed. A driver that leaves no word of it
    // (psqlODBC on a connection the server dropped, with values bound) is asked once more with
    // a plain query, whose failure then says whether the connection is gone.
    CDBException StatementFailure(SQLHSTMT statement);

    // Where a large result is best read, outside a transaction: a second connection whose
    // driver reads the result in parts instead of copying all of it before the first row. On
    // SQLite books it steps through the result row by row; that mode must only ever read: it
    // skips a statement that begins with WITH and changes rows, and it describes a column that is
    // no table's column as text of 255. On a server it fetches through a cursor of the driver's
    // own, 2000 rows at a time. Otherwise, or when it cannot be opened, this connection.
    CDatabase& ResultReader();
    // A load left half read keeps its statement open, and on SQLite books the books open for
    // reading, which would keep this connection from writing. Whatever this connection runs
    // next first calls `finish` (unless its owner let it go), which reads the rest.
    void SetPendingRead(std::weak_ptr<std::function<void()>> finish);
    void FinishPendingRead();

    // Called after every statement that ran without error (tests use it to stop a process
    // between two statements of an entry).
    void SetStatementHook(std::function<void(const QString&)> hook) { m_hook = std::move(hook); }
    void NotifyStatement(const QString& sql) const {
        if (m_hook)
            m_hook(sql);
    }

    // On a server's books, a statement that finds the connection gone (the server restarted or
    // closed it) opens it again from the same connection string. It runs once more only when
    // running it twice cannot change the books: `repeatable` (a query), or the connection was
    // already known lost, so that the first try never reached the server. A statement inside a
    // transaction fails, and the next statement opens the connection again first. A statement
    // that may have changed rows fails with its error, whose outcome the caller must look up
    // (IsConnectionLost). SQLite books have no server to lose.
    template <class Run> auto RunReconnecting(bool repeatable, Run&& run) -> decltype(run()) {
        FinishPendingRead();
        ReconnectIfLost();
        const bool neverReached = m_lost;
        try {
            return run();
        } catch (const CDBException& e) {
            if (!ReconnectedAfter(e) || !(repeatable || neverReached))
                throw;
        }
        return run();
    }
    // Whether a statement only reads, so that running it twice, or on another connection,
    // changes nothing: one SELECT that writes no table.
    static bool OnlyReads(const QString& sql);
    // Whether `e` says the connection to the server is gone.
    static bool IsConnectionLost(const CDBException& e);
    // Called after the connection was opened again ("已重新连接数据库" in the status bar).
    void SetReconnectHook(std::function<void()> hook) { m_reconnectHook = std::move(hook); }

    // Called after auto-commit was switched (tests use it to fail the switch back after a
    // commit).
    void SetAutoCommitHook(std::function<void(bool on)> hook) {
        m_autoCommitHook = std::move(hook);
    }

    int m_loginTimeout = 15;
    int m_queryTimeout = 15;

private:
    // Opens the connection again when a failure found it lost and no transaction is open.
    void ReconnectIfLost();
    // After `e`: whether the connection was lost and has been opened again for a second try.
    bool ReconnectedAfter(const CDBException& e);
    // A new connection from the same string in place of the lost one; false (the old handle
    // kept) when the server cannot be reached.
    bool Reconnect();

    COdbcHandle m_henv;
    COdbcHandle m_hdbc;
    bool OwnsTransactions() const { return m_dialect == Dialect::SQLite; }
    void Run(const char* sql);

    QByteArray m_connect;
    bool m_autoCommit = true;
    bool m_transactionOpen = false; // a BEGIN of ours is outstanding
    Dialect m_dialect = Dialect::Unknown;
    std::function<void(const QString&)> m_hook;
    std::function<void(bool)> m_autoCommitHook;
    std::function<void()> m_reconnectHook;
    bool m_lost = false;                 // a statement found the server's connection gone
    std::unique_ptr<CDatabase> m_reader; // see ResultReader
    std::weak_ptr<std::function<void()>> m_pendingRead;
};
