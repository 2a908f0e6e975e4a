#include "books_state.h"

#include "result_loader.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>

namespace provetest {

namespace {

CResultTable Load(CDatabase& db, const QString& table) {
    CResultTable result;
    const resultloader::CLoadOutcome outcome =
        resultloader::Load(db, QStringLiteral("SELECT * FROM ") + table, result);
    EXPECT_TRUE(outcome.ok) << "cannot read " << table.toStdString() << ": "
                            << outcome.message.toStdString();
    return result;
}

// Rows in `a` that `b` lacks, copies counted.
std::vector<QStringList> Minus(const std::vector<QStringList>& a,
                               const std::vector<QStringList>& b) {
    std::vector<QStringList> out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

} // namespace

const QStringList& BookTables() {
    static const QStringList tables = {QStringLiteral("操作员"), QStringLiteral("进"),
                                       QStringLiteral("存"), QStringLiteral("销")};
    return tables;
}

std::vector<QStringList> TableRows(CDatabase& db, const QString& table) {
    const CResultTable result = Load(db, table);
    std::vector<QStringList> rows;
    for (int r = 0; r < result.RowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < result.ColumnCount(); ++c)
            row << result.CellText(r, c);
        rows.push_back(std::move(row));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<CResultColumn> TableColumns(CDatabase& db, const QString& table) {
    return Load(db, table).Columns();
}

BooksState ReadBooks(CDatabase& db) {
    BooksState state;
    for (const QString& table : BookTables())
        state[table] = TableRows(db, table);
    return state;
}

std::map<QString, TableChange> Changes(const BooksState& before, const BooksState& after) {
    std::map<QString, TableChange> changes;
    for (const QString& table : BookTables()) {
        const auto was = before.find(table);
        const auto is = after.find(table);
        const std::vector<QStringList> none;
        const std::vector<QStringList>& a = was == before.end() ? none : was->second;
        const std::vector<QStringList>& b = is == after.end() ? none : is->second;
        TableChange change{Minus(b, a), Minus(a, b)};
        if (!change.IsNone())
            changes[table] = std::move(change);
    }
    return changes;
}

} // namespace provetest
