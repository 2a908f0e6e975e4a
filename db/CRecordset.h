#pragma once
// A forward-only result set of one SELECT on a CDatabase.
#include "odbc_handle.h"
#include <QString>
#include <optional>
#include <vector>

class CDatabase;

struct CODBCFieldInfo {
    QString m_strName;
    SQLSMALLINT m_nSQLType = 0;
};

class CRecordset {
public:
    explicit CRecordset(CDatabase* db);
    ~CRecordset() = default;
    CRecordset(const CRecordset&) = delete;
    CRecordset& operator=(const CRecordset&) = delete;

    // Executes the statement and reads the column descriptions. Throws CDBException.
    void Open(const QString& sql);
    void Close();
    bool IsOpen() const { return static_cast<bool>(m_hstmt); }

    short GetODBCFieldCount() const { return static_cast<short>(m_fields.size()); }
    const CODBCFieldInfo& GetODBCFieldInfo(short index) const { return m_fields.at(index); }

    // Moves to the next row (the first one after Open); false at the end. Throws CDBException.
    bool Fetch();
    // The value of column `index` of the current row as text; nullopt for NULL. Columns are
    // read in increasing order. Doubles come back as the shortest text that reads back as the
    // same double; date-times as "yyyy-MM-dd hh:mm:ss.zzz". Throws CDBException.
    std::optional<QString> GetFieldValue(short index);

private:
    CDatabase* m_pDatabase;
    COdbcHandle m_hstmt;
    std::vector<CODBCFieldInfo> m_fields;
    std::vector<SQLWCHAR> m_buffer;
};
