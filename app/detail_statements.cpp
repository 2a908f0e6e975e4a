#include "detail_statements.h"

namespace {

QString DateText(const QDate& date) {
    return QString::asprintf("%04d-%02d-%02d", date.year(), date.month(), date.day());
}

QString YearText(int year) {
    return QString::asprintf("%04d", year);
}

} // namespace

QString TodaySalesStatement(const QDate& today) {
    const QString d = DateText(today);
    return QStringLiteral("SELECT * FROM 销 WHERE 日期时间 BETWEEN '%1 00:00:00.000' AND '%1 "
                          "23:59:59.999' ORDER BY 日期时间 ASC")
        .arg(d);
}

QString StockListStatement() {
    return QStringLiteral("SELECT * FROM 存");
}

QString YearPurchasesStatement(const QDate& today) {
    return QStringLiteral("SELECT * FROM 进 WHERE 采购日期 BETWEEN '%1-01-01' AND '%2-01-01' ORDER "
                          "BY 采购日期 ASC")
        .arg(YearText(today.year()), YearText(today.year() + 1));
}
