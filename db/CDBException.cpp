#include "CDBException.h"

#include <sqlext.h>
#include <vector>

CDBException::CDBException(QString error, QString sqlState)
    : m_strError(std::move(error)), m_strState(std::move(sqlState)), m_utf8(m_strError.toUtf8()) {}

CDBException CDBException::FromHandle(SQLSMALLINT handleType, SQLHANDLE handle) {
    QString text;
    QString firstState;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER nativeError = 0;
        SQLSMALLINT length = 0;
        std::vector<SQLWCHAR> message(1024);
        SQLRETURN rc = SQLGetDiagRecW(handleType, handle, record, state, &nativeError,
                                      message.data(), static_cast<SQLSMALLINT>(message.size()),
                                      &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
            message.resize(length + 1);
            rc = SQLGetDiagRecW(handleType, handle, record, state, &nativeError, message.data(),
                                static_cast<SQLSMALLINT>(message.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        if (record == 1)
            firstState = QString::fromUtf16(reinterpret_cast<const char16_t*>(state), 5);
        text += QString::fromUtf16(reinterpret_cast<const char16_t*>(message.data()), length);
        text += QLatin1Char('\n');
    }
    return CDBException(text, firstState);
}
