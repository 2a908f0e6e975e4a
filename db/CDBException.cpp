#include "CDBException.h"

#include <QString>
#include <algorithm>
#include <sqlext.h>
#include <vector>

CDBException::CDBException(QString error, QString sqlState)
    : m_strError(std::move(error)), m_strState(std::move(sqlState)), m_utf8(m_strError.toUtf8()) {}

CDBException CDBException::FromHandle(SQLSMALLINT handleType, SQLHANDLE handle) {
    QString text;
    QString firstState;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR state[6] = {};
        SQLINTEGER nativeError = 0;
        SQLSMALLINT length = 0;
        std::vector<SQLCHAR> message(2048);
        SQLRETURN rc =
            SQLGetDiagRec(handleType, handle, record, state, &nativeError, message.data(),
                          static_cast<SQLSMALLINT>(message.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
            message.resize(length + 1);
            rc = SQLGetDiagRec(handleType, handle, record, state, &nativeError, message.data(),
                               static_cast<SQLSMALLINT>(message.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        if (record == 1)
            firstState = QString::fromLatin1(reinterpret_cast<const char*>(state));
        length = std::min<SQLSMALLINT>(length, static_cast<SQLSMALLINT>(message.size() - 1));
        text += QString::fromUtf8(reinterpret_cast<const char*>(message.data()), length);
        text += QLatin1Char('\n');
    }
    return CDBException(text, firstState);
}

CDBException CDBException::FromStatement(SQLHANDLE statement, SQLHANDLE connection) {
    CDBException error = FromHandle(SQL_HANDLE_STMT, statement);
    if (!error.ErrorText().isEmpty() || !connection)
        return error;
    error = FromHandle(SQL_HANDLE_DBC, connection);
    if (!error.ErrorText().isEmpty())
        return error;
    SQLUINTEGER dead = SQL_CD_FALSE;
    if (SQL_SUCCEEDED(SQLGetConnectAttr(connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
        dead == SQL_CD_TRUE)
        return CDBException(QStringLiteral("与数据库的连接已断开（驱动程序没有给出原因）。\n"),
                            QStringLiteral("08S01"));
    return CDBException(NoReasonText(), QStringLiteral("HY000"));
}

const QString& CDBException::NoReasonText() {
    static const QString text = QStringLiteral("数据库语句失败，驱动程序没有给出原因。\n");
    return text;
}

CDBException CDBException::ConnectionClosed() {
    return CDBException(QStringLiteral("The connection is closed.\n"));
}
