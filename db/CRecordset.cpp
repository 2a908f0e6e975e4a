#include "CRecordset.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "datetime_parse.h"
#include "text_forms.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool IsTimestamp(SQLSMALLINT type) {
    return type == SQL_TIMESTAMP || type == SQL_TYPE_TIMESTAMP;
}

char* Digits(char* out, long value, int width) {
    for (int i = width - 1; i >= 0; --i, value /= 10)
        out[i] = static_cast<char>('0' + value % 10);
    return out + width;
}

// The canonical text of a date-time into `out` (room for 32 bytes); returns its length.
// Written by hand: a large result has one stamp per row.
int FormatTimestamp(const apricot_datetime& dt, char* out) {
    char* p = Digits(out, dt.year, 4);
    *p++ = '-';
    p = Digits(p, dt.month, 2);
    *p++ = '-';
    p = Digits(p, dt.day, 2);
    *p++ = ' ';
    p = Digits(p, dt.hour, 2);
    *p++ = ':';
    p = Digits(p, dt.minute, 2);
    *p++ = ':';
    p = Digits(p, dt.second, 2);
    *p++ = '.';
    const long nanos = dt.nanos;
    if (nanos % 1000000 == 0)
        p = Digits(p, nanos / 1000000, 3);
    else if (nanos % 1000 == 0)
        p = Digits(p, nanos / 1000, 6);
    else
        p = Digits(p, nanos, 9);
    return static_cast<int>(p - out);
}

// Both drivers give date-times in their own text; the grid expects one canonical form.
QString CanonicalTimestamp(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    apricot_datetime dt;
    if (!apricot_parse_datetime(utf8.constData(), static_cast<int>(utf8.size()), &dt))
        return text;
    char out[48];
    return QString::fromLatin1(out, FormatTimestamp(dt, out));
}

} // namespace

CRecordset::CRecordset(CDatabase* db) : m_pDatabase(db), m_buffer(4096) {}

void CRecordset::Open(const QString& sql, const sqlparams::Values& values) {
    Close();
    if (!m_pDatabase || !m_pDatabase->IsOpen())
        throw CDBException::ConnectionClosed();
    COdbcHandle stmt = m_pDatabase->RunReconnecting(CDatabase::OnlyReads(sql), [&] {
        m_pDatabase->JoinTransaction();
        COdbcHandle executed = m_pDatabase->NewStatement();
        m_bound.Bind(executed.Get(), values);
        QByteArray utf8 = sql.toUtf8();
        SQLRETURN rc = SQLExecDirect(executed.Get(), reinterpret_cast<SQLCHAR*>(utf8.data()),
                                     static_cast<SQLINTEGER>(utf8.size()));
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
            throw m_pDatabase->StatementFailure(executed.Get());
        return executed;
    });

    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(stmt.Get(), &count)))
        throw CDBException::FromHandle(SQL_HANDLE_STMT, stmt.Get());
    std::vector<CODBCFieldInfo> fields;
    fields.reserve(count);
    for (SQLUSMALLINT i = 1; i <= count; ++i) {
        SQLCHAR name[1024] = {};
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        if (!SQL_SUCCEEDED(SQLDescribeCol(stmt.Get(), i, name,
                                          static_cast<SQLSMALLINT>(std::size(name)), &nameLength,
                                          &type, &size, &digits, &nullable)))
            throw CDBException::FromHandle(SQL_HANDLE_STMT, stmt.Get());
        nameLength = std::min<SQLSMALLINT>(nameLength, std::size(name) - 1);
        fields.push_back(
            {QString::fromUtf8(reinterpret_cast<const char*>(name), nameLength), type, size});
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
    m_boundBytes.clear();
    m_boundLengths.clear();
    m_boundTypes.clear();
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

    std::string bytes;
    if (!ReadWhole(index, bytes))
        return std::nullopt;
    QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (IsTimestamp(type))
        return CanonicalTimestamp(text);
    return text;
}

