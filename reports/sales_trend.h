#pragma once
// The figures of the sales trend chart for a period: turnover, cost and net profit day by day
// (month by month over longer periods), each day's exactly as the day report gives them, and
// the ten drugs with the highest net profit.
#include <QDate>
#include <QString>
#include <optional>
#include <vector>

class CDatabase;

struct CTrendPoint {
    QDate start; // the day, or the first of the month
    double turnover = 0;
    double cost = 0;
    double NetProfit() const { return turnover - cost; }
};

struct CDrugProfit {
    QString name;
    QString origin;
    QString packModel;
    double netProfit = 0;
};

struct CSalesTrend {
    bool byMonth = false;
    std::vector<CTrendPoint> points; // every day (month) of the period, quiet ones at 0
    std::vector<CDrugProfit> topDrugs;
    double turnover = 0;
    double cost = 0;
    bool HasSales() const;
};

namespace salestrend {

// Months rather than days when the period is longer than about three months.
bool ByMonth(const QDate& from, const QDate& to);
// The first day of every day (month) of the period.
std::vector<QDate> BucketStarts(const QDate& from, const QDate& to, bool byMonth);
// Turnover and cost of each bucket, in their order, over the same range the day report reads.
QString BucketsStatement(const std::vector<QDate>& starts, const QDate& from, const QDate& to,
                         bool byMonth);
QString TopDrugsStatement(const QDate& from, const QDate& to);
// The period's figures; nullopt, with why in `failure`, when they cannot be read. Outside a
// transaction the ten drugs are read meanwhile on a second connection of the same string.
std::optional<CSalesTrend> Load(CDatabase* db, const QDate& from, const QDate& to,
                                QString* failure);

} // namespace salestrend
