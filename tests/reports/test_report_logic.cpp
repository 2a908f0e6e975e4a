// The statements, default ranges, hints and summary rows of the queries and reports, and the
// charts' axis steps, without a display or a database.
#include "axis_steps.h"
#include "loss_summary.h"
#include "qt_printers.h"
#include "report_defaults.h"
#include "report_statements.h"
#include "sales_summary.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

QDateTime At(int y, int m, int d, int h = 0, int min = 0, int s = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min, s));
}

TEST(ReportStatements, DateRangeQueriesTakeTheDateTextsAsGiven) {
    EXPECT_EQ(
        reportsql::PurchaseQuery("2002-05-19", "2003-05-10"),
        QStringLiteral("SELECT * FROM 进 WHERE 采购日期 BETWEEN '2002-05-19' AND '2003-05-10'"));
    EXPECT_EQ(reportsql::SalesQuery("2003-05-09", "2003-05-10"),
              QStringLiteral("SELECT * FROM 销 WHERE 日期时间 BETWEEN '2003-05-09 00:00:00.000' "
                             "AND '2003-05-10 23:59:59.999'"));
    EXPECT_EQ(reportsql::SalesDetail("2003-05-10", "2003-05-10"),
              QStringLiteral("SELECT * FROM 销 WHERE 日期时间 BETWEEN '2003-05-10 00:00:00.000' "
                             "AND '2003-05-10 23:59:59.999'"));
    EXPECT_EQ(reportsql::PurchaseReport("2003-01-01", "2003-05-10"),
              QStringLiteral("SELECT * FROM 进 WHERE 采购日期 BETWEEN '2003-01-01 00:00:00.000' "
                             "AND '2003-05-10 23:59:59.999'"));
}

TEST(ReportStatements, SummaryHasATabBeforeTheSecondAndOfTheJoin) {
    const QString expected = QStringLiteral(
        "SELECT SUM(实收金额), SUM(存.平均成本单价*销.数量), "
        "SUM(实收金额)-SUM(存.平均成本单价*销.数量),"
        "(SUM(实收金额)-SUM(存.平均成本单价*销.数量))/(SUM(存.平均成本单价*销.数量))*100.0 FROM "
        "销,存 "
        "WHERE 销.日期时间 BETWEEN '2003-05-01 00:00:00.000' AND '2003-05-31 23:59:59.999' AND "
        "销.名称 = 存.名称\tAND 销.产地 = 存.产地 AND 销.规格型号 = 存.规格型号 AND "
        "销.有效截止日期 = "
        "存.有效截止日期");
    const QString sent = reportsql::SalesSummary("2003-05-01", "2003-05-31");
    EXPECT_EQ(sent, expected);
    EXPECT_EQ(sent.count(QLatin1Char('\t')), 1);
}

// PostgreSQL fails a whole statement on a division by zero; there only the divisors change.
TEST(ReportStatements, GuardedDivisorsChangeNothingElse) {
    const auto guarded = [](QString sql, const QString& divisor) {
        return sql.replace(QStringLiteral("/") + divisor,
                           QStringLiteral("/NULLIF(") + divisor + QStringLiteral(",0)"));
    };
    EXPECT_EQ(reportsql::ShortageCheck(true),
              guarded(reportsql::ShortageCheck(), QStringLiteral("SUM(现有存货量)")));
    EXPECT_EQ(reportsql::AverageCost(true),
              guarded(reportsql::AverageCost(), QStringLiteral("SUM(现有存货量)")));
    const QString summary = reportsql::SalesSummary("2003-05-01", "2003-05-31", true);
    EXPECT_EQ(summary, guarded(reportsql::SalesSummary("2003-05-01", "2003-05-31"),
                               QStringLiteral("(SUM(存.平均成本单价*销.数量))")));
    EXPECT_EQ(summary.count(QStringLiteral("NULLIF(")), 1);
}

