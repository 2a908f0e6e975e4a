#include "import_rows.h"

namespace importrows {

namespace {
bool IsEmpty(const QString& cell) {
    return cell.trimmed().isEmpty();
}
} // namespace

CImportTable Table(std::vector<CImportRow> rows, const QString& readAs) {
    CImportTable table;
    table.readAs = readAs;
    bool headerSeen = false;
    for (CImportRow& row : rows) {
        while (!row.cells.isEmpty() && IsEmpty(row.cells.last()))
            row.cells.removeLast();
        if (row.cells.isEmpty())
            continue;
        if (!headerSeen) {
            headerSeen = true;
            table.headers = row.cells;
            table.headerLine = row.line;
            continue;
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

} // namespace importrows
