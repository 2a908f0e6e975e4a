// How long the daily and the monthly sales report take, detail rows and summary block included,
// on SQLite books of 10,000 stock cards and 1,000,000 sales (about 150 a day), and again with
// 100,000 sales. Prints one "name value" line per figure (milliseconds, the median of several
// reports on different days and months).
#include "CDBException.h"
#include "CDatabase.h"
#include "CSalesTrendWnd.h"
#include "alert_counts.h"
#include "bench_support.h"
#include "q_grid.h"
#include "report_statements.h"
#include "sales_report.h"
#include "sales_trend.h"

#include "schema.h"
#include <QChartView>

#include <QDate>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {

constexpr int kCards = 10000;
constexpr int kSalesPerDay = 150;
constexpr int kRuns = 15;
const QDate kFirstDay(1990, 1, 1);

// Card i: 药品(i/2) from one of seven makers, one card expiring in 2004 and one in 2005.
const bench::CardExpressions kCard{"'药品' || (i / 2)", "'制药厂' || (i % 7)", "'0.25g*24粒'",
                                   "printf('%04d-%02d-28', 2004 + i % 2, 1 + i % 12)"};

// `perDay` sales a day spread over ten hours from 08:00 (150: one every four minutes), over the
// cards; every fifth a split pack. Inside, t counts the sales and i names the card.
QString SalesStatement(int count, int perDay = kSalesPerDay) {
    return bench::Sequence(0, count) +
           QStringLiteral(
               "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, "
               "销售类型, 实收金额, 坏帐) SELECT strftime('%Y-%m-%d %H:%M:%S', '1990-01-01 "
               "08:00:00', '+' || "
               "(t / %5) || ' days', '+' || (t % %5 * %7) || ' seconds'), %1, %2, %3, %4, 6.5, "
               "CASE WHEN t % 5 = 0 THEN 3 / 20.0 ELSE 1 END, CASE WHEN t % 5 = 0 THEN '拆零销售' "
               "ELSE '整盒销售' END, CASE WHEN t % 5 = 0 THEN 1.2 ELSE 6.5 END, 0 "
               "FROM (SELECT i AS t, i * 7919 % %6 AS i FROM n)")
               .arg(kCard.name, kCard.origin, kCard.packModel, kCard.expiry,
                    QString::number(perDay), QString::number(kCards),
                    QString::number(36000 / perDay));
}

bool Fail(const QString& why) {
    return bench::Fail("bench_reports", why);
}

