#include "sales_summary.h"

#include "money.h"

namespace {

// A figure as a person writes it: money to the fen, the rate to 0.01, by the same rounding. A
// text that is no number (an empty NULL) stands as it came.
QString ToTheFen(const QString& figure) {
    bool ok = false;
    const double value = figure.toDouble(&ok);
    return ok ? money::Amount(value) : figure;
}

} // namespace

SummaryLabels LabelsFor(SalesPeriod period) {
    switch (period) {
    case SalesPeriod::Day:
        return {QStringLiteral("日营业额"), QStringLiteral("总成本"), QStringLiteral("日纯利润"),
                QStringLiteral("日利润率")};
    case SalesPeriod::Month:
        return {QStringLiteral("月营业额"), QStringLiteral("总成本"), QStringLiteral("月纯利润"),
                QStringLiteral("月利润率")};
    case SalesPeriod::Year:
        break;
    }
    return {QStringLiteral("年营业额"), QStringLiteral("总成本"), QStringLiteral("年纯利润"),
            QStringLiteral("年利润率")};
}

SummaryBlock SummaryRows(SalesPeriod period, const CResultTable& figures) {
    const SummaryLabels labels = LabelsFor(period);
    const QString yuan = QStringLiteral("元");
    const QString percent = QStringLiteral("%");
    // Cells outside the result read as empty texts, as a grid gives them.
    return {{
        {QString(), QString(), false},
        {labels.turnover, ToTheFen(figures.CellText(0, 0)) + yuan, true},
        {labels.cost, ToTheFen(figures.CellText(0, 1)) + yuan, true},
        {labels.netProfit, ToTheFen(figures.CellText(0, 2)) + yuan, true},
        {labels.rate, ToTheFen(figures.CellText(0, 3)) + percent, true},
    }};
}