namespace {

// Most cells fit; a longer value is read whole with SQLGetData (both drivers allow it on a
// bound column).
constexpr SQLLEN kBoundBytes = 128;

bool IsFloating(SQLSMALLINT type) {
    return type == SQL_DOUBLE || type == SQL_FLOAT || type == SQL_REAL;
}

bool IsDigitChar(char c) {
    return c >= '0' && c <= '9';
}

// Whether the shortest text of the double that `t` stands for is `t` itself, so that the
// round trip through a double can be skipped: a plain decimal without superfluous zeros, of at
// most 15 significant digits (no shorter digits read back as the same double), and not longer
// than its scientific form (to_chars writes the shorter one, the plain one on a tie).
bool IsShortestFixed(std::string_view t) {
    const std::size_t n = t.size();
    std::size_t i = 0;
    const bool negative = i < n && t[i] == '-';
    if (negative)
        ++i;
    const std::size_t intStart = i;
    while (i < n && IsDigitChar(t[i]))
        ++i;
    const std::size_t intLength = i - intStart;
    if (intLength == 0 || (intLength > 1 && t[intStart] == '0'))
        return false;
    std::size_t fracLength = 0;
    if (i < n && t[i] == '.') {
        const std::size_t fracStart = ++i;
        while (i < n && IsDigitChar(t[i]))
            ++i;
        fracLength = i - fracStart;
        if (fracLength == 0 || t[i - 1] == '0')
            return false;
    }
    if (i != n)
        return false;
    std::size_t digits = 0;
    int exponent = 0;
    if (t[intStart] != '0') {
        exponent = static_cast<int>(intLength) - 1;
        digits = intLength + fracLength;
        if (fracLength == 0)
            while (digits > 1 && t[intStart + digits - 1] == '0')
                --digits;
    } else {
        if (fracLength == 0)
            return false; // zero
        std::size_t zeros = 0;
        while (t[intStart + 2 + zeros] == '0')
            ++zeros;
        exponent = -static_cast<int>(zeros + 1);
        digits = fracLength - zeros;
    }
    if (digits > 15)
        return false;
    const std::size_t exponentDigits = std::abs(exponent) >= 100 ? 3 : 2;
    const std::size_t scientific =
        (negative ? 1 : 0) + digits + (digits > 1 ? 1 : 0) + 2 + exponentDigits;
    return n <= scientific;
}

} // namespace

bool CRecordset::BindColumns(bool typed) {
    if (!m_hstmt || !m_boundBytes.empty() || m_fields.empty())
        return false;
    const std::size_t count = m_fields.size();
    m_boundBytes.assign(count * kBoundBytes, 0);
    m_boundLengths.assign(count, 0);
    m_boundTypes.assign(count, SQL_C_CHAR);
    for (std::size_t i = 0; i < count; ++i) {
        const SQLSMALLINT type = m_fields[i].m_nSQLType;
        if (typed && IsFloating(type))
            m_boundTypes[i] = SQL_C_DOUBLE;
        else if (typed && IsTimestamp(type))
            m_boundTypes[i] = SQL_C_TYPE_TIMESTAMP;
        if (!SQL_SUCCEEDED(SQLBindCol(m_hstmt.Get(), static_cast<SQLUSMALLINT>(i + 1),
                                      m_boundTypes[i], &m_boundBytes[i * kBoundBytes], kBoundBytes,
                                      &m_boundLengths[i]))) {
            SQLFreeStmt(m_hstmt.Get(), SQL_UNBIND);
            m_boundBytes.clear();
            m_boundLengths.clear();
            m_boundTypes.clear();
            return false;
        }
    }
    return true;
}

