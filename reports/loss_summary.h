#pragma once
// The summary rows below 损耗报表, computed from the rows the report shows so that they always
// agree with them: one row per 原因 that occurs, in a fixed order, then "合计".
#include "result_table.h"

#include <QStringList>
#include <vector>

// The 原因 a 损 row may carry, in the order the summary lists them.
const QStringList& LossReasons();

// A row's 成本金额 as the report shows it: to the cent, half a cent up.
QString LossCostText(QStringView cost);

// Whole display rows, one text per column of `losses`: the empty row, one row per 原因, then
// "合计". The label stands in the first column, the count ("3 笔") in the second, the boxes
// ("88.7 盒") under 数量 and the cost ("431.25 元") under 成本金额. A 盘盈 row's negative
// figures count as they are. Each 原因's cost is the sum of its rows' costs as LossCostText
// shows them; "合计" adds the 原因 rows, so every figure is the sum of what stands above it. None
// when `losses` has no row or lacks those columns.
std::vector<QStringList> LossSummaryRows(const CResultTable& losses);
