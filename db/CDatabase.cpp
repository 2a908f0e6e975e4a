#include "CDatabase.h"

#include "connect_string.h"

#include "CDBException.h"
#include "CRecordset.h"

#include <QRegularExpression>
#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <utility>

namespace {

SQLCHAR* Narrow(QByteArray& utf8) {
    return reinterpret_cast<SQLCHAR*>(utf8.data());
}

void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle) {
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
        throw CDBException::FromHandle(type, handle);
}

QString DriverName(SQLHDBC hdbc) {
    char name[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(hdbc, SQL_DBMS_NAME, name, sizeof name, &length)))
        return {};
    return QString::fromUtf8(name);
}

// Texts travel as UTF-8 through the narrow ODBC calls: the SQLite driver has no others, and the
// driver manager's own conversions cannot carry characters outside the BMP. Drivers that
// convert (psqlODBC) do so from the C locale's character set, so it must be UTF-8, whatever
// the environment says.
void EnsureUtf8Locale() {
    static const bool done = [] {
        std::setlocale(LC_CTYPE, "");
        if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0)
            std::setlocale(LC_CTYPE, "C.UTF-8");
        return true;
    }();
    (void)done;
}

} // namespace

CDatabase::CDatabase() = default;

CDatabase::~CDatabase() {
    Close();
}

bool CDatabase::OpenEx(const QString& connect) {
    return OpenEx(connect.toUtf8());
}

bool CDatabase::OpenEx(const QByteArray& connect) {
    if (!m_henv) {
        EnsureUtf8Locale();
        if (!m_henv.Allocate(SQL_HANDLE_ENV, SQL_NULL_HANDLE))
            return false;
        Check(SQLSetEnvAttr(m_henv.Get(), SQL_ATTR_ODBC_VERSION,
                            reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
              SQL_HANDLE_ENV, m_henv.Get());
    }
    COdbcHandle hdbc;
    if (!hdbc.Allocate(SQL_HANDLE_DBC, m_henv.Get()))
        throw CDBException::FromHandle(SQL_HANDLE_ENV, m_henv.Get());
    SQLSetConnectAttr(hdbc.Get(), SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(m_loginTimeout)), 0);

    QByteArray utf8 = connect;
    SQLCHAR out[2048];
    SQLSMALLINT outLength = 0;
    SQLRETURN rc = SQLDriverConnect(
        hdbc.Get(), nullptr, Narrow(utf8), static_cast<SQLSMALLINT>(utf8.size()), out,
        static_cast<SQLSMALLINT>(std::size(out)), &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        CDBException error = CDBException::FromHandle(SQL_HANDLE_DBC, hdbc.Get());
        if (error.ErrorText().isEmpty())
            return false;
        throw error;
    }
    m_reader.reset();
    m_hdbc = std::move(hdbc);
    m_connect = connect;
    m_autoCommit = true;
    const QString dbms = DriverName(m_hdbc.Get()).toLower();
    if (dbms.contains(QLatin1String("sqlite")))
        m_dialect = Dialect::SQLite;
    else if (dbms.contains(QLatin1String("postgres")))
        m_dialect = Dialect::PostgreSQL;
    else
        m_dialect = Dialect::Unknown;
    if (m_dialect == Dialect::PostgreSQL) {
        // A backslash in a literal must never end it, whatever the server or role sets.
        try {
            Run("SET standard_conforming_strings = on");
        } catch (const CDBException&) {
            Close();
            throw;
        }
    }
    return true;
}

CDatabase& CDatabase::ResultReader() {
    if (m_dialect == Dialect::Unknown || !m_autoCommit || m_transactionOpen)
        return *this;
    if (!m_reader) {
        auto reader = std::make_unique<CDatabase>();
        reader->m_loginTimeout = m_loginTimeout;
        reader->m_queryTimeout = m_queryTimeout;
        // SQLite's driver steps through the result; psqlODBC reads it through a cursor of its
        // own, a part at a time, instead of copying all of it before the first row.
        const QString connect =
            m_dialect == Dialect::SQLite
                ? connectstring::WithOption(QString::fromUtf8(m_connect), QStringLiteral("StepAPI"),
                                            QStringLiteral("1"))
                : connectstring::WithOption(
                      connectstring::WithOption(QString::fromUtf8(m_connect),
                                                QStringLiteral("UseDeclareFetch"),
                                                QStringLiteral("1")),
                      QStringLiteral("Fetch"), QStringLiteral("2000"));
        try {
            if (!reader->OpenEx(connect) || reader->m_dialect != m_dialect)
                return *this;
        } catch (const CDBException&) {
            return *this;
        }
        m_reader = std::move(reader);
    }
    m_reader->m_queryTimeout = m_queryTimeout;
    return *m_reader;
}

