#pragma once
// The books as the record grid's loader reads them, for comparing whole states before and after
// a fault or a strange input.
#include "CDatabase.h"
#include "result_table.h"

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

namespace provetest {

// The four tables in the order the books create them.
const QStringList& BookTables();

// Every row of `table` as the grid shows its cells, sorted so that two readings compare equal
// whatever order the database returns. A failed load fails the current test.
std::vector<QStringList> TableRows(CDatabase& db, const QString& table);
// The columns of `table` as the grid's write-back takes them.
std::vector<CResultColumn> TableColumns(CDatabase& db, const QString& table);

using BooksState = std::map<QString, std::vector<QStringList>>;
BooksState ReadBooks(CDatabase& db);

// What became of one table between two readings: rows that are new, rows that went.
struct TableChange {
    std::vector<QStringList> added;
    std::vector<QStringList> removed;
    bool IsNone() const { return added.empty() && removed.empty(); }
};
// Per table; tables without a change are left out.
std::map<QString, TableChange> Changes(const BooksState& before, const BooksState& after);

} // namespace provetest
