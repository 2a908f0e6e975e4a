#pragma once
// The dates the condition dialogs open with, all taken from the local time the command starts,
// and the hints that say so.
#include <QDateTime>
#include <QString>

namespace reportdefaults {

struct DateRange {
    QDateTime start;
    QDateTime end;
};

// 查询采购记录: from 356 days back to now.
DateRange PurchaseQuery(const QDateTime& now);
// 查询销售记录: from yesterday to now.
DateRange SalesQuery(const QDateTime& now);
// From the 1st of the month, 00:00:00, to now.
DateRange MonthToDate(const QDateTime& now);
// From 1 January, 00:00:00, to now.
DateRange YearToDate(const QDateTime& now);

// The hint line of the period dialog.
QString MonthHint();        // "默认为本月", both monthly reports
QString YearSalesHint();    // "默认为本年度"
QString YearPurchaseHint(); // "默认为本年"

} // namespace reportdefaults