bool CRecordset::ReadWhole(short index, std::string& out) {
    out.clear();
    const SQLUSMALLINT column = static_cast<SQLUSMALLINT>(index + 1);
    const SQLLEN chunk = static_cast<SQLLEN>(m_buffer.size());
    SQLLEN indicator = 0;
    for (;;) {
        SQLRETURN rc =
            SQLGetData(m_hstmt.Get(), column, SQL_C_CHAR, m_buffer.data(), chunk, &indicator);
        if (rc == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(rc))
            throw CDBException::FromHandle(SQL_HANDLE_STMT, m_hstmt.Get());
        if (indicator == SQL_NULL_DATA)
            return false;
        const bool truncated =
            rc == SQL_SUCCESS_WITH_INFO && (indicator == SQL_NO_TOTAL || indicator >= chunk);
        out.append(m_buffer.data(), static_cast<std::size_t>(truncated ? chunk - 1 : indicator));
        if (!truncated)
            break;
    }
    return true;
}

bool CRecordset::GetFieldUtf8(short index, std::string_view& value) {
    const SQLSMALLINT type = m_fields.at(index).m_nSQLType;
    std::string_view raw;
    const std::size_t i = static_cast<std::size_t>(index);
    const SQLLEN length = i < m_boundLengths.size() ? m_boundLengths[i] : SQL_NO_TOTAL;
    if (length == SQL_NULL_DATA)
        return false;
    if (i < m_boundTypes.size() && m_boundTypes[i] != SQL_C_CHAR) {
        const char* bound = &m_boundBytes[i * kBoundBytes];
        if (m_boundTypes[i] == SQL_C_DOUBLE) {
            double number = 0;
            std::memcpy(&number, bound, sizeof number);
            const auto written =
                type == SQL_REAL
                    ? std::to_chars(m_form, m_form + sizeof m_form, static_cast<float>(number))
                    : std::to_chars(m_form, m_form + sizeof m_form, number);
            value = std::string_view(m_form, static_cast<std::size_t>(written.ptr - m_form));
        } else {
            SQL_TIMESTAMP_STRUCT stamp;
            std::memcpy(&stamp, bound, sizeof stamp);
            const apricot_datetime dt{stamp.year,   stamp.month,  stamp.day,           stamp.hour,
                                      stamp.minute, stamp.second, long(stamp.fraction)};
            value = std::string_view(m_form, static_cast<std::size_t>(FormatTimestamp(dt, m_form)));
        }
        return true;
    }
    if (i < m_boundLengths.size() && length >= 0 && length < kBoundBytes) {
        raw = std::string_view(&m_boundBytes[i * kBoundBytes], static_cast<std::size_t>(length));
    } else {
        if (!ReadWhole(index, m_text))
            return false;
        raw = m_text;
    }

    if (IsFloating(type) && type != SQL_REAL) {
        // SQLite writes whole numbers as "2.0", whose shortest text is "2".
        std::string_view whole = raw;
        if (whole.size() > 2 && whole.substr(whole.size() - 2) == ".0")
            whole.remove_suffix(2);
        if (whole == "0" || IsShortestFixed(whole)) {
            value = whole;
            return true;
        }
    }
    if (IsFloating(type)) {
        // The driver's text read back as the double it stands for, then written shortest: the
        // same as GetFieldValue gives.
        double number = 0;
        const auto parsed = std::from_chars(raw.data(), raw.data() + raw.size(), number);
        if (parsed.ec == std::errc() && parsed.ptr == raw.data() + raw.size()) {
            const auto written =
                type == SQL_REAL
                    ? std::to_chars(m_form, m_form + sizeof m_form, static_cast<float>(number))
                    : std::to_chars(m_form, m_form + sizeof m_form, number);
            value = std::string_view(m_form, static_cast<std::size_t>(written.ptr - m_form));
            return true;
        }
    } else if (IsTimestamp(type)) {
        apricot_datetime dt;
        if (apricot_parse_datetime(raw.data(), static_cast<int>(raw.size()), &dt)) {
            const int n = FormatTimestamp(dt, m_form);
            value = std::string_view(m_form, static_cast<std::size_t>(n));
            return true;
        }
    }
    value = raw;
    return true;
}
