#pragma once
// The rows of one SELECT as cell texts, packed: a result of a hundred thousand rows stays small.
#include <QString>
#include <QStringView>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct CResultColumn {
    QString m_strName;    // as the driver reports it (a grid title may carry a sort arrow)
    short m_nSQLType = 0; // ODBC SQL data type code
};

class CResultTable {
public:
    CResultTable() = default;
    // A large table gives its memory back to the system as it goes.
    ~CResultTable();
    CResultTable(const CResultTable&) = default;
    CResultTable(CResultTable&&) = default;
    CResultTable& operator=(const CResultTable&) = default;
    CResultTable& operator=(CResultTable&&) = default;

    void Clear();
    // Replaces the columns; the rows go with the old ones.
    void SetColumns(std::vector<CResultColumn> columns);
    const std::vector<CResultColumn>& Columns() const { return m_columns; }
    std::vector<CResultColumn>& Columns() { return m_columns; }
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    int RowCount() const { return static_cast<int>(m_order.size()); }

    QStringView Cell(int row, int column) const;
    QString CellText(int row, int column) const { return Cell(row, column).toString(); }
    void SetCell(int row, int column, QStringView text);
    // The same from UTF-8 bytes, decoded straight into the store (loads take this way).
    void SetCellUtf8(int row, int column, std::string_view utf8);

    // Appends a row of empty cells; returns its index.
    int AppendRow();
    // Inserts a row of empty cells before `row` (RowCount() appends); returns its index.
    int InsertRow(int row);
    void RemoveRow(int row);
    // Puts the rows in the order given: order[i] is the current index of the new row i.
    void Reorder(const std::vector<int>& order);

    // Gives back the room of texts no cell points to any more, once a load is complete.
    void Squeeze();

private:
    void Compact();
    // Room for `length` more characters at the end of the store.
    void MakeRoom(std::size_t length);

    struct Span {
        quint32 start = 0;
        quint32 length = 0;
    };
    std::vector<CResultColumn> m_columns;
    std::u16string m_chars;       // every cell text, one after another
    std::vector<Span> m_cells;    // stored rows, row-major
    std::vector<quint32> m_order; // display row -> stored row
    std::size_t m_nWasted = 0;    // characters no cell points to any more
};
