#include "sql_params.h"

#include "CDBException.h"

#include <QStringList>
#include <algorithm>

namespace sqlparams {

void CBound::Bind(SQLHSTMT stmt, const Values& values) {
    // Reserved first: the driver keeps pointers into these until the statement has run.
    m_texts.clear();
    m_numbers.clear();
    m_counts.clear();
    m_lengths.assign(values.size(), 0);
    m_texts.reserve(values.size());
    m_numbers.reserve(values.size());
    m_counts.reserve(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto mark = static_cast<SQLUSMALLINT>(i + 1);
        SQLRETURN rc = SQL_SUCCESS;
        if (const auto* text = std::get_if<QString>(&values[i])) {
            const QByteArray utf8 = text->toUtf8();
            std::string& bytes = m_texts.emplace_back(utf8.constData(), std::size_t(utf8.size()));
            m_lengths[i] = static_cast<SQLLEN>(bytes.size());
            rc = SQLBindParameter(stmt, mark, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                                  std::max<SQLULEN>(bytes.size(), 1), 0, bytes.data(),
                                  static_cast<SQLLEN>(bytes.size()), &m_lengths[i]);
        } else if (const auto* number = std::get_if<double>(&values[i])) {
            double& value = m_numbers.emplace_back(*number);
            rc = SQLBindParameter(stmt, mark, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 15, 0,
                                  &value, 0, &m_lengths[i]);
        } else {
            long long& value = m_counts.emplace_back(std::get<long long>(values[i]));
            rc = SQLBindParameter(stmt, mark, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 19, 0,
                                  &value, 0, &m_lengths[i]);
        }
        if (!SQL_SUCCEEDED(rc))
            throw CDBException::FromHandle(SQL_HANDLE_STMT, stmt);
    }
}

QString Describe(const Values& values) {
    QStringList parts;
    for (const Value& value : values) {
        if (const auto* text = std::get_if<QString>(&value))
            parts << QLatin1Char('\'') + *text + QLatin1Char('\'');
        else if (const auto* number = std::get_if<double>(&value))
            parts << QString::number(*number, 'g', 17);
        else
            parts << QString::number(std::get<long long>(value));
    }
    return parts.join(QLatin1String(", "));
}

} // namespace sqlparams