void CDatabase::SetPendingRead(std::weak_ptr<std::function<void()>> finish) {
    FinishPendingRead();
    m_pendingRead = std::move(finish);
}

void CDatabase::FinishPendingRead() {
    // Taken out first: the rest is read without coming back here.
    const std::shared_ptr<std::function<void()>> finish = std::exchange(m_pendingRead, {}).lock();
    if (finish && *finish)
        (*finish)();
}

void CDatabase::Close() {
    FinishPendingRead();
    m_reader.reset();
    if (!m_hdbc)
        return;
    if (m_transactionOpen) {
        try {
            Run("ROLLBACK");
        } catch (const CDBException&) {
            // Closing drops what was not committed anyway.
        }
    } else if (!m_autoCommit && !OwnsTransactions()) {
        SQLEndTran(SQL_HANDLE_DBC, m_hdbc.Get(), SQL_ROLLBACK);
    }
    SQLDisconnect(m_hdbc.Get());
    m_hdbc.Reset();
    m_autoCommit = true;
    m_transactionOpen = false;
    m_dialect = Dialect::Unknown;
}

COdbcHandle CDatabase::NewStatement() const {
    if (!m_hdbc)
        throw CDBException::ConnectionClosed();
    COdbcHandle stmt;
    if (!stmt.Allocate(SQL_HANDLE_STMT, m_hdbc.Get()))
        throw CDBException::FromHandle(SQL_HANDLE_DBC, m_hdbc.Get());
    SQLSetStmtAttr(stmt.Get(), SQL_ATTR_QUERY_TIMEOUT,
                   reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(m_queryTimeout)), 0);
    return stmt;
}

CDBException CDatabase::StatementFailure(SQLHSTMT statement) {
    CDBException failure = CDBException::FromStatement(statement, m_hdbc.Get());
    if (failure.ErrorText() != CDBException::NoReasonText())
        return failure;
    try {
        Run("SELECT 1");
    } catch (const CDBException& probe) {
        // A plain SELECT fails on a live connection only inside a transaction already failed
        // (25P02); otherwise the connection is unusable ("no connection to the server", which
        // psqlODBC reports as HY000): lost, so that the entry is looked up and it reconnects.
        if (IsConnectionLost(probe))
            return probe;
        if (probe.SqlState() != QLatin1String("25P02") && !probe.ErrorText().isEmpty())
            return CDBException(probe.ErrorText(), QStringLiteral("08S01"));
    }
    return failure;
}

void CDatabase::Run(const char* sql) {
    COdbcHandle stmt = NewStatement();
    QByteArray text(sql);
    Check(SQLExecDirect(stmt.Get(), Narrow(text), static_cast<SQLINTEGER>(text.size())),
          SQL_HANDLE_STMT, stmt.Get());
}

void CDatabase::JoinTransaction() {
    if (!m_hdbc || m_autoCommit || m_transactionOpen || !OwnsTransactions())
        return;
    Run("BEGIN");
    m_transactionOpen = true;
}

long long CDatabase::ExecuteSQL(const QString& sql) {
    return ExecuteSQL(sql, {});
}

long long CDatabase::ExecuteSQL(const QString& sql, const sqlparams::Values& values) {
    if (!m_hdbc)
        throw CDBException::ConnectionClosed();
    return RunReconnecting(OnlyReads(sql), [&] {
        JoinTransaction();
        COdbcHandle stmt = NewStatement();
        sqlparams::CBound bound;
        bound.Bind(stmt.Get(), values);
        QByteArray utf8 = sql.toUtf8();
        SQLRETURN rc =
            SQLExecDirect(stmt.Get(), Narrow(utf8), static_cast<SQLINTEGER>(utf8.size()));
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
            throw StatementFailure(stmt.Get());
        SQLLEN rows = -1;
        if (rc != SQL_NO_DATA && !SQL_SUCCEEDED(SQLRowCount(stmt.Get(), &rows)))
            rows = -1;
        if (rc == SQL_NO_DATA)
            rows = 0;
        NotifyStatement(sql);
        return static_cast<long long>(rows);
    });
}

