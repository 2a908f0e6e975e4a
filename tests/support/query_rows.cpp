#include "query_rows.h"

#include "CRecordset.h"

QueryResult RunQuery(CDatabase& db, const QString& sql) {
    QueryResult result;
    CRecordset rs(&db);
    rs.Open(sql);
    const short count = rs.GetODBCFieldCount();
    for (short i = 0; i < count; ++i) {
        result.columns << rs.GetODBCFieldInfo(i).m_strName;
        result.types.push_back(rs.GetODBCFieldInfo(i).m_nSQLType);
    }
    while (rs.Fetch()) {
        QStringList row;
        for (short i = 0; i < count; ++i)
            row << rs.GetFieldValue(i).value_or(kNullText);
        result.rows.push_back(row);
    }
    return result;
}

std::vector<QStringList> QueryRows(CDatabase& db, const QString& sql) {
    return RunQuery(db, sql).rows;
}

QString QueryValue(CDatabase& db, const QString& sql) {
    const std::vector<QStringList> rows = QueryRows(db, sql);
    if (rows.empty() || rows.front().isEmpty())
        return {};
    return rows.front().front();
}
