#pragma once
// Values bound to the "?" marks of a statement: the text holds names and marks, never a value,
// so no typed or stored text can end a literal and become code.
#include "odbc_handle.h"

#include <QString>
#include <string>
#include <variant>
#include <vector>

namespace sqlparams {

// A text (sent as UTF-8), a number or a count. Date-times travel as their canonical text,
// which both databases read as a date-time where the column is one.
using Value = std::variant<QString, double, long long>;
using Values = std::vector<Value>;

// The values bound to one statement handle; they must outlive its execution.
class CBound {
public:
    // Binds `values` in order to the marks of `stmt`. Throws CDBException.
    void Bind(SQLHSTMT stmt, const Values& values);

private:
    std::vector<std::string> m_texts;
    std::vector<double> m_numbers;
    std::vector<long long> m_counts;
    std::vector<SQLLEN> m_lengths;
};

// The values as a reader sees them, for a statement hook or a message: 'text', 1.5, 3.
QString Describe(const Values& values);

} // namespace sqlparams

// A statement with the values of its marks, in order.
struct CStatement {
    QString sql;
    sqlparams::Values values;
};