TEST(ReportStatements, StockStatisticsAreFixed) {
    EXPECT_EQ(
        reportsql::ExpiryCheck(),
        QStringLiteral("SELECT 有效截止日期,名称,产地,规格型号,平均成本单价,现有存货量 FROM 存 "
                       "ORDER BY 有效截止日期 ASC"));
    EXPECT_EQ(reportsql::ShortageCheck(),
              QStringLiteral("SELECT SUM(现有存货量) AS 现有存货总量,名称,产地,规格型号,"
                             "SUM(现有存货量*平均成本单价) AS 该药总成本, "
                             "SUM(现有存货量*平均成本单价)/SUM(现有存货量) AS 该药平均成本单价 "
                             "FROM 存 GROUP BY 名称,产地,规格型号 ORDER BY 现有存货总量 ASC"));
    EXPECT_EQ(
        reportsql::AverageCost(),
        QStringLiteral("SELECT 名称,产地,规格型号,SUM(平均成本单价*现有存货量)/SUM(现有存货量) "
                       "AS 同类药品平均成本单价 FROM 存 GROUP BY 名称,产地,规格型号"));
    EXPECT_EQ(
        reportsql::TotalStockCost(),
        QStringLiteral("SELECT SUM(现有存货量*平均成本单价) AS 库存总成本,COUNT(*) AS 药品种类 "
                       "FROM 存"));
}

// The statement's text and its bound values, as a reader sees them.
QString Sent(const CStatement& statement) {
    return statement.sql + QStringLiteral(" | ") + sqlparams::Describe(statement.values);
}

TEST(ReportStatements, StockQueryAddsOneClausePerFilledFieldInKeyOrder) {
    EXPECT_EQ(Sent(reportsql::StockQuery({})), QStringLiteral("SELECT * FROM 存 WHERE 1>0 | "));
    EXPECT_EQ(Sent(reportsql::StockQuery({"a", "b", "c", "2005-"})),
              QStringLiteral("SELECT * FROM 存 WHERE 1>0 AND 名称 like ? AND 产地 like ? AND "
                             "规格型号 like ? AND 有效截止日期 like ? | '%a%', '%b%', '%c%', "
                             "'%2005-%'"));
    EXPECT_EQ(Sent(reportsql::StockQuery({"", "", "", "2005"})),
              QStringLiteral("SELECT * FROM 存 WHERE 1>0 AND 有效截止日期 like ? | '%2005%'"));
}

TEST(ReportStatements, StockPatternsAreBoundWithWildcardsIntact) {
    // Leading blanks are kept, trailing ones go as they do from what is stored: a field of
    // blanks is empty.
    EXPECT_EQ(Sent(reportsql::StockQuery({"", " 九龙 \t", "", ""})),
              QStringLiteral("SELECT * FROM 存 WHERE 1>0 AND 产地 like ? | '% 九龙%'"));
    EXPECT_EQ(Sent(reportsql::StockQuery({"", "  ", "", ""})),
              QStringLiteral("SELECT * FROM 存 WHERE 1>0 | "));
    // A quote is part of the value, never of the text.
    EXPECT_EQ(Sent(reportsql::StockQuery({"x' OR '1'='1", "", "", ""})),
              QStringLiteral("SELECT * FROM 存 WHERE 1>0 AND 名称 like ? | '%x' OR '1'='1%'"));
    // '%' and '_' pass through and act as wildcards; a backslash stands for itself where LIKE
    // would take it as its escape.
    EXPECT_EQ(Sent(reportsql::StockQuery({"阿%林", "_京", "a\\b", ""}, true)),
              QStringLiteral("SELECT * FROM 存 WHERE 1>0 AND 名称 like ? AND 产地 like ? AND "
                             "规格型号 like ? | '%阿%林%', '%_京%', '%a\\\\b%'"));
}

TEST(ReportDefaults, QueriesLookBack356DaysAndOneDay) {
    const QDateTime now = At(2003, 5, 10, 14, 30);
    // 2003-05-10 less 365 days is 2002-05-10; 9 days later is 2002-05-19.
    EXPECT_EQ(reportdefaults::PurchaseQuery(now).start, At(2002, 5, 19, 14, 30));
    EXPECT_EQ(reportdefaults::PurchaseQuery(now).end, now);
    EXPECT_EQ(reportdefaults::SalesQuery(now).start, At(2003, 5, 9, 14, 30));
    EXPECT_EQ(reportdefaults::SalesQuery(now).end, now);
    // Across a year end, and from 1 March of a leap year.
    EXPECT_EQ(reportdefaults::SalesQuery(At(2004, 1, 1, 8)).start, At(2003, 12, 31, 8));
    EXPECT_EQ(reportdefaults::SalesQuery(At(2004, 3, 1, 8)).start, At(2004, 2, 29, 8));
}

