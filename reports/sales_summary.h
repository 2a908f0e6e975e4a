#pragma once
// The summary block below a sales report: five display rows built from the first row of the
// summary statement's result, as cell texts.
#include "result_table.h"

#include <QString>
#include <array>

enum class SalesPeriod { Day, Month, Year };

// The four labels of a report: turnover, cost, net profit, profit rate.
struct SummaryLabels {
    QString turnover;
    QString cost;
    QString netProfit;
    QString rate;
};
SummaryLabels LabelsFor(SalesPeriod period);

// One row of the block: the first column's text, and the second column's when it has one.
struct SummaryRow {
    QString label;
    QString value;
    bool hasValue = false;
};
using SummaryBlock = std::array<SummaryRow, 5>;

// The empty row, then turnover, cost and net profit to the fen with "元" and the rate to 0.01
// with "%", from `figures`' first row (empty where it has none).
SummaryBlock SummaryRows(SalesPeriod period, const CResultTable& figures);
