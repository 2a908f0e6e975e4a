#include "backup_stop.h"

#include "CDBException.h"
#include "CDatabase.h"

#include <array>

namespace {

CDBException StoppedException() {
    return CDBException(QStringLiteral("备份已中止"));
}

} // namespace

void CBackupStop::Stop() {
    m_stopped = true;
    const std::lock_guard lock(m_mutex);
    if (m_running)
        SQLCancel(m_running);
}

QString CBackupStop::Run(CDatabase& db, const QString& sql, const sqlparams::Values& values) {
    if (Stopped())
        throw StoppedException();
    COdbcHandle stmt = db.NewStatement();
    sqlparams::CBound bound;
    bound.Bind(stmt.Get(), values);
    {
        const std::lock_guard lock(m_mutex);
        m_running = stmt.Get();
    }
    // The handle is never cancelled once it is being freed.
    struct Forget {
        CBackupStop& stop;
        ~Forget() {
            const std::lock_guard lock(stop.m_mutex);
            stop.m_running = SQL_NULL_HSTMT;
        }
    } forget{*this};
    const QByteArray utf8 = sql.toUtf8();
    SQLRETURN rc =
        Stopped() ? SQL_ERROR
                  : SQLExecDirect(stmt.Get(),
                                  reinterpret_cast<SQLCHAR*>(const_cast<char*>(utf8.constData())),
                                  static_cast<SQLINTEGER>(utf8.size()));
    if (Stopped())
        throw StoppedException();
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
        throw CDBException::FromHandle(SQL_HANDLE_STMT, stmt.Get());
    QString first;
    SQLSMALLINT columns = 0;
    if (rc != SQL_NO_DATA && SQL_SUCCEEDED(SQLNumResultCols(stmt.Get(), &columns)) && columns > 0) {
        rc = SQLFetch(stmt.Get());
        if (rc != SQL_NO_DATA && !SQL_SUCCEEDED(rc))
            throw Stopped() ? StoppedException()
                            : CDBException::FromHandle(SQL_HANDLE_STMT, stmt.Get());
        std::array<char, 1024> text{};
        SQLLEN length = 0;
        if (rc != SQL_NO_DATA &&
            SQL_SUCCEEDED(
                SQLGetData(stmt.Get(), 1, SQL_C_CHAR, text.data(), text.size(), &length)) &&
            length != SQL_NULL_DATA)
            first = QString::fromUtf8(text.data());
    }
    if (Stopped())
        throw StoppedException();
    db.NotifyStatement(sql);
    return first;
}
