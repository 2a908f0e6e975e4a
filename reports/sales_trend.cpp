#include "sales_trend.h"

#include "datetime_parse.h"
#include "report_statements.h"
#include "result_loader.h"
#include "sql_text.h"

#include <algorithm>
#include <map>

namespace {

const QString kJoin = QStringLiteral(
    " FROM 销,存 WHERE 销.名称 = 存.名称 AND 销.产地 = 存.产地 AND 销.规格型号 = 存.规格型号 AND "
    "销.有效截止日期 = 存.有效截止日期 AND 销.日期时间 ");

QString Range(const QDate& from, const QDate& to) {
    return sqltext::WholeDayRange(from.toString(Qt::ISODate), to.toString(Qt::ISODate));
}

// The day a stamp falls on, read as the books' own collation reads it.
QDate DayOf(const QString& stamp) {
    const QByteArray utf8 = stamp.toUtf8();
    apricot_datetime dt;
    if (!apricot_parse_datetime(utf8.constData(), static_cast<int>(utf8.size()), &dt))
        return {};
    return QDate(dt.year, dt.month, dt.day);
}

QDate Bucket(const QDate& day, bool byMonth) {
    return byMonth ? QDate(day.year(), day.month(), 1) : day;
}

} // namespace

bool CSalesTrend::HasSales() const {
    return std::any_of(points.begin(), points.end(),
                       [](const CTrendPoint& p) { return p.turnover != 0 || p.cost != 0; });
}

namespace salestrend {

bool ByMonth(const QDate& from, const QDate& to) {
    return from.daysTo(to) > 92;
}

QString DailyStatement(const QDate& from, const QDate& to, bool postgres) {
    const QString day =
        postgres
            ? QStringLiteral("TO_CHAR(销.日期时间,'YYYY-MM-DD')")
            : QStringLiteral("CASE WHEN 销.日期时间 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9]"
                             "[0-9]*' THEN SUBSTR(销.日期时间,1,10) ELSE 销.日期时间 END");
    return QStringLiteral("SELECT %1 AS 日,SUM(实收金额),SUM(存.平均成本单价*销.数量)").arg(day) +
           kJoin + Range(from, to) + QStringLiteral(" GROUP BY 1");
}

QString TopDrugsStatement(const QDate& from, const QDate& to) {
    return QStringLiteral("SELECT 销.名称,销.产地,销.规格型号,SUM(实收金额)-SUM(存.平均成本单价*"
                          "销.数量) AS 净利润") +
           kJoin + Range(from, to) +
           QStringLiteral(" GROUP BY 销.名称,销.产地,销.规格型号 ORDER BY 净利润 DESC,销.名称 "
                          "LIMIT 10");
}

std::optional<CSalesTrend> Load(CDatabase* db, const QDate& from, const QDate& to,
                                QString* failure) {
    const std::optional<CResultTable> days = RunStatement(
        db, QStringLiteral("销"), DailyStatement(from, to, reportsql::OnPostgreSQL(db)), failure);
    if (!days)
        return std::nullopt;
    CSalesTrend trend;
    trend.byMonth = ByMonth(from, to);
    std::map<QDate, CTrendPoint> buckets;
    for (QDate d = Bucket(from, trend.byMonth); d <= to;
         d = trend.byMonth ? d.addMonths(1) : d.addDays(1))
        buckets[d].start = d;
    for (int r = 0; r < days->RowCount(); ++r) {
        const QDate day = DayOf(days->CellText(r, 0));
        if (!day.isValid())
            continue;
        CTrendPoint& point = buckets[Bucket(day, trend.byMonth)];
        point.start = Bucket(day, trend.byMonth);
        point.turnover += days->CellText(r, 1).toDouble();
        point.cost += days->CellText(r, 2).toDouble();
    }
    for (const auto& [start, point] : buckets) {
        trend.points.push_back(point);
        trend.turnover += point.turnover;
        trend.cost += point.cost;
    }
    const std::optional<CResultTable> drugs =
        RunStatement(db, QStringLiteral("销"), TopDrugsStatement(from, to), failure);
    if (!drugs)
        return std::nullopt;
    for (int r = 0; r < drugs->RowCount(); ++r)
        trend.topDrugs.push_back({drugs->CellText(r, 0), drugs->CellText(r, 1),
                                  drugs->CellText(r, 2), drugs->CellText(r, 3).toDouble()});
    return trend;
}

} // namespace salestrend
