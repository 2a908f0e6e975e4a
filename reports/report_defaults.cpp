#include "report_defaults.h"

namespace reportdefaults {

namespace {

// Midnight of `date`, local time.
QDateTime StartOfDay(const QDate& date) {
    return QDateTime(date, QTime(0, 0));
}

} // namespace

DateRange PurchaseQuery(const QDateTime& now) {
    return {now.addDays(-356), now};
}

DateRange SalesQuery(const QDateTime& now) {
    return {now.addDays(-1), now};
}

DateRange MonthToDate(const QDateTime& now) {
    const QDate today = now.date();
    return {StartOfDay(QDate(today.year(), today.month(), 1)), now};
}

DateRange YearToDate(const QDateTime& now) {
    return {StartOfDay(QDate(now.date().year(), 1, 1)), now};
}

QString MonthHint() {
    return QStringLiteral("默认为本月");
}

QString YearSalesHint() {
    return QStringLiteral("默认为本年度");
}

QString YearPurchaseHint() {
    return QStringLiteral("默认为本年");
}

} // namespace reportdefaults