TEST(ReportDefaults, PeriodsStartOnTheFirstOfTheMonthAndOnFirstJanuary) {
    const QDateTime now = At(2003, 5, 10, 14, 30, 5);
    EXPECT_EQ(reportdefaults::MonthToDate(now).start, At(2003, 5, 1));
    EXPECT_EQ(reportdefaults::MonthToDate(now).end, now);
    EXPECT_EQ(reportdefaults::YearToDate(now).start, At(2003, 1, 1));
    EXPECT_EQ(reportdefaults::YearToDate(now).end, now);
    // On the 1st the monthly range is that one day; on 1 January so is the yearly one.
    const QDateTime first = At(2003, 6, 1, 9);
    EXPECT_EQ(reportdefaults::MonthToDate(first).start.date(), first.date());
    EXPECT_EQ(reportdefaults::YearToDate(At(2004, 1, 1, 9)).start.date(), QDate(2004, 1, 1));
}

TEST(ReportDefaults, HintsDifferBetweenSalesAndPurchaseYears) {
    EXPECT_EQ(reportdefaults::MonthHint(), QStringLiteral("默认为本月"));
    EXPECT_EQ(reportdefaults::YearSalesHint(), QStringLiteral("默认为本年度"));
    EXPECT_EQ(reportdefaults::YearPurchaseHint(), QStringLiteral("默认为本年"));
}

CResultTable Figures(const QStringList& texts) {
    CResultTable table;
    std::vector<CResultColumn> columns(4);
    table.SetColumns(columns);
    const int row = table.AppendRow();
    for (int i = 0; i < texts.size(); ++i)
        table.SetCell(row, i, texts[i]);
    return table;
}

QStringList Labels(const SummaryBlock& block) {
    QStringList out;
    for (const SummaryRow& row : block)
        out << row.label;
    return out;
}

QStringList Values(const SummaryBlock& block) {
    QStringList out;
    for (const SummaryRow& row : block)
        out << (row.hasValue ? row.value : QStringLiteral("(none)"));
    return out;
}

TEST(SalesSummary, LabelsCarryThePeriodExceptTheCost) {
    const CResultTable figures = Figures({"20", "12.5", "7.5", "60"});
    EXPECT_EQ(Labels(SummaryRows(SalesPeriod::Day, figures)),
              QStringList({"", "日营业额", "总成本", "日纯利润", "日利润率"}));
    EXPECT_EQ(Labels(SummaryRows(SalesPeriod::Month, figures)),
              QStringList({"", "月营业额", "总成本", "月纯利润", "月利润率"}));
    EXPECT_EQ(Labels(SummaryRows(SalesPeriod::Year, figures)),
              QStringList({"", "年营业额", "总成本", "年纯利润", "年利润率"}));
}

TEST(SalesSummary, FiguresShowToTheFenWithTheirUnits) {
    EXPECT_EQ(Values(SummaryRows(SalesPeriod::Day, Figures({"20", "12.5", "7.5", "60"}))),
              QStringList({"(none)", "20.00元", "12.50元", "7.50元", "60.00%"}));
    EXPECT_EQ(
        Values(SummaryRows(SalesPeriod::Day, Figures({"321.005", "188.958333333333",
                                                      "132.046666666667", "41.613230429989"}))),
        QStringList({"(none)", "321.01元", "188.96元", "132.05元", "41.61%"}));
    EXPECT_EQ(Values(SummaryRows(SalesPeriod::Day, Figures({"1e+20", "0.1", "-3", "33.3"}))),
              QStringList({"(none)", "100000000000000000000.00元", "0.10元", "-3.00元", "33.30%"}));
    // NULL figures are empty cells: the units stand alone.
    EXPECT_EQ(Values(SummaryRows(SalesPeriod::Month, Figures({"3", "0", "3", ""}))),
              QStringList({"(none)", "3.00元", "0.00元", "3.00元", "%"}));
    EXPECT_EQ(Values(SummaryRows(SalesPeriod::Year, CResultTable())),
              QStringList({"(none)", "元", "元", "元", "%"}));
}

