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
// Turnover and cost per stamp day, with the day report's join; a stamp that is not written
// the usual way comes whole, for the program to read.
QString DailyStatement(const QDate& from, const QDate& to, bool postgres);
QString TopDrugsStatement(const QDate& from, const QDate& to);
// The period's figures; nullopt, with why in `failure`, when they cannot be read.
std::optional<CSalesTrend> Load(CDatabase* db, const QDate& from, const QDate& to,
                                QString* failure);

} // namespace salestrend
