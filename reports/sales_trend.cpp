#include "sales_trend.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "report_statements.h"
#include "result_loader.h"
#include "sql_text.h"

#include <QScopeGuard>
#include <QStringList>

#include <algorithm>
#include <thread>

namespace {

const QString kCardsMatch = QStringLiteral(
    "销.名称 = 存.名称 AND 销.产地 = 存.产地 AND 销.规格型号 = 存.规格型号 AND 销.有效截止日期 = "
    "存.有效截止日期");

// SQLite allows 500 terms in one compound statement.
constexpr int kBucketsPerStatement = 200;

QDate NextBucket(const QDate& start, bool byMonth) {
    return byMonth ? start.addMonths(1) : start.addDays(1);
}

QString Range(const QDate& from, const QDate& to) {
    return sqltext::WholeDayRange(from.toString(Qt::ISODate), to.toString(Qt::ISODate));
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

std::vector<QDate> BucketStarts(const QDate& from, const QDate& to, bool byMonth) {
    std::vector<QDate> starts;
    for (QDate d = byMonth ? QDate(from.year(), from.month(), 1) : from; d.isValid() && d <= to;
         d = NextBucket(d, byMonth))
        starts.push_back(d);
    return starts;
}

QString BucketsStatement(const std::vector<QDate>& starts, const QDate& from, const QDate& to,
                         bool byMonth) {
    // One range scan per bucket, each the day report's own, so no sort of the period's sales.
    QStringList parts;
    for (const QDate& start : starts) {
        const QDate first = std::max(start, from);
        const QDate last = std::min(NextBucket(start, byMonth).addDays(-1), to);
        parts << QStringLiteral("SELECT %1,SUM(实收金额),SUM(存.平均成本单价*销.数量) FROM 销,存 "
                                "WHERE 销.日期时间 %2 AND %3")
                     .arg(sqltext::Quote(start.toString(Qt::ISODate)), Range(first, last),
                          kCardsMatch);
    }
    return parts.join(QStringLiteral(" UNION ALL "));
}

QString TopDrugsStatement(const QDate& from, const QDate& to) {
    // Each card's sales are summed first, so the stock cards are looked up once per card.
    return QStringLiteral("SELECT 销.名称,销.产地,销.规格型号,SUM(销.实收金额)-SUM(存.平均成本单价*"
                          "销.数量) AS 净利润 FROM (SELECT 名称,产地,规格型号,有效截止日期,"
                          "SUM(实收金额) AS 实收金额,SUM(数量) AS 数量 FROM 销 WHERE 日期时间 ") +
           Range(from, to) +
           QStringLiteral(" GROUP BY 名称,产地,规格型号,有效截止日期) 销,存 WHERE ") + kCardsMatch +
           QStringLiteral(" GROUP BY 销.名称,销.产地,销.规格型号 ORDER BY 净利润 DESC,销.名称 "
                          "LIMIT 10");
}

std::optional<CSalesTrend> Load(CDatabase* db, const QDate& from, const QDate& to,
                                QString* failure) {
    CSalesTrend trend;
    trend.byMonth = ByMonth(from, to);
    // The ten drugs are read on a connection of their own meanwhile, where one can be opened.
    std::optional<CResultTable> drugs;
    QString drugsFailure;
    bool drugsRead = false;
    std::thread drugsReader;
    const QString connect = db ? db->ConnectString() : QString();
    if (!connect.isEmpty() && db->IsAutoCommit())
        drugsReader = std::thread([&] {
            try {
                CDatabase own;
                if (!own.OpenEx(connect))
                    return;
                drugs = RunStatement(&own, QStringLiteral("销"), TopDrugsStatement(from, to),
                                     &drugsFailure);
                drugsRead = true;
            } catch (const CDBException&) {
                // Read on the window's own connection below.
            }
        });
    const auto joinReader = qScopeGuard([&] {
        if (drugsReader.joinable())
            drugsReader.join();
    });

    const std::vector<QDate> starts = BucketStarts(from, to, trend.byMonth);
    for (size_t first = 0; first < starts.size(); first += kBucketsPerStatement) {
        const std::vector<QDate> chunk(starts.begin() + first,
                                       starts.begin() +
                                           std::min(starts.size(), first + kBucketsPerStatement));
        const std::optional<CResultTable> sums = RunStatement(
            db, QStringLiteral("销"), BucketsStatement(chunk, from, to, trend.byMonth), failure);
        if (!sums)
            return std::nullopt;
        // Each row names its bucket: a compound statement promises no order.
        std::vector<CTrendPoint> points(chunk.size());
        for (size_t i = 0; i < chunk.size(); ++i)
            points[i].start = chunk[i];
        for (int r = 0; r < sums->RowCount(); ++r) {
            const QDate start = QDate::fromString(sums->CellText(r, 0), Qt::ISODate);
            const auto at = std::lower_bound(chunk.begin(), chunk.end(), start);
            if (at == chunk.end() || *at != start)
                continue;
            CTrendPoint& point = points[static_cast<size_t>(at - chunk.begin())];
            point.turnover = sums->CellText(r, 1).toDouble();
            point.cost = sums->CellText(r, 2).toDouble();
        }
        for (const CTrendPoint& point : points) {
            trend.turnover += point.turnover;
            trend.cost += point.cost;
            trend.points.push_back(point);
        }
    }

    if (drugsReader.joinable())
        drugsReader.join();
    if (!drugsRead)
        drugs = RunStatement(db, QStringLiteral("销"), TopDrugsStatement(from, to), &drugsFailure);
    if (!drugs) {
        if (failure)
            *failure = drugsFailure;
        return std::nullopt;
    }
    for (int r = 0; r < drugs->RowCount(); ++r)
        trend.topDrugs.push_back({drugs->CellText(r, 0), drugs->CellText(r, 1),
                                  drugs->CellText(r, 2), drugs->CellText(r, 3).toDouble()});
    return trend;
}

} // namespace salestrend
