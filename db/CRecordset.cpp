#include "CRecordset.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "text_forms.h"
#include "datetime_parse.h"

#include <cstdio>

namespace {

const SQLWCHAR* Wide(const QString& text) { return reinterpret_cast<const SQLWCHAR*>(text.utf16()); }

bool IsTimestamp(SQLSMALLINT type) { return type == SQL_TIMESTAMP || type == SQL_TYPE_TIMESTAMP; }

// Both drivers give date-times in their own text; the grid expects one canonical form.
QString CanonicalTimestamp(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    apricot_datetime dt;
    if (!apricot_parse_datetime(utf8.constData(), static_cast<int>(utf8.size()), &dt))
        return text;
    char out[48];
    long nanos = dt.nanos;
    if (nanos % 1000000 == 0)
        std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d:%02d.%03ld", dt.year, dt.month,
                      dt.day, dt.hour, dt.minute, dt.second, nanos / 1000000);
    else if (nanos % 1000 == 0)
        std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d:%02d.%06ld", dt.year, dt.month,
                      dt.day, dt.hour, dt.minute, dt.second, nanos / 1000);
    else
        std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d:%02d.%09ld", dt.year, dt.month,
                      dt.day, dt.hour, dt.minute, dt.second, nanos);
    return QString::fromLatin1(out);
}

} // namespace

CRecordset::CRecordset(CDatabase* db) : m_pDatabase(db), m_buffer(4096) {}

void CRecordset::Open(const QString& sql) {
    Close();
    if (!m_pDatabase || !m_pDatabase->IsOpen())
        throw CDBException(QStringLiteral("The connection is closed.\n"));
    COdbcHandle stmt;
    if (!stmt.Allocate(SQL_HANDLE_STMT, m_pDatabase->Handle()))
        throw CDBException::FromHandle(SQL_HANDLE_DBC, m_pDatabase->Handle());
    SQLSetStmtAttrW(stmt.Get(), SQL_ATTR_QUERY_TIMEOUT,
                    reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(m_pDatabase->QueryTimeout())),
                    0);
    SQLRETURN rc = SQLExecDirectW(stmt.Get(), const_cast<SQLWCHAR*>(Wide(sql)),
                                  static_cast<SQLINTEGER>(sql.size()));
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
        throw CDBException::FromHandle(SQL_HANDLE_STMT, stmt.Get());

    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(stmt.Get(), &count)))
        throw CDBException::FromHandle(SQL_HANDLE_STMT, stmt.Get());
    std::vector<CODBCFieldInfo> fields;
    fields.reserve(count);
    for (SQLUSMALLINT i = 1; i <= count; ++i) {
        SQLWCHAR name[512] = {};
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        if (!SQL_SUCCEEDED(SQLDescribeColW(stmt.Get(), i, name,
                                           static_cast<SQLSMALLINT>(std::size(name)), &nameLength,
                                           &type, &size, &digits, &nullable)))
            throw CDBException::FromHandle(SQL_HANDLE_STMT, stmt.Get());
        nameLength = std::min<SQLSMALLINT>(nameLength, std::size(name) - 1);
        fields.push_back(
            {QString::fromUtf16(reinterpret_cast<const char16_t*>(name), nameLength), type});
    }
    m_pDatabase->NotifyStatement(sql);
    m_fields = std::move(fields);
    m_hstmt = std::move(stmt);
}

void CRecordset::Close() {
    if (m_hstmt)
        SQLCloseCursor(m_hstmt.Get());
    m_hstmt.Reset();
    m_fields.clear();
}

bool CRecordset::Fetch() {
    if (!m_hstmt)
        return false;
    SQLRETURN rc = SQLFetch(m_hstmt.Get());
    if (rc == SQL_NO_DATA)
        return false;
    if (!SQL_SUCCEEDED(rc))
        throw CDBException::FromHandle(SQL_HANDLE_STMT, m_hstmt.Get());
    return true;
}

std::optional<QString> CRecordset::GetFieldValue(short index) {
    const SQLUSMALLINT column = static_cast<SQLUSMALLINT>(index + 1);
    const SQLSMALLINT type = m_fields.at(index).m_nSQLType;
    SQLLEN indicator = 0;
    if (type == SQL_DOUBLE || type == SQL_FLOAT || type == SQL_REAL) {
        double value = 0;
        SQLRETURN rc = SQLGetData(m_hstmt.Get(), column, SQL_C_DOUBLE, &value, 0, &indicator);
        if (!SQL_SUCCEEDED(rc))
            throw CDBException::FromHandle(SQL_HANDLE_STMT, m_hstmt.Get());
        if (indicator == SQL_NULL_DATA)
            return std::nullopt;
        if (type == SQL_REAL)
            return textforms::ShortestFloat(static_cast<float>(value));
        return textforms::ShortestDouble(value);
    }

    QString text;
    const SQLLEN chunkBytes = static_cast<SQLLEN>(m_buffer.size() * sizeof(SQLWCHAR));
    for (;;) {
        SQLRETURN rc = SQLGetData(m_hstmt.Get(), column, SQL_C_WCHAR, m_buffer.data(), chunkBytes,
                                  &indicator);
        if (rc == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(rc))
            throw CDBException::FromHandle(SQL_HANDLE_STMT, m_hstmt.Get());
        if (indicator == SQL_NULL_DATA)
            return std::nullopt;
        const bool truncated = rc == SQL_SUCCESS_WITH_INFO &&
                               (indicator == SQL_NO_TOTAL || indicator >= chunkBytes);
        const qsizetype units = truncated ? static_cast<qsizetype>(m_buffer.size() - 1)
                                          : static_cast<qsizetype>(indicator / sizeof(SQLWCHAR));
        text += QStringView(reinterpret_cast<const char16_t*>(m_buffer.data()), units);
        if (!truncated)
            break;
    }
    if (IsTimestamp(type))
        return CanonicalTimestamp(text);
    return text;
}
