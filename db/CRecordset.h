#pragma once
// A forward-only result set of one SELECT on a CDatabase.
#include "odbc_handle.h"
#include "sql_params.h"
#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CDatabase;

struct CODBCFieldInfo {
    QString m_strName;
    SQLSMALLINT m_nSQLType = 0;
    SQLULEN m_nPrecision = 0; // the column size the driver reports
};

class CRecordset {
public:
    explicit CRecordset(CDatabase* db);
    ~CRecordset() = default;
    CRecordset(const CRecordset&) = delete;
    CRecordset& operator=(const CRecordset&) = delete;

    // Executes the statement and reads the column descriptions. Throws CDBException.
    void Open(const QString& sql, const sqlparams::Values& values = {});
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

    // For reading large results: binds every column to a buffer, so that each Fetch brings the
    // whole row in one driver call instead of one call per value. Call after Open, before the
    // first Fetch; false (and nothing bound) when the driver refuses. With `typed`, doubles
    // come as numbers and date-times as fields, which spares the driver writing a text that is
    // read back here: only where such a column can hold nothing else (a server's books, not
    // SQLite's, whose columns may hold any text).
    bool BindColumns(bool typed = false);
    // The value of column `index` of the current row as UTF-8, in the same text forms as
    // GetFieldValue, without a QString per value; false for NULL. `value` stays valid until
    // the next read or Fetch. Works with and without BindColumns. Throws CDBException.
    bool GetFieldUtf8(short index, std::string_view& value);

private:
    // The whole value of a column through SQLGetData; false for NULL.
    bool ReadWhole(short index, std::string& out);

    CDatabase* m_pDatabase;
    // Declared before the statement, so the statement goes first: it points into them.
    std::vector<char> m_boundBytes;
    std::vector<SQLLEN> m_boundLengths;
    std::vector<SQLSMALLINT> m_boundTypes; // the C type each column is bound as
    sqlparams::CBound m_bound;             // the statement's values, bound until it goes
    COdbcHandle m_hstmt;
    std::vector<CODBCFieldInfo> m_fields;
    std::vector<char> m_buffer;
    std::string m_text; // a value read whole
    char m_form[64];    // a value in its text form
};