// What PostgreSQL's driver gives for sums of doubles must not show through: boxes lose the
// noise of 0.1 + 0.2, a cost of 1.005 (its double just below) is 1.01, and "合计" adds the
// rounded 原因 rows, so 0.005 + 0.005 under two 原因 is 0.02, not the 0.01 of their exact sum.
TEST(LossSummary, FiguresAreRoundedPerReasonAndTheTotalAddsThem) {
    CResultTable losses;
    losses.SetColumns({{"原因", 0}, {"名称", 0}, {"数量", 0}, {"成本金额", 0}});
    const char* const rows[][3] = {{"其他", "0.1", "1.005"},
                                   {"破损", "2.5", "0.005"},
                                   {"其他", "0.2", "0"},
                                   {"过期", "1", "0.005"}};
    for (const auto& cells : rows) {
        const int r = losses.AppendRow();
        for (int c = 0; c < 3; ++c)
            losses.SetCell(r, c == 0 ? 0 : c + 1, QString::fromUtf8(cells[c]));
    }
    const std::vector<QStringList> expected = {
        {"", "", "", ""},
        {"过期", "1 笔", "1 盒", "0.01 元"},
        {"破损", "1 笔", "2.5 盒", "0.01 元"},
        {"其他", "2 笔", "0.3 盒", "1.01 元"},
        {"合计", "4 笔", "3.8 盒", "1.03 元"},
    };
    EXPECT_EQ(LossSummaryRows(losses), expected);
    EXPECT_TRUE(LossSummaryRows(CResultTable()).empty());
}

// What every scale must hold: it covers the values in at most ten whole round steps.
void ExpectRoundSteps(const CAxisSteps& axis, double min, double max) {
    EXPECT_LE(axis.low, min);
    EXPECT_GE(axis.high, max);
    const double mantissa = axis.step / std::pow(10.0, std::floor(std::log10(axis.step) + 1e-12));
    EXPECT_TRUE(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 ||
                std::abs(mantissa - 2.5) < 1e-9 || std::abs(mantissa - 5) < 1e-9)
        << "step " << axis.step;
    const double steps = (axis.high - axis.low) / axis.step;
    EXPECT_NEAR(steps, std::round(steps), 1e-9);
    EXPECT_LE(std::lround(steps), 10);
    EXPECT_EQ(axis.tickCount, std::lround(steps) + 1);
}

struct AxisCase {
    double min, max;
    double low, high, step;
    int decimals;
};

void PrintTo(const AxisCase& c, std::ostream* os) {
    *os << c.min << " .. " << c.max;
}

class AxisStepsTest : public ::testing::TestWithParam<AxisCase> {};

TEST_P(AxisStepsTest, RangeWidensToWholeRoundSteps) {
    const AxisCase& c = GetParam();
    const CAxisSteps axis = axissteps::Nice(c.min, c.max);
    EXPECT_DOUBLE_EQ(axis.low, c.low);
    EXPECT_DOUBLE_EQ(axis.high, c.high);
    EXPECT_DOUBLE_EQ(axis.step, c.step);
    EXPECT_EQ(axis.decimals, c.decimals);
    ExpectRoundSteps(axis, c.min, c.max);
}

INSTANTIATE_TEST_SUITE_P(
    AxisSteps, AxisStepsTest,
    ::testing::Values(AxisCase{0, 1103, 0, 1200, 200, 0}, AxisCase{-37.5, 220.6, -50, 250, 50, 0},
                      AxisCase{0, 0, 0, 1, 0.2, 1},         // all zero
                      AxisCase{7, 7, 0, 8, 2, 0},           // one value
                      AxisCase{-7, -7, -8, 0, 2, 0},        // one loss
                      AxisCase{0.3, 0.9, 0.3, 0.9, 0.1, 1}, // no 0.30000000000000004
                      AxisCase{0, 14, 0, 15, 2.5, 1}, AxisCase{0, 1.4, 0, 1.5, 0.25, 2}));

// Floating noise at a step's edge must neither leave a value outside nor add an eleventh step.
TEST(AxisSteps, EveryRangeKeepsItsValuesWithinTenRoundSteps) {
    for (int a = -30; a <= 30; ++a) {
        for (int b = a; b <= a + 40; ++b) {
            for (const double scale : {0.1, 0.3, 1.0, 7.7, 110.3}) {
                const double min = a * scale, max = b * scale;
                SCOPED_TRACE(testing::Message() << min << " .. " << max);
                ExpectRoundSteps(axissteps::Nice(min, max), min, max);
                if (HasFailure())
                    return;
            }
        }
    }
}

} // namespace
