#include "sales_summary.h"

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
        {labels.turnover, figures.CellText(0, 0) + yuan, true},
        {labels.cost, figures.CellText(0, 1) + yuan, true},
        {labels.netProfit, figures.CellText(0, 2) + yuan, true},
        {labels.rate, figures.CellText(0, 3) + percent, true},
    }};
}
