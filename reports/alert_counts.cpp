#include "alert_counts.h"

#include "report_statements.h"
#include "result_loader.h"

std::optional<CAlertCounts> CountAlerts(CDatabase* db, const QDate& today,
                                        const CAlertSettings& settings) {
    const QString list = reportsql::StockAlerts(
        today, settings.nearExpiryDays, settings.shortageBoxes, reportsql::OnPostgreSQL(db), false);
    const std::optional<CResultTable> rows =
        RunStatement(db, QStringLiteral("存"),
                     QStringLiteral("SELECT 预警,COUNT(*) FROM (") + list +
                         QStringLiteral(") 预警计数 GROUP BY 预警"));
    if (!rows)
        return std::nullopt;
    CAlertCounts counts;
    for (int row = 0; row < rows->RowCount(); ++row) {
        const QString kind = rows->CellText(row, 0);
        const int n = rows->CellText(row, 1).toInt();
        if (kind == QStringLiteral("已过期"))
            counts.expired = n;
        else if (kind == QStringLiteral("近效期"))
            counts.nearExpiry = n;
        else if (kind == QStringLiteral("库存不足"))
            counts.shortDrugs = n;
    }
    return counts;
}

QString AlertPaneText(const CAlertCounts& counts) {
    if (counts.expired == 0 && counts.nearExpiry == 0 && counts.shortDrugs == 0)
        return {};
    return QStringLiteral("预警：过期 %1 批 · 近效期 %2 批 · 缺货 %3 种")
        .arg(counts.expired)
        .arg(counts.nearExpiry)
        .arg(counts.shortDrugs);
}
