#pragma once
// A sales report once its range is chosen: the sales of the range in the grid, and below them
// the summary block when there is at least one sale and the summary statement runs.
#include "sales_summary.h"

#include <QString>

class CDatabase;
class QWidget;
class q_grid;

// Shows the sales of the whole days `from` to `to` (date texts) in `grid`, then appends the
// summary run on `db`; failures are reported to `owner` as the grid reports them. True when
// the summary block was appended.
bool ShowSalesReport(q_grid& grid, CDatabase* db, SalesPeriod period, const QString& from,
                     const QString& to, QWidget* owner);

// Appends the five rows at the end of `grid`; a row that cannot be inserted is skipped.
void AppendSummary(q_grid& grid, const SummaryBlock& block);

// Appends the log's head as read now ("日志 n 条 · 校验 …") as the last row of `grid`, so that
// the report printed or exported carries it. False, the failure reported to `owner`, when the
// log cannot be read.
bool AppendLogHead(q_grid& grid, CDatabase* db, QWidget* owner);
