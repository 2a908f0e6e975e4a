#include "CDatabase.h"

#include "CDBException.h"
#include "CRecordset.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>

namespace {

const SQLWCHAR* Wide(const QString& text) { return reinterpret_cast<const SQLWCHAR*>(text.utf16()); }

void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle) {
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
        throw CDBException::FromHandle(type, handle);
}

QString DriverName(SQLHDBC hdbc) {
    SQLWCHAR name[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(hdbc, SQL_DBMS_NAME, name, sizeof name, &length)))
        return {};
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(name));
}

// The driver manager turns wide texts into the narrow ones of an ANSI driver (the SQLite one)
// in the character set of the C locale: it must be UTF-8, whatever the environment says.
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

CDatabase::~CDatabase() { Close(); }

bool CDatabase::OpenEx(const QString& connect) {
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
    SQLSetConnectAttrW(hdbc.Get(), SQL_ATTR_LOGIN_TIMEOUT,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(m_loginTimeout)), 0);

    SQLWCHAR out[1024];
    SQLSMALLINT outLength = 0;
    SQLRETURN rc =
        SQLDriverConnectW(hdbc.Get(), nullptr, const_cast<SQLWCHAR*>(Wide(connect)),
                          static_cast<SQLSMALLINT>(connect.size()), out,
                          static_cast<SQLSMALLINT>(std::size(out)), &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        CDBException error = CDBException::FromHandle(SQL_HANDLE_DBC, hdbc.Get());
        if (error.ErrorText().isEmpty())
            return false;
        throw error;
    }
    m_hdbc = std::move(hdbc);
    m_autoCommit = true;
    const QString dbms = DriverName(m_hdbc.Get()).toLower();
    if (dbms.contains(QLatin1String("sqlite")))
        m_dialect = Dialect::SQLite;
    else if (dbms.contains(QLatin1String("postgres")))
        m_dialect = Dialect::PostgreSQL;
    else
        m_dialect = Dialect::Unknown;
    return true;
}

void CDatabase::Close() {
    if (!m_hdbc)
        return;
    if (!m_autoCommit)
        SQLEndTran(SQL_HANDLE_DBC, m_hdbc.Get(), SQL_ROLLBACK);
    SQLDisconnect(m_hdbc.Get());
    m_hdbc.Reset();
    m_autoCommit = true;
    m_dialect = Dialect::Unknown;
}

long long CDatabase::ExecuteSQL(const QString& sql) {
    if (!m_hdbc)
        throw CDBException(QStringLiteral("The connection is closed.\n"));
    COdbcHandle stmt;
    if (!stmt.Allocate(SQL_HANDLE_STMT, m_hdbc.Get()))
        throw CDBException::FromHandle(SQL_HANDLE_DBC, m_hdbc.Get());
    SQLSetStmtAttrW(stmt.Get(), SQL_ATTR_QUERY_TIMEOUT,
                    reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(m_queryTimeout)), 0);
    SQLRETURN rc = SQLExecDirectW(stmt.Get(), const_cast<SQLWCHAR*>(Wide(sql)),
                                  static_cast<SQLINTEGER>(sql.size()));
    Check(rc, SQL_HANDLE_STMT, stmt.Get());
    SQLLEN rows = -1;
    if (rc != SQL_NO_DATA && !SQL_SUCCEEDED(SQLRowCount(stmt.Get(), &rows)))
        rows = -1;
    if (rc == SQL_NO_DATA)
        rows = 0;
    NotifyStatement(sql);
    return rows;
}

void CDatabase::SetAutoCommit(bool on) {
    if (!m_hdbc || on == m_autoCommit)
        return;
    SQLULEN value = on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
    Check(SQLSetConnectAttrW(m_hdbc.Get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(value),
                             0),
          SQL_HANDLE_DBC, m_hdbc.Get());
    m_autoCommit = on;
}

void CDatabase::CommitTrans() {
    if (m_hdbc)
        Check(SQLEndTran(SQL_HANDLE_DBC, m_hdbc.Get(), SQL_COMMIT), SQL_HANDLE_DBC, m_hdbc.Get());
}

void CDatabase::Rollback() {
    if (m_hdbc)
        Check(SQLEndTran(SQL_HANDLE_DBC, m_hdbc.Get(), SQL_ROLLBACK), SQL_HANDLE_DBC, m_hdbc.Get());
}

void CDatabase::Savepoint(const QString& name) { ExecuteSQL(QStringLiteral("SAVEPOINT ") + name); }

void CDatabase::RollbackToSavepoint(const QString& name) {
    ExecuteSQL(QStringLiteral("ROLLBACK TO SAVEPOINT ") + name);
}

void CDatabase::ReleaseSavepoint(const QString& name) {
    ExecuteSQL(QStringLiteral("RELEASE SAVEPOINT ") + name);
}