QString DateText(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

bool MakeBooks(CDatabase& db, const QString& path, int sales, double& seconds,
               int perDay = kSalesPerDay) {
    try {
        QString why;
        seconds = bench::SecondsOf([&] {
            why = bench::OpenNewBooks(db, path);
            if (why.isEmpty())
                bench::FillInOneTransaction(
                    db, {bench::CardsStatement(kCards, kCard), SalesStatement(sales, perDay)});
        });
        if (!why.isEmpty())
            return Fail(why);
    } catch (const CDBException& e) {
        return Fail(e.ErrorText());
    }
    return true;
}

struct Figures {
    double day = 0;
    double month = 0;
    double alertList = 0;
    double alertCounts = 0;
};

// 药品预警 as the main grid shows it and as the status bar counts it, on a day when some cards
// have expired and others are near.
bool MeasureAlerts(CDatabase& db, q_grid& grid, Figures& figures) {
    const QDate today(2004, 6, 1);
    const CAlertSettings settings;
    std::vector<double> listTimes, countTimes;
    for (int run = 0; run < kRuns; ++run) {
        bool shown = false;
        listTimes.push_back(bench::MillisecondsOf([&] {
            shown = grid.SetQuery(QStringLiteral("存"),
                                  reportsql::StockAlerts(today, settings.nearExpiryDays,
                                                         settings.shortageBoxes, false));
        }));
        if (!shown || grid.GetItemCount() == 0)
            return Fail(QStringLiteral("药品预警 listed nothing"));
        std::optional<CAlertCounts> counts;
        countTimes.push_back(
            bench::MillisecondsOf([&] { counts = CountAlerts(&db, today, settings); }));
        if (!counts || counts->expired == 0 || counts->nearExpiry == 0)
            return Fail(QStringLiteral("the alert counts are wrong"));
    }
    figures.alertList = bench::Median(listTimes);
    figures.alertCounts = bench::Median(countTimes);
    return true;
}

// Reports on days and months spread over the books; each must list its sales and sum them.
bool MeasureReports(CDatabase& db, int sales, Figures& figures) {
    const int days = sales / kSalesPerDay;
    std::vector<double> dayTimes, monthTimes;
    q_grid grid;
    if (!grid.Create(&db, QStringLiteral("销"), QStringLiteral("select * from 销 WHERE 1<0"),
                     nullptr, QRect(0, 0, 1000, 700), false, true))
        return Fail(QStringLiteral("the grid cannot load"));
    for (int run = 0; run < kRuns; ++run) {
        const QDate day = kFirstDay.addDays(1 + (days - 2) * run / (kRuns - 1));
        const QString text = DateText(day);
        bool summed = false;
        dayTimes.push_back(bench::MillisecondsOf(
            [&] { summed = ShowSalesReport(grid, &db, SalesPeriod::Day, text, text, nullptr); }));
        if (!summed || grid.GetItemCount() != kSalesPerDay + 5)
            return Fail(QStringLiteral("the daily report of %1 gave %2 rows")
                            .arg(text)
                            .arg(grid.GetItemCount()));

        // Whole months inside the books.
        const QDate first(day.year(), day.month(), 1);
        const QDate month = first.addMonths(first < kFirstDay.addDays(days - 40) ? 0 : -1);
        const QDate last = month.addMonths(1).addDays(-1);
        monthTimes.push_back(bench::MillisecondsOf([&] {
            summed = ShowSalesReport(grid, &db, SalesPeriod::Month, DateText(month), DateText(last),
                                     nullptr);
        }));
        if (!summed || grid.GetItemCount() < 28 * kSalesPerDay + 5)
            return Fail(QStringLiteral("the monthly report of %1 gave %2 rows")
                            .arg(DateText(month))
                            .arg(grid.GetItemCount()));
    }
    figures.day = bench::Median(dayTimes);
    figures.month = bench::Median(monthTimes);
    return MeasureAlerts(db, grid, figures);
}

bool Run() {
    QTemporaryDir folder;
    if (!folder.isValid())
        return Fail(QStringLiteral("no temporary folder"));
    Figures large, small;
    double largeBuild = 0, smallBuild = 0;
    {
        CDatabase db;
        if (!MakeBooks(db, folder.filePath(QStringLiteral("large.db")), 1000000, largeBuild) ||
            !MeasureReports(db, 1000000, large))
            return false;
    }
    {
        CDatabase db;
        if (!MakeBooks(db, folder.filePath(QStringLiteral("small.db")), 100000, smallBuild) ||
            !MeasureReports(db, 100000, small))
            return false;
    }
    // 销售趋势图 of a year of 150,000 sales: the figures read and both charts built.
    double trendMs = 0;
    {
        CDatabase db;
        double build = 0;
        if (!MakeBooks(db, folder.filePath(QStringLiteral("trend.db")), 150000, build, 411))
            return false;
        std::vector<double> times;
        for (int run = 0; run < 5; ++run) {
            bool drawn = false;
            times.push_back(bench::MillisecondsOf([&] {
                const std::optional<CSalesTrend> trend =
                    salestrend::Load(&db, kFirstDay, kFirstDay.addDays(364), nullptr);
                if (!trend)
                    return;
                const CSalesTrendWnd window(*trend, kFirstDay, kFirstDay.addDays(364));
                drawn = !window.TrendView()->grab().isNull() && trend->turnover > 0;
            }));
            if (!drawn)
                return Fail(QStringLiteral("the sales trend of a year could not be drawn"));
        }
        trendMs = bench::Median(times);
    }
    bench::Print("day_report_1m_ms", large.day);
    bench::Print("month_report_1m_ms", large.month);
    bench::Print("day_report_100k_ms", small.day);
    bench::Print("month_report_100k_ms", small.month);
    bench::Print("day_report_1m_vs_100k", large.day / small.day);
    bench::Print("month_report_1m_vs_100k", large.month / small.month);
    bench::Print("reports_books_1m_build_s", largeBuild);
    bench::Print("stock_alerts_list_1m_ms", large.alertList);
    bench::Print("stock_alerts_counts_1m_ms", large.alertCounts);
    bench::Print("sales_trend_year_150k_ms", trendMs);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    return bench::RunWithWidgets(argc, argv, Run);
}
