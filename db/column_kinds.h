#pragma once
// What a column's ODBC SQL type means to the grid.
#include <sql.h>
#include <sqlext.h>

namespace columnkinds {

inline bool IsTimestamp(short type) {
    return type == SQL_TIMESTAMP || type == SQL_TYPE_TIMESTAMP;
}

// Sorted by the numbers the texts begin with.
inline bool IsSortNumeric(short type) {
    switch (type) {
    case SQL_NUMERIC:
    case SQL_DECIMAL:
    case SQL_INTEGER:
    case SQL_SMALLINT:
    case SQL_FLOAT:
    case SQL_REAL:
    case SQL_DOUBLE:
    case SQL_BIGINT:
    case SQL_TINYINT:
        return true;
    default:
        return false;
    }
}

// Written bare (without quotes) into statements.
inline bool IsSqlNumeric(short type) {
    return IsSortNumeric(type) || type == SQL_BIT;
}

} // namespace columnkinds