bool CDatabase::OnlyReads(const QString& sql) {
    // One SELECT, perhaps in parentheses, and nothing after it; SELECT ... INTO makes a table.
    QStringView text = QStringView(sql).trimmed();
    while (text.endsWith(u';'))
        text = text.chopped(1).trimmed();
    while (text.startsWith(u'('))
        text = text.mid(1).trimmed();
    if (!text.startsWith(QLatin1StringView("select"), Qt::CaseInsensitive) || text.contains(u';'))
        return false;
    const QStringView rest = text.mid(6);
    if (!rest.isEmpty() && (rest.front().isLetterOrNumber() || rest.front() == u'_'))
        return false;
    static const QRegularExpression into(QStringLiteral("\\bINTO\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    return !into.match(rest).hasMatch();
}

bool CDatabase::IsConnectionLost(const CDBException& e) {
    // Class 08 is the connection's; 57P0x is the server shutting down or restarting.
    const QString& state = e.SqlState();
    return state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P0"));
}

void CDatabase::ReconnectIfLost() {
    if (m_lost && m_autoCommit && m_dialect == Dialect::PostgreSQL)
        Reconnect();
}

bool CDatabase::ReconnectedAfter(const CDBException& e) {
    if (m_dialect != Dialect::PostgreSQL || !IsConnectionLost(e))
        return false;
    m_lost = true;
    return m_autoCommit && Reconnect();
}

bool CDatabase::Reconnect() {
    COdbcHandle lost = std::move(m_hdbc);
    const Dialect dialect = m_dialect;
    bool opened = false;
    try {
        opened = OpenEx(m_connect);
    } catch (const CDBException&) {
        opened = false;
    }
    if (!opened) {
        // The next statement tries again; until then the old handle reports the failure.
        m_hdbc = std::move(lost);
        m_dialect = dialect;
        m_autoCommit = true;
        return false;
    }
    SQLDisconnect(lost.Get());
    m_lost = false;
    if (m_reconnectHook)
        m_reconnectHook();
    return true;
}

void CDatabase::SetAutoCommit(bool on) {
    FinishPendingRead();
    if (!m_hdbc || on == m_autoCommit)
        return;
    if (m_lost && m_dialect == Dialect::PostgreSQL) {
        // The server dropped the transaction with the connection; a new one starts fresh.
        m_autoCommit = true;
        if (!on)
            ReconnectIfLost();
        else
            return;
    }
    if (OwnsTransactions()) {
        // As with the driver's own: turning auto-commit on commits what is open.
        if (on && m_transactionOpen) {
            Run("COMMIT");
            m_transactionOpen = false;
        }
        m_autoCommit = on;
        try {
            JoinTransaction();
            if (m_autoCommitHook)
                m_autoCommitHook(on);
        } catch (const CDBException&) {
            m_autoCommit = true; // no transaction began: statements still commit one by one
            throw;
        }
        return;
    }
    SQLULEN value = on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
    Check(SQLSetConnectAttr(m_hdbc.Get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(value),
                            0),
          SQL_HANDLE_DBC, m_hdbc.Get());
    m_autoCommit = on;
    if (m_autoCommitHook)
        m_autoCommitHook(on);
}

void CDatabase::CommitTrans() {
    if (!m_hdbc)
        return;
    if (OwnsTransactions()) {
        // A failed COMMIT leaves the transaction open, for the caller's Rollback.
        if (m_transactionOpen)
            Run("COMMIT");
        m_transactionOpen = false;
        NotifyStatement(QStringLiteral("COMMIT"));
        return;
    }
    try {
        Check(SQLEndTran(SQL_HANDLE_DBC, m_hdbc.Get(), SQL_COMMIT), SQL_HANDLE_DBC, m_hdbc.Get());
        NotifyStatement(QStringLiteral("COMMIT"));
    } catch (const CDBException& e) {
        // Whether the server committed is unknown; the next statement needs a new connection.
        if (IsConnectionLost(e))
            m_lost = true;
        throw;
    }
}

void CDatabase::Rollback() {
    if (!m_hdbc)
        return;
    if (m_lost && m_dialect == Dialect::PostgreSQL)
        return; // the server dropped the transaction with the connection
    if (OwnsTransactions()) {
        if (!m_transactionOpen)
            return;
        m_transactionOpen = false;
        try {
            Run("ROLLBACK");
        } catch (const CDBException& e) {
            // SQLite rolled back by itself after the error that brought the caller here.
            if (!e.ErrorText().contains(QLatin1String("no transaction is active")))
                throw;
        }
        return;
    }
    Check(SQLEndTran(SQL_HANDLE_DBC, m_hdbc.Get(), SQL_ROLLBACK), SQL_HANDLE_DBC, m_hdbc.Get());
}

void CDatabase::Savepoint(const QString& name) {
    ExecuteSQL(QStringLiteral("SAVEPOINT ") + name);
}

void CDatabase::RollbackToSavepoint(const QString& name) {
    ExecuteSQL(QStringLiteral("ROLLBACK TO SAVEPOINT ") + name);
}

void CDatabase::ReleaseSavepoint(const QString& name) {
    ExecuteSQL(QStringLiteral("RELEASE SAVEPOINT ") + name);
}
