// The query, report and statistics commands on both backends, against small books whose figures
// were worked out by hand: the statements sent, the rows shown, the summary block and its
// failures, refresh and sort after a report, and cancelled dialogs.
#include "CTestBooks.h"
#include "alert_counts.h"
#include "audit_log.h"
#include "log_head.h"
#include "opening_stock.h"
#include "q_grid.h"
#include "query_rows.h"
#include "recording_prompts.h"
#include "report_commands.h"
#include "report_statements.h"
#include "sales_trend.h"
#include "trace_ledger.h"
#include "typing.h"
#include "ui_driving.h"

#include <QDateEdit>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using reports::CommandContext;

// The stock-card key of a test card.
struct Card {
    const char* name;
    const char* origin;
    const char* packModel;
    const char* expiry;
};

const Card kAmoxicillin{"阿莫西林", "广州", "0.25g*24", "2005-01-01"};
const Card kBanlangen{"板蓝根", "北京", "10g*20", "2004-06-30"};
const Card kBanlangenLater{"板蓝根", "北京", "10g*20", "2005-03-31"};
const Card kLoquatSyrup{"川贝枇杷膏", "香港", "150ml", "2003-12-31"};

QString CardRow(const Card& c, double averageCost, double onHand) {
    return QStringLiteral("INSERT INTO 存 VALUES ('%1', '%2', '%3', '%4', %5, %6)")
        .arg(QString::fromUtf8(c.name), QString::fromUtf8(c.origin), QString::fromUtf8(c.packModel),
             QString::fromUtf8(c.expiry))
        .arg(averageCost)
        .arg(onHand);
}

QString SaleRow(const QString& stamp, const Card& c, double quantity, double paid) {
    return QStringLiteral("INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, "
                          "数量, 销售类型, 实收金额, 坏帐) VALUES ('%1', '%2', '%3', '%4', '%5', "
                          "%6, %7, '%8', %6, 0)")
        .arg(stamp, QString::fromUtf8(c.name), QString::fromUtf8(c.origin),
             QString::fromUtf8(c.packModel), QString::fromUtf8(c.expiry))
        .arg(paid)
        .arg(quantity)
        .arg(quantity < 1 ? QStringLiteral("拆零销售") : QStringLiteral("整盒销售"));
}

QString PurchaseRow(const QString& date, const Card& c) {
    return QStringLiteral(
               "INSERT INTO 进 (采购日期, 采购人, 大类, 小类, 编号, 名称, 产地, 规格型号, 批号, "
               "有效截止日期, 进价, 数量) VALUES ('%1', '王', '中药', '颗粒', 'B7', '%2', '%3', "
               "'%4', 'P1', '%5', 9.5, 10)")
        .arg(date, QString::fromUtf8(c.name), QString::fromUtf8(c.origin),
             QString::fromUtf8(c.packModel), QString::fromUtf8(c.expiry));
}

QString LossRow(const QString& stamp, const Card& c, double quantity, double unitCost,
                const char* reason) {
    return QStringLiteral("INSERT INTO 损 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 数量, "
                          "成本单价, 原因, 去向, 操作员) VALUES ('%1', '%2', '%3', '%4', '%5', %6, "
                          "%7, '%8', '', '张三')")
        .arg(stamp, QString::fromUtf8(c.name), QString::fromUtf8(c.origin),
             QString::fromUtf8(c.packModel), QString::fromUtf8(c.expiry))
        .arg(quantity)
        .arg(unitCost)
        .arg(QString::fromUtf8(reason));
}

QDateTime At(int y, int m, int d, int h = 0, int min = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min));
}

class ReportCommandsTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (!m_books)
            return;
        uitest::ResetGridSort();
        m_window.resize(1300, 600);
        m_grid = new q_grid(&m_window);
        m_grid->Create(&Db(), QStringLiteral("销"), QStringLiteral("select * from 销 WHERE 1<0"),
                       &m_window, QRect(0, 0, 1300, 600), true, false);
        m_grid->SetPermissions(true, false, false, false);
        m_window.show();
        RecordStatements();
    }

    // The books of the profit tests. Average costs: 阿莫西林 2.5, 板蓝根 (2004-06-30) 10;
    // 川贝枇杷膏 has no card any more.
    void AddProfitBooks() {
        Exec(CardRow(kAmoxicillin, 2.5, 10));
        Exec(CardRow(kBanlangen, 10, 3));
        Exec(SaleRow("2003-05-09 23:59:59.999", kAmoxicillin, 1, 5));   // the day before
        Exec(SaleRow("2003-05-10 00:00:00", kAmoxicillin, 2, 8));       // cost 2 * 2.5 = 5
        Exec(SaleRow("2003-05-10 12:30:00", kBanlangen, 0.5, 7.5));     // cost 0.5 * 10 = 5
        Exec(SaleRow("2003-05-10 15:00:00", kLoquatSyrup, 1, 30));      // card gone: no figure
        Exec(SaleRow("2003-05-10 23:59:59.999", kAmoxicillin, 1, 4.5)); // cost 2.5
        Exec(SaleRow("2003-05-11 00:00:00", kAmoxicillin, 1, 10));      // the day after
        m_sent.clear();
    }

    // A point of the sales trend carries the figures the report gives for its days.
    void ExpectTheReportOf(const CTrendPoint& point, const QDate& from, const QDate& to) {
        SCOPED_TRACE(point.start.toString(Qt::ISODate).toStdString());
        const QStringList report =
            QueryRows(Db(), reportsql::SalesSummary(from.toString(Qt::ISODate),
                                                    to.toString(Qt::ISODate), IsPostgreSQL()))
                .at(0);
        EXPECT_DOUBLE_EQ(point.turnover, report[0].toDouble());
        EXPECT_DOUBLE_EQ(point.cost, report[1].toDouble());
    }

    // A context that fills the dialog in with `fill`, then presses its button `button`.
    CommandContext Press(const QDateTime& now, const char* button,
                         std::function<void(QDialog&)> fill = {}) {
        CommandContext context;
        context.now = now;
        context.runDialog = [this, button, fill](QDialog& dialog) {
            m_dialogs << dialog.windowTitle();
            if (fill)
                fill(dialog);
            auto* b = dialog.findChild<QPushButton*>(QString::fromLatin1(button));
            if (!b)
                return -1;
            QTest::mouseClick(b, Qt::LeftButton);
            return dialog.result();
        };
        return context;
    }
    CommandContext Ok(const QDateTime& now, std::function<void(QDialog&)> fill = {}) {
        return Press(now, "1", std::move(fill));
    }
    static std::function<void(QDialog&)> Dates(const QDate& from, const QDate& to) {
        return [from, to](QDialog& dialog) {
            if (auto* start = dialog.findChild<QDateEdit*>(QStringLiteral("1047")))
                start->setDate(from);
            if (auto* end = dialog.findChild<QDateEdit*>(QStringLiteral("1048")))
                end->setDate(to);
        };
    }
    static std::function<void(QDialog&)> Patterns(const QStringList& texts) {
        return [texts](QDialog& dialog) {
            const char* const ids[] = {"1061", "1053", "1054", "1055"};
            for (int i = 0; i < 4 && i < texts.size(); ++i)
                TypeText(dialog.findChild<QLineEdit*>(QString::fromLatin1(ids[i])), texts[i]);
        };
    }

    QStringList Row(int row) const {
        QStringList out;
        for (int c = 0; c < m_grid->GetColumnCount(); ++c)
            out << m_grid->GetItemText(row, c);
        return out;
    }
    QStringList Column(int column) const {
        QStringList out;
        for (int r = 0; r < m_grid->GetItemCount(); ++r)
            out << m_grid->GetItemText(r, column);
        return out;
    }
    QStringList Titles() const {
        QStringList out;
        for (int c = 0; c < m_grid->GetColumnCount(); ++c)
            out << m_grid->ColumnTitle(c);
        return out;
    }
    // The first two columns of the last five rows.
    // The five rows of the summary block, `below` rows (the day report's log head) under it.
    std::vector<QStringList> SummaryBlock(int below = 0) const {
        std::vector<QStringList> out;
        const int end = m_grid->GetItemCount() - below;
        for (int r = std::max(0, end - 5); r < end; ++r)
            out.push_back({m_grid->GetItemText(r, 0), m_grid->GetItemText(r, 1)});
        return out;
    }
    // A summary row's other columns are empty.
    bool RestEmpty(int row) const {
        for (int c = 2; c < m_grid->GetColumnCount(); ++c)
            if (!m_grid->GetItemText(row, c).isEmpty())
                return false;
        return true;
    }
    bool IsPostgreSQL() const { return GetParam() == Backend::PostgreSQL; }

    CRecordingPrompts m_prompts;
    QWidget m_window;
    q_grid* m_grid = nullptr; // child of m_window
    QStringList m_dialogs;
};

// --- Record queries ---------------------------------------------------------------------------

TEST_P(ReportCommandsTest, PurchaseQueryCovers356DaysBackToTodayWithoutTimeOfDay) {
    // 2003-05-10 less 356 days is 2002-05-19.
    Exec(PurchaseRow("2002-05-18", kBanlangen));
    Exec(PurchaseRow("2002-05-19", kAmoxicillin));
    Exec(PurchaseRow("2003-05-10", kLoquatSyrup));
    Exec(PurchaseRow("2003-05-11", kBanlangenLater));
    m_sent.clear();
    reports::PurchaseQuery(*m_grid, &m_window, Ok(At(2003, 5, 10, 16, 45)));
    EXPECT_EQ(m_dialogs, QStringList{"采购查询"});
    EXPECT_EQ(m_sent, QStringList{"SELECT * FROM 进 WHERE 采购日期 BETWEEN '2002-05-19' AND "
                                  "'2003-05-10'"});
    EXPECT_EQ(m_grid->Table(), QStringLiteral("进"));
    EXPECT_EQ(Column(5), QStringList({"阿莫西林", "川贝枇杷膏"}));
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(ReportCommandsTest, PurchaseQueryOnOneDayFindsThatDaysPurchases) {
    Exec(PurchaseRow("2003-05-09", kBanlangen));
    Exec(PurchaseRow("2003-05-10", kAmoxicillin));
    Exec(PurchaseRow("2003-05-11", kLoquatSyrup));
    m_sent.clear();
    reports::PurchaseQuery(*m_grid, &m_window,
                           Ok(At(2003, 6, 1), Dates(QDate(2003, 5, 10), QDate(2003, 5, 10))));
    EXPECT_EQ(m_sent, QStringList{"SELECT * FROM 进 WHERE 采购日期 BETWEEN '2003-05-10' AND "
                                  "'2003-05-10'"});
    EXPECT_EQ(Column(5), QStringList{"阿莫西林"});
    // 更新显示 repeats the query.
    Exec(PurchaseRow("2003-05-10", kBanlangenLater));
    m_sent.clear();
    m_grid->Reload();
    EXPECT_EQ(m_sent, QStringList{"SELECT * FROM 进 WHERE 采购日期 BETWEEN '2003-05-10' AND "
                                  "'2003-05-10'"});
    EXPECT_EQ(m_grid->GetItemCount(), 2);
}

TEST_P(ReportCommandsTest, SalesQueryCoversYesterdayAndTodayToTheLastMillisecond) {
    AddProfitBooks();
    reports::SalesQuery(*m_grid, &m_window, Ok(At(2003, 5, 11, 9)));
    EXPECT_EQ(m_dialogs, QStringList{"销售查询"});
    EXPECT_EQ(m_sent, QStringList{"SELECT * FROM 销 WHERE 日期时间 BETWEEN '2003-05-10 "
                                  "00:00:00.000' AND '2003-05-11 23:59:59.999'"});
    EXPECT_EQ(m_grid->Table(), QStringLiteral("销"));
    // Everything from 05-10 00:00:00 on; the sale at 05-09 23:59:59.999 is the day before.
    EXPECT_EQ(m_grid->GetItemCount(), 5);
    EXPECT_FALSE(Column(1).isEmpty());
    EXPECT_FALSE(Column(0).join(',').contains(QStringLiteral("2003-05-09")));
}

TEST_P(ReportCommandsTest, StockQueryWithNothingTypedListsEveryCard) {
    Exec(CardRow(kAmoxicillin, 2.5, 10));
    Exec(CardRow(kBanlangen, 10, 3));
    m_sent.clear();
    reports::StockQuery(*m_grid, &m_window, Ok(At(2003, 5, 10)));
    EXPECT_EQ(m_dialogs, QStringList{"采购库存"});
    EXPECT_EQ(m_sent, QStringList{"SELECT * FROM 存 WHERE 1>0"});
    EXPECT_EQ(m_grid->Table(), QStringLiteral("存"));
    EXPECT_EQ(m_grid->GetItemCount(), 2);
}

TEST_P(ReportCommandsTest, StockQueryMatchesAnywhereWithBlanksQuotesAndWildcards) {
    Exec(CardRow(kAmoxicillin, 2.5, 10));
    Exec(CardRow(kBanlangen, 10, 3));
    Exec(CardRow(kBanlangenLater, 12, 1));
    Exec(CardRow({"板根", "北京", "10g*20", "2004-01-31"}, 3, 3));
    Exec(CardRow({"O''Neil止咳糖浆", "香港 九龙", "100ml", "2006-02-28"}, 20, 2));
    Exec(CardRow({"维生素C 100%", "天津", "0.1g*100", "2007-07-31"}, 4, 4));
    m_sent.clear();
    struct Case {
        QStringList typed;
        QString clause;
        QStringList names; // in the order of the stock's key
    };
    const Case cases[] = {
        {{"板蓝"}, " AND 名称 like '%板蓝%'", {"板蓝根", "板蓝根"}},
        // '_' stands for one character: 板蓝根 but not 板根.
        {{"板_根"}, " AND 名称 like '%板_根%'", {"板蓝根", "板蓝根"}},
        // '%' for any run of characters, none included.
        {{"阿%林"}, " AND 名称 like '%阿%林%'", {"阿莫西林"}},
        {{"板%根"}, " AND 名称 like '%板%根%'", {"板根", "板蓝根", "板蓝根"}},
        // A blank inside is a character to find; trailing ones go, as from stored texts.
        {{"", " 九龙  "}, " AND 产地 like '% 九龙%'", {"O'Neil止咳糖浆"}},
        {{"", "香港 "}, " AND 产地 like '%香港%'", {"O'Neil止咳糖浆"}},
        // A quote is part of the text, not the end of the literal.
        {{"O'Neil"}, " AND 名称 like '%O''Neil%'", {"O'Neil止咳糖浆"}},
        {{"' OR 1>0 OR 名称 = '"}, " AND 名称 like '%'' OR 1>0 OR 名称 = ''%'", {}},
        {{"", "", "", "2005-"}, " AND 有效截止日期 like '%2005-%'", {"阿莫西林", "板蓝根"}},
        {{"板", "北京", "10g*20", "2004"},
         " AND 名称 like '%板%' AND 产地 like '%北京%' AND 规格型号 like '%10g*20%' AND "
         "有效截止日期 like '%2004%'",
         {"板根", "板蓝根"}},
    };
    for (const Case& c : cases) {
        m_sent.clear();
        reports::StockQuery(*m_grid, &m_window, Ok(At(2003, 5, 10), Patterns(c.typed)));
        ASSERT_EQ(m_sent.size(), 1) << c.typed.join('|').toStdString();
        // Each pattern travels bound: the text holds a mark where the literal stood.
        static const QRegularExpression literal(QStringLiteral("like '(?:[^']|'')*'"));
        EXPECT_EQ(m_sent[0], QStringLiteral("SELECT * FROM 存 WHERE 1>0") +
                                 QString(c.clause).replace(literal, QStringLiteral("like ?")));
        QStringList names = Column(0);
        names.sort();
        QStringList expected = c.names;
        expected.sort();
        EXPECT_EQ(names, expected) << c.typed.join('|').toStdString();
    }
    EXPECT_TRUE(m_prompts.Messages().empty()) << m_prompts.Texts().join('\n').toStdString();
}

TEST_P(ReportCommandsTest, StockQueryLettersFollowTheDatabasesCaseRules) {
    Exec(CardRow({"Aspirin肠溶片", "拜耳", "100mg*30片", "2008-08-03"}, 12.5, 3));
    m_sent.clear();
    reports::StockQuery(*m_grid, &m_window, Ok(At(2003, 5, 10), Patterns({"aspirin"})));
    EXPECT_EQ(m_sent, QStringList{"SELECT * FROM 存 WHERE 1>0 AND 名称 like ?"});
    // SQLite's LIKE ignores the case of ASCII letters; PostgreSQL's does not.
    EXPECT_EQ(m_grid->GetItemCount(), IsPostgreSQL() ? 0 : 1);
}

TEST_P(ReportCommandsTest, StockAlertsListExpiredNearAndShortAroundTheThresholds) {
    // Today is 2003-05-10; near expiry means within 30 days, short means under 5 boxes.
    const Card expired{"甲药", "甲", "1", "2003-05-09"};  // its drug's only stock
    const Card today{"乙药", "乙", "1", "2003-05-10"};    // expires today
    const Card later{"乙药", "乙", "1", "2004-01-01"};    // same drug, far off
    const Card lastDay{"丙药", "丙", "1", "2003-06-09"};  // the window's last day
    const Card outside{"丙药", "丙", "1", "2003-06-10"};  // a day beyond it
    const Card soldOut{"丁药", "丁", "1", "2003-05-20"};  // near, but nothing on hand
    const Card noDate{"戊药", "戊", "1", "2003/06/01"};   // typed by hand
    const Card badDay{"己药", "己", "1", "2003-02-29"};   // no such day
    const Card longAgo{"庚药", "庚", "1", "1969-12-31"};  // before the days are counted from
    const Card yearZero{"辛药", "辛", "1", "0000-01-01"}; // no year 0
    for (const auto& [card, onHand] : std::vector<std::pair<Card, double>>{{expired, 3},
                                                                           {today, 2},
                                                                           {later, 10},
                                                                           {lastDay, 1},
                                                                           {outside, 1},
                                                                           {soldOut, 0},
                                                                           {noDate, 4},
                                                                           {badDay, 6},
                                                                           {longAgo, 1},
                                                                           {yearZero, 1}})
        Exec(CardRow(card, 1, onHand));
    // QueryRows shows a NULL as "(NULL)"; the grid shows it empty.
    const auto rows =
        QueryRows(Db(), reportsql::StockAlerts(QDate(2003, 5, 10), 30, 5, IsPostgreSQL()));
    EXPECT_EQ(rows, (std::vector<QStringList>{
                        {"已过期", "庚药", "庚", "1", "1969-12-31", "1", "-12183"},
                        {"已过期", "甲药", "甲", "1", "2003-05-09", "3", "-1"},
                        {"近效期", "乙药", "乙", "1", "2003-05-10", "2", "0"},
                        {"近效期", "丙药", "丙", "1", "2003-06-09", "1", "30"},
                        {"库存不足", "丁药", "丁", "1", "", "0", "(NULL)"},
                        {"库存不足", "己药", "己", "1", "", "0", "(NULL)"},
                        {"库存不足", "庚药", "庚", "1", "", "0", "(NULL)"},
                        {"库存不足", "戊药", "戊", "1", "", "0", "(NULL)"},
                        {"库存不足", "甲药", "甲", "1", "", "0", "(NULL)"},
                        {"库存不足", "辛药", "辛", "1", "", "0", "(NULL)"},
                        {"库存不足", "丙药", "丙", "1", "", "2", "(NULL)"},
                        {"日期无效", "辛药", "辛", "1", "0000-01-01", "1", "(NULL)"},
                        {"日期无效", "己药", "己", "1", "2003-02-29", "6", "(NULL)"},
                        {"日期无效", "戊药", "戊", "1", "2003/06/01", "4", "(NULL)"},
                    }));
    // The status bar's pane counts the same rows.
    const std::optional<CAlertCounts> counts = CountAlerts(&Db(), QDate(2003, 5, 10), {30, 5});
    ASSERT_TRUE(counts.has_value());
    EXPECT_EQ(AlertPaneText(*counts), "预警：过期 2 批 · 近效期 2 批 · 缺货 7 种");
    EXPECT_TRUE(AlertPaneText({}).isEmpty());
}

// --- Sales reports ----------------------------------------------------------------------------

TEST_P(ReportCommandsTest, TrendDaysEqualTheDayReportOfEachDay) {
    AddProfitBooks();
    // A stamp written another way (as a maintenance row may hold it) counts on its own day.
    Exec(SaleRow("2003/05/11 9:05", kBanlangen, 1, 12));
    QString failure;
    const std::optional<CSalesTrend> trend =
        salestrend::Load(&Db(), QDate(2003, 5, 8), QDate(2003, 5, 12), &failure);
    ASSERT_TRUE(trend) << failure.toStdString();
    ASSERT_FALSE(trend->byMonth);
    ASSERT_EQ(trend->points.size(), 5u);
    for (const CTrendPoint& point : trend->points)
        ExpectTheReportOf(point, point.start, point.start);
    EXPECT_DOUBLE_EQ(trend->points[2].turnover, 20); // 2003-05-10: 8 + 7.5 + 4.5
    EXPECT_DOUBLE_EQ(trend->points[3].turnover, 22); // 2003-05-11: 10 + 12
    ASSERT_EQ(trend->topDrugs.size(), 2u);
    EXPECT_EQ(trend->topDrugs[0].name, "阿莫西林");
    EXPECT_DOUBLE_EQ(trend->turnover, 47);
}

TEST_P(ReportCommandsTest, TrendMonthsOfALongPeriodEqualTheReportOfTheirDays) {
    AddProfitBooks();
    QString failure;
    const std::optional<CSalesTrend> trend =
        salestrend::Load(&Db(), QDate(2003, 3, 15), QDate(2003, 6, 20), &failure);
    ASSERT_TRUE(trend) << failure.toStdString();
    ASSERT_TRUE(trend->byMonth);
    ASSERT_EQ(trend->points.size(), 4u);
    EXPECT_EQ(trend->points[0].start, QDate(2003, 3, 1));
    ExpectTheReportOf(trend->points[2], QDate(2003, 5, 1), QDate(2003, 5, 31));
    EXPECT_GT(trend->points[2].turnover, 0);
}

TEST_P(ReportCommandsTest, DailyReportListsTheDayAndSumsItsProfit) {
    auditlog::Append(Db(), {"张三", "销售", "销", "一笔"}, At(2003, 5, 10, 9));
    AddProfitBooks();
    reports::DaySalesReport(*m_grid, &Db(), &m_window,
                            Ok(At(2003, 6, 2, 10), Dates(QDate(2003, 5, 10), {})));
    EXPECT_EQ(m_dialogs, QStringList{"日销售报表－汇总条件"});
    EXPECT_EQ(m_sent.mid(0, 2),
              QStringList({"SELECT * FROM 销 WHERE 日期时间 BETWEEN '2003-05-10 00:00:00.000' AND "
                           "'2003-05-10 23:59:59.999'",
                           reportsql::SalesSummary("2003-05-10", "2003-05-10", IsPostgreSQL())}));
    // Four sales of the day, the one of the deleted card among them, the block, the log's head.
    ASSERT_EQ(m_grid->GetItemCount(), 4 + 5 + 1);
    QStringList names;
    for (int r = 0; r < 4; ++r)
        names << m_grid->GetItemText(r, 1);
    names.sort();
    EXPECT_EQ(names, QStringList({"川贝枇杷膏", "板蓝根", "阿莫西林", "阿莫西林"}));
    // Turnover 8 + 7.5 + 4.5 = 20 (the 30 of the card that is gone does not count);
    // cost 2*2.5 + 0.5*10 + 1*2.5 = 12.5; net profit 20 - 12.5 = 7.5; rate 7.5/12.5*100 = 60.
    const std::vector<QStringList> expected = {{"", ""},
                                               {"日营业额", "20.00元"},
                                               {"总成本", "12.50元"},
                                               {"日纯利润", "7.50元"},
                                               {"日利润率", "60.00%"}};
    EXPECT_EQ(SummaryBlock(1), expected);
    for (int r = 4; r < 10; ++r)
        EXPECT_TRUE(RestEmpty(r)) << r;
    EXPECT_EQ(m_grid->GetItemText(9, 0), auditlog::HeadText(*auditlog::Head(Db())));
    // The grid keeps the detail statement as its own.
    EXPECT_EQ(m_grid->Table(), QStringLiteral("销"));
    EXPECT_EQ(m_grid->Sql(), m_sent[0]);
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(ReportCommandsTest, DailyReportOpensOnTodayAndADayWithoutSalesHasNoSummary) {
    AddProfitBooks();
    QString shown;
    reports::DaySalesReport(*m_grid, &Db(), &m_window,
                            Ok(At(2003, 5, 12, 10), [&shown](QDialog& dialog) {
                                shown = dialog.findChild<QDateEdit*>("1047")->text();
                            }));
    EXPECT_EQ(shown, QStringLiteral("2003-05-12"));
    // Only the detail statement: no summary is asked for an empty range.
    EXPECT_EQ(m_sent, QStringList{"SELECT * FROM 销 WHERE 日期时间 BETWEEN '2003-05-12 "
                                  "00:00:00.000' AND '2003-05-12 23:59:59.999'"});
    EXPECT_EQ(m_grid->GetItemCount(), 0);
    // The described columns, then 单号, 小票号, 冲正单号 and 支付方式.
    EXPECT_EQ(m_grid->GetColumnCount(), 15);
    EXPECT_EQ(m_grid->ColumnTitle(0), QStringLiteral("日期时间"));
}

TEST_P(ReportCommandsTest, MonthlyReportOnTheFirstCoversThatDayAlone) {
    Exec(CardRow(kAmoxicillin, 2.5, 10));
    Exec(SaleRow("2003-05-31 23:59:59.999", kAmoxicillin, 1, 100));
    Exec(SaleRow("2003-06-01 00:00:00", kAmoxicillin, 2, 6)); // cost 2 * 2.5 = 5
    m_sent.clear();
    QStringList shown;
    reports::MonthSalesReport(*m_grid, &Db(), &m_window,
                              Ok(At(2003, 6, 1, 9, 15), [&shown](QDialog& dialog) {
                                  shown << dialog.findChild<QDateEdit*>("1047")->text()
                                        << dialog.findChild<QDateEdit*>("1048")->text()
                                        << dialog.findChild<QLabel*>("1063")->text();
                              }));
    EXPECT_EQ(m_dialogs, QStringList{"报表－汇总条件"});
    EXPECT_EQ(shown, QStringList({"2003-06-01", "2003-06-01", "默认为本月"}));
    EXPECT_EQ(m_sent[0], QStringLiteral("SELECT * FROM 销 WHERE 日期时间 BETWEEN '2003-06-01 "
                                        "00:00:00.000' AND '2003-06-01 23:59:59.999'"));
    // One sale: turnover 6, cost 5, net profit 1, rate 1/5*100 = 20.
    const std::vector<QStringList> expected = {{"", ""},
                                               {"月营业额", "6.00元"},
                                               {"总成本", "5.00元"},
                                               {"月纯利润", "1.00元"},
                                               {"月利润率", "20.00%"}};
    ASSERT_EQ(m_grid->GetItemCount(), 1 + 5);
    EXPECT_EQ(SummaryBlock(), expected);
}

TEST_P(ReportCommandsTest, MonthlyReportOverAWholeMonthCountsItsLastMillisecond) {
    AddProfitBooks();
    Exec(SaleRow("2003-04-30 23:59:59.999", kAmoxicillin, 1, 1000));
    Exec(SaleRow("2003-06-01 00:00:00", kAmoxicillin, 1, 1000));
    m_sent.clear();
    reports::MonthSalesReport(*m_grid, &Db(), &m_window,
                              Ok(At(2003, 5, 20), Dates(QDate(2003, 5, 1), QDate(2003, 5, 31))));
    EXPECT_EQ(m_sent,
              QStringList({reportsql::SalesDetail("2003-05-01", "2003-05-31"),
                           reportsql::SalesSummary("2003-05-01", "2003-05-31", IsPostgreSQL())}));
    // Six sales of May. Turnover 5 + 8 + 7.5 + 4.5 + 10 = 35; cost 2.5 + 5 + 5 + 2.5 + 2.5 =
    // 17.5; net profit 17.5; rate 17.5/17.5*100 = 100.
    ASSERT_EQ(m_grid->GetItemCount(), 6 + 5);
    const std::vector<QStringList> expected = {{"", ""},
                                               {"月营业额", "35.00元"},
                                               {"总成本", "17.50元"},
                                               {"月纯利润", "17.50元"},
                                               {"月利润率", "100.00%"}};
    EXPECT_EQ(SummaryBlock(), expected);
}

TEST_P(ReportCommandsTest, YearlyReportRunsFromFirstJanuary) {
    Exec(CardRow(kBanlangen, 10, 3));
    Exec(SaleRow("2002-12-31 23:59:59.999", kBanlangen, 1, 1000));
    Exec(SaleRow("2003-01-01 00:00:00", kBanlangen, 1, 12));   // cost 10
    Exec(SaleRow("2003-03-15 10:00:00", kBanlangen, 0.25, 3)); // cost 2.5
    m_sent.clear();
    QStringList shown;
    reports::YearSalesReport(*m_grid, &Db(), &m_window,
                             Ok(At(2003, 3, 20, 11), [&shown](QDialog& dialog) {
                                 shown << dialog.findChild<QDateEdit*>("1047")->text()
                                       << dialog.findChild<QDateEdit*>("1048")->text()
                                       << dialog.findChild<QLabel*>("1063")->text();
                             }));
    EXPECT_EQ(shown, QStringList({"2003-01-01", "2003-03-20", "默认为本年度"}));
    EXPECT_EQ(m_sent,
              QStringList({reportsql::SalesDetail("2003-01-01", "2003-03-20"),
                           reportsql::SalesSummary("2003-01-01", "2003-03-20", IsPostgreSQL())}));
    // Turnover 12 + 3 = 15; cost 1*10 + 0.25*10 = 12.5; net profit 2.5; rate 2.5/12.5*100 = 20.
    const std::vector<QStringList> expected = {{"", ""},
                                               {"年营业额", "15.00元"},
                                               {"总成本", "12.50元"},
                                               {"年纯利润", "2.50元"},
                                               {"年利润率", "20.00%"}};
    ASSERT_EQ(m_grid->GetItemCount(), 2 + 5);
    EXPECT_EQ(SummaryBlock(), expected);
}

TEST_P(ReportCommandsTest, CostIsTheCardsAverageWhenTheReportRuns) {
    Exec(CardRow(kAmoxicillin, 2.5, 10));
    Exec(SaleRow("2003-05-10 10:00:00", kAmoxicillin, 2, 8));
    // A later purchase re-averaged the card.
    Exec(QStringLiteral("UPDATE 存 SET 平均成本单价 = 3.5"));
    m_sent.clear();
    reports::DaySalesReport(*m_grid, &Db(), &m_window,
                            Ok(At(2003, 6, 1), Dates(QDate(2003, 5, 10), {})));
    // Turnover 8; cost 2 * 3.5 = 7; net profit 1; rate (1/7)*100.0, whose 14.285714285714285
    // (PostgreSQL) or 14.2857142857143 (SQLite's driver) both show as 14.29.
    const std::vector<QStringList> expected = {{"", ""},
                                               {"日营业额", "8.00元"},
                                               {"总成本", "7.00元"},
                                               {"日纯利润", "1.00元"},
                                               {"日利润率", "14.29%"}};
    EXPECT_EQ(SummaryBlock(1), expected);
}

TEST_P(ReportCommandsTest, SalesWhoseCardsAreAllGoneLeaveTheUnitsAlone) {
    Exec(SaleRow("2003-05-10 10:00:00", kLoquatSyrup, 1, 30));
    m_sent.clear();
    reports::DaySalesReport(*m_grid, &Db(), &m_window,
                            Ok(At(2003, 6, 1), Dates(QDate(2003, 5, 10), {})));
    // No sale has its card: the four sums are NULL, shown as empty texts.
    const std::vector<QStringList> expected = {
        {"", ""}, {"日营业额", "元"}, {"总成本", "元"}, {"日纯利润", "元"}, {"日利润率", "%"}};
    ASSERT_EQ(m_grid->GetItemCount(), 1 + 5 + 1);
    EXPECT_EQ(m_grid->GetItemText(0, 1), QStringLiteral("川贝枇杷膏"));
    EXPECT_EQ(SummaryBlock(1), expected);
    EXPECT_TRUE(m_prompts.Messages().empty());
}

// A sale at no cost: the rate divides by zero. SQLite gives NULL; PostgreSQL would fail the
// whole summary, so its divisor is guarded to give NULL too.
TEST_P(ReportCommandsTest, ZeroCostLeavesOnlyTheRateEmpty) {
    Exec(CardRow({"赠品口罩", "上海", "10只", "2009-01-01"}, 0, 50));
    Exec(SaleRow("2003-05-10 10:00:00", {"赠品口罩", "上海", "10只", "2009-01-01"}, 1, 3));
    m_sent.clear();
    reports::DaySalesReport(*m_grid, &Db(), &m_window,
                            Ok(At(2003, 6, 1), Dates(QDate(2003, 5, 10), {})));
    // Turnover 3, cost 1 * 0 = 0, net profit 3, rate empty.
    EXPECT_TRUE(m_prompts.Messages().empty()) << m_prompts.Texts().join('|').toStdString();
    const std::vector<QStringList> expected = {{"", ""},
                                               {"日营业额", "3.00元"},
                                               {"总成本", "0.00元"},
                                               {"日纯利润", "3.00元"},
                                               {"日利润率", "%"}};
    ASSERT_EQ(m_grid->GetItemCount(), 1 + 5 + 1);
    EXPECT_EQ(SummaryBlock(1), expected);
}

TEST_P(ReportCommandsTest, RefreshAfterAReportShowsTheSalesAlone) {
    AddProfitBooks();
    reports::DaySalesReport(*m_grid, &Db(), &m_window,
                            Ok(At(2003, 6, 1), Dates(QDate(2003, 5, 10), {})));
    ASSERT_EQ(m_grid->GetItemCount(), 10);
    m_sent.clear();
    EXPECT_TRUE(m_grid->Reload());
    EXPECT_EQ(m_sent, QStringList{reportsql::SalesDetail("2003-05-10", "2003-05-10")});
    EXPECT_EQ(m_grid->GetItemCount(), 4);
    EXPECT_FALSE(Column(0).contains(QStringLiteral("日营业额")));
}

TEST_P(ReportCommandsTest, HeaderClickSortsTheSummaryRowsInAmongTheSales) {
    AddProfitBooks();
    reports::DaySalesReport(*m_grid, &Db(), &m_window,
                            Ok(At(2003, 6, 1), Dates(QDate(2003, 5, 10), {})));
    ASSERT_EQ(m_grid->GetItemCount(), 10);
    const QString head = auditlog::HeadText(*auditlog::Head(Db()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    QHeaderView* header = m_grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 20, header->height() / 2));
    // The first click on a text column sorts descending by GB18030 bytes: the labels (总 D7DC,
    // 日志 C8D5 D6BE, 日营 C8D5 D3AA, 日利 C8D5 C0FB, 日纯 C8D5 B4BF) above the digits of the
    // stamps, and the empty text last. The sales keep their columns; the block rows keep theirs.
    EXPECT_EQ(Column(0), QStringList({"总成本", head, "日营业额", "日利润率", "日纯利润",
                                      "2003-05-10 23:59:59.999", "2003-05-10 15:00:00",
                                      "2003-05-10 12:30:00", "2003-05-10 ", ""}));
    EXPECT_EQ(m_grid->GetItemText(0, 1), QStringLiteral("12.50元"));
    EXPECT_EQ(m_grid->GetItemText(5, 1), QStringLiteral("阿莫西林"));
    EXPECT_EQ(m_grid->GetItemText(9, 1), QString());
}

TEST_P(ReportCommandsTest, CancelledDialogsChangeNothing) {
    AddProfitBooks();
    reports::SalesQuery(*m_grid, &m_window, Ok(At(2003, 5, 11)));
    const QString sql = m_grid->Sql();
    const int rows = m_grid->GetItemCount();
    m_sent.clear();
    const CommandContext cancel =
        Press(At(2003, 5, 11), "2", Dates(QDate(2003, 1, 1), QDate(2003, 12, 31)));
    reports::PurchaseQuery(*m_grid, &m_window, cancel);
    reports::SalesQuery(*m_grid, &m_window, cancel);
    reports::StockQuery(*m_grid, &m_window, cancel);
    reports::DaySalesReport(*m_grid, &Db(), &m_window, cancel);
    reports::MonthSalesReport(*m_grid, &Db(), &m_window, cancel);
    reports::YearSalesReport(*m_grid, &Db(), &m_window, cancel);
    reports::MonthPurchaseReport(*m_grid, &m_window, cancel);
    reports::YearPurchaseReport(*m_grid, &m_window, cancel);
    reports::LossReport(*m_grid, &m_window, cancel);
    EXPECT_EQ(m_dialogs.size(), 10); // the first query and the nine cancelled ones
    EXPECT_TRUE(m_sent.isEmpty()) << m_sent.join('\n').toStdString();
    EXPECT_EQ(m_grid->Sql(), sql);
    EXPECT_EQ(m_grid->Table(), QStringLiteral("销"));
    EXPECT_EQ(m_grid->GetItemCount(), rows);
    EXPECT_TRUE(m_prompts.Messages().empty());
}

// --- Loss report ------------------------------------------------------------------------------

TEST_P(ReportCommandsTest, LossReportListsThePeriodOldestFirstAndSumsEachReason) {
    // Inserted out of order; the month to 2003-05-10 runs from 05-01 00:00:00 to the end of 05-10.
    Exec(LossRow("2003-05-10 23:59:59", kBanlangen, 0.1, 0.05, "盘亏"));        // 0.005
    Exec(LossRow("2003-05-01 00:00:00", kAmoxicillin, 3, 2.5, "过期"));         // 7.5
    Exec(LossRow("2003-05-11 00:00:00", kAmoxicillin, 9, 2.5, "破损"));         // the day after
    Exec(LossRow("2003-05-06 15:00:00", kAmoxicillin, -2, 2.5, "盘盈"));        // -5: found
    Exec(LossRow("2003-05-03 09:30:00", kBanlangen, 0.5, 10.25, "破损"));       // 5.125
    Exec(LossRow("2003-04-30 23:59:59.999", kAmoxicillin, 1, 2.5, "过期"));     // the day before
    Exec(LossRow("2003-05-08 11:00:00", kLoquatSyrup, 4, 8.333, "退回供应商")); // 33.332
    Exec(LossRow("2003-05-04 10:00:00", kBanlangenLater, 1.2, 10.1, "过期"));   // 12.12
    m_sent.clear();
    QStringList shown;
    reports::LossReport(*m_grid, &m_window, Ok(At(2003, 5, 10, 8), [&shown](QDialog& d) {
        shown << d.findChild<QDateEdit*>("1047")->text() << d.findChild<QDateEdit*>("1048")->text()
              << d.findChild<QLabel*>("1063")->text();
    }));
    EXPECT_EQ(m_dialogs, QStringList{"报表－汇总条件"});
    EXPECT_EQ(shown, QStringList({"2003-05-01", "2003-05-10", "默认为本月"}));
    // The figures come from the rows read: one statement only.
    EXPECT_EQ(m_sent, QStringList{reportsql::LossReport("2003-05-01", "2003-05-10")});
    EXPECT_EQ(m_grid->Table(), QStringLiteral("损"));
    EXPECT_EQ(Titles(), QStringList({"日期时间", "名称", "产地", "规格型号", "有效截止日期", "数量",
                                     "成本单价", "成本金额", "原因", "去向", "操作员", "备注"}));
    ASSERT_EQ(m_grid->GetItemCount(), 6 + 1 + 5 + 1);
    const QStringList stamps = Column(0).mid(0, 6);
    EXPECT_EQ(stamps,
              QStringList({"2003-05-01 ", "2003-05-03 09:30:00", "2003-05-04 10:00:00",
                           "2003-05-06 15:00:00", "2003-05-08 11:00:00", "2003-05-10 23:59:59"}));
    // Each row's cost to the cent, half a cent up.
    EXPECT_EQ(Column(7).mid(0, 6),
              QStringList({"7.50", "5.13", "12.12", "-5.00", "33.33", "0.01"}));
    // Per 原因 in the fixed order, 其他 absent; 盘盈 counts negative, and every figure is the
    // sum of the rows' figures: 19.62 + 5.13 + 33.33 + 0.01 - 5.00 = 53.09.
    const std::vector<QStringList> summary = {
        {"", "", "", ""},
        {"过期", "2 笔", "4.2 盒", "19.62 元"},
        {"破损", "1 笔", "0.5 盒", "5.13 元"},
        {"退回供应商", "1 笔", "4 盒", "33.33 元"},
        {"盘亏", "1 笔", "0.1 盒", "0.01 元"},
        {"盘盈", "1 笔", "-2 盒", "-5.00 元"},
        {"合计", "6 笔", "6.8 盒", "53.09 元"},
    };
    for (std::size_t i = 0; i < summary.size(); ++i) {
        const int r = 6 + int(i);
        const QStringList row = Row(r);
        EXPECT_EQ(QStringList({row[0], row[1], row[5], row[7]}), summary[i]) << r;
        EXPECT_EQ(row.join(QString()), summary[i].join(QString())) << r; // nothing else
    }
    EXPECT_TRUE(m_prompts.Messages().empty()) << m_prompts.Texts().join('|').toStdString();

    // A period without losses shows the columns and no summary.
    reports::LossReport(*m_grid, &m_window,
                        Ok(At(2003, 6, 5), Dates(QDate(2003, 6, 1), QDate(2003, 6, 5))));
    EXPECT_EQ(m_grid->GetItemCount(), 0);
    EXPECT_EQ(m_grid->GetColumnCount(), 12);
}

// --- Stock statistics and purchase reports ----------------------------------------------------

class StockStatisticsTest : public ReportCommandsTest {
protected:
    // 阿莫西林 on one card, 板蓝根 on two (expiring 2004-06-30 and 2005-03-31), 川贝枇杷膏
    // expired in 2003 with nothing on hand but still a card.
    void AddCards() {
        Exec(CardRow(kAmoxicillin, 2.5, 10));
        Exec(CardRow(kBanlangen, 10, 3));
        Exec(CardRow(kBanlangenLater, 12, 1));
        m_sent.clear();
    }
};

TEST_P(StockStatisticsTest, ExpiryCheckListsEveryCardEarliestFirst) {
    AddCards();
    Exec(CardRow(kLoquatSyrup, 8, 0));
    m_sent.clear();
    reports::ExpiryCheck(*m_grid);
    EXPECT_EQ(m_sent, QStringList{reportsql::ExpiryCheck()});
    EXPECT_EQ(m_grid->Table(), QStringLiteral("存"));
    EXPECT_EQ(Titles(), QStringList({"有效截止日期", "名称", "产地", "规格型号", "平均成本单价",
                                     "现有存货量"}));
    ASSERT_EQ(m_grid->GetItemCount(), 4);
    EXPECT_EQ(Row(0), QStringList({"2003-12-31", "川贝枇杷膏", "香港", "150ml", "8", "0"}));
    EXPECT_EQ(Row(1), QStringList({"2004-06-30", "板蓝根", "北京", "10g*20", "10", "3"}));
    EXPECT_EQ(Row(2), QStringList({"2005-01-01", "阿莫西林", "广州", "0.25g*24", "2.5", "10"}));
    EXPECT_EQ(Row(3), QStringList({"2005-03-31", "板蓝根", "北京", "10g*20", "12", "1"}));
}

TEST_P(StockStatisticsTest, ShortageCheckAddsTheCardsOfOneDrug) {
    AddCards();
    reports::ShortageCheck(*m_grid);
    EXPECT_EQ(m_sent, QStringList{reportsql::ShortageCheck(IsPostgreSQL())});
    EXPECT_EQ(Titles(), QStringList({"现有存货总量", "名称", "产地", "规格型号", "该药总成本",
                                     "该药平均成本单价"}));
    ASSERT_EQ(m_grid->GetItemCount(), 2);
    // 板蓝根: 3 + 1 = 4 on hand, 3*10 + 1*12 = 42, 42/4 = 10.5; the smaller total first.
    EXPECT_EQ(Row(0), QStringList({"4", "板蓝根", "北京", "10g*20", "42", "10.5"}));
    // 阿莫西林: 10 on hand, 10*2.5 = 25, 25/10 = 2.5.
    EXPECT_EQ(Row(1), QStringList({"10", "阿莫西林", "广州", "0.25g*24", "25", "2.5"}));
}

TEST_P(StockStatisticsTest, AverageCostWeighsTheCardsByWhatIsOnHand) {
    AddCards();
    reports::AverageCost(*m_grid);
    EXPECT_EQ(m_sent, QStringList{reportsql::AverageCost(IsPostgreSQL())});
    EXPECT_EQ(Titles(), QStringList({"名称", "产地", "规格型号", "同类药品平均成本单价"}));
    ASSERT_EQ(m_grid->GetItemCount(), 2);
    // No order is asked for: compare the rows as a set.
    std::vector<QStringList> rows = {Row(0), Row(1)};
    std::sort(rows.begin(), rows.end());
    // 板蓝根 (10*3 + 12*1) / 4 = 10.5; 阿莫西林 2.5*10 / 10 = 2.5.
    const std::vector<QStringList> expected = {{"板蓝根", "北京", "10g*20", "10.5"},
                                               {"阿莫西林", "广州", "0.25g*24", "2.5"}};
    EXPECT_EQ(rows, expected);
}

TEST_P(StockStatisticsTest, TotalStockCostCountsCardsNotDrugs) {
    AddCards();
    Exec(CardRow(kLoquatSyrup, 8, 0));
    m_sent.clear();
    reports::TotalStockCost(*m_grid);
    EXPECT_EQ(m_sent, QStringList{reportsql::TotalStockCost()});
    EXPECT_EQ(Titles(), QStringList({"库存总成本", "药品种类"}));
    // 10*2.5 + 3*10 + 1*12 + 0*8 = 67 over four cards of three drugs.
    ASSERT_EQ(m_grid->GetItemCount(), 1);
    EXPECT_EQ(Row(0), QStringList({"67", "4"}));
}

TEST_P(StockStatisticsTest, TotalStockCostOfEmptyStockIsBlankOverZeroCards) {
    reports::TotalStockCost(*m_grid);
    ASSERT_EQ(m_grid->GetItemCount(), 1);
    EXPECT_EQ(Row(0), QStringList({"", "0"}));
    EXPECT_TRUE(m_prompts.Messages().empty());
}

// A drug whose cards are all empty (sold out: what the shortage check is for) divides by
// zero. On both databases its row is listed with an empty average instead of losing the list.
TEST_P(StockStatisticsTest, ADrugWithNothingOnHandShowsAnEmptyAverage) {
    AddCards();
    Exec(CardRow(kLoquatSyrup, 8, 0));
    reports::ShortageCheck(*m_grid);
    EXPECT_TRUE(m_prompts.Texts().isEmpty()) << m_prompts.Texts().join('|').toStdString();
    ASSERT_EQ(m_grid->GetItemCount(), 3);
    // Nothing on hand sorts first.
    EXPECT_EQ(Row(0), QStringList({"0", "川贝枇杷膏", "香港", "150ml", "0", ""}));

    reports::AverageCost(*m_grid);
    EXPECT_TRUE(m_prompts.Texts().isEmpty()) << m_prompts.Texts().join('|').toStdString();
    ASSERT_EQ(m_grid->GetItemCount(), 3);
    for (int r = 0; r < 3; ++r) {
        if (m_grid->GetItemText(r, 0) == QStringLiteral("川贝枇杷膏"))
            EXPECT_EQ(m_grid->GetItemText(r, 3), QString());
        else
            EXPECT_FALSE(m_grid->GetItemText(r, 3).isEmpty());
    }
}

TEST_P(StockStatisticsTest, MonthlyPurchaseReportRunsFromTheFirstToTheEndOfToday) {
    Exec(PurchaseRow("2003-04-30 23:59:59.999", kBanlangen));
    Exec(PurchaseRow("2003-05-01", kAmoxicillin));
    Exec(PurchaseRow("2003-05-10 23:59:59.999", kLoquatSyrup));
    Exec(PurchaseRow("2003-05-11", kBanlangenLater));
    m_sent.clear();
    QStringList shown;
    reports::MonthPurchaseReport(*m_grid, &m_window,
                                 Ok(At(2003, 5, 10, 8), [&shown](QDialog& dialog) {
                                     shown << dialog.findChild<QDateEdit*>("1047")->text()
                                           << dialog.findChild<QDateEdit*>("1048")->text()
                                           << dialog.findChild<QLabel*>("1063")->text();
                                 }));
    EXPECT_EQ(m_dialogs, QStringList{"报表－汇总条件"});
    EXPECT_EQ(shown, QStringList({"2003-05-01", "2003-05-10", "默认为本月"}));
    EXPECT_EQ(m_sent, QStringList{"SELECT * FROM 进 WHERE 采购日期 BETWEEN '2003-05-01 "
                                  "00:00:00.000' AND '2003-05-10 23:59:59.999'"});
    EXPECT_EQ(m_grid->Table(), QStringLiteral("进"));
    QStringList names = Column(5);
    names.sort();
    EXPECT_EQ(names, QStringList({"川贝枇杷膏", "阿莫西林"}));
    // No summary rows.
    EXPECT_EQ(m_grid->GetItemCount(), 2);
}

TEST_P(StockStatisticsTest, YearlyPurchaseReportRunsFromFirstJanuary) {
    Exec(PurchaseRow("2002-12-31", kBanlangen));
    Exec(PurchaseRow("2003-01-01", kAmoxicillin));
    m_sent.clear();
    QStringList shown;
    reports::YearPurchaseReport(*m_grid, &m_window,
                                Ok(At(2003, 2, 3, 8), [&shown](QDialog& dialog) {
                                    shown << dialog.findChild<QDateEdit*>("1047")->text()
                                          << dialog.findChild<QDateEdit*>("1048")->text()
                                          << dialog.findChild<QLabel*>("1063")->text();
                                }));
    EXPECT_EQ(shown, QStringList({"2003-01-01", "2003-02-03", "默认为本年"}));
    EXPECT_EQ(m_sent, QStringList{reportsql::PurchaseReport("2003-01-01", "2003-02-03")});
    EXPECT_EQ(Column(5), QStringList{"阿莫西林"});
}

// --- 库存核对 --------------------------------------------------------------------------------

TEST_P(ReportCommandsTest, StockReconciliationPutsACardOffItsMovementsFirst) {
    Exec(CardRow(kAmoxicillin, 2.5, 10));
    Exec(CardRow(kBanlangen, 10, 3));
    reports::StockReconciliation(*m_grid, &m_window);
    ASSERT_EQ(m_prompts.Messages().size(), 1u); // no 期初 yet: nothing to hold the cards to
    EXPECT_TRUE(m_prompts.Messages()[0].text.contains("期初"));
    auditlog::Append(Db(), openingstock::Entry(Db(), "系统", "opening"),
                     QDateTime::currentDateTime());
    // Raised behind the log: no purchase, no 损 row.
    Exec(QStringLiteral("UPDATE 存 SET 现有存货量=12 WHERE 名称='%1'")
             .arg(QString::fromUtf8(kBanlangen.name)));
    reports::StockReconciliation(*m_grid, &m_window);
    EXPECT_EQ(Titles().mid(4), QStringList({"账上存货量", "按进销损应有", "差额", "核对"}));
    ASSERT_EQ(m_grid->GetItemCount(), 2);
    EXPECT_EQ(Column(0)[0], QString::fromUtf8(kBanlangen.name));
    EXPECT_EQ((QStringList{Column(4)[0], Column(5)[0], Column(6)[0], Column(7)[0]}),
              QStringList({"12", "3", "9", "不符"}));
    EXPECT_EQ(Column(7)[1], "相符");
}

// --- 追溯码销售明细 ----------------------------------------------------------------------------

TEST_P(ReportCommandsTest, TraceSalesListEachCodeSoldAndCountTheWholeBoxesWithout) {
    const auto sale = [this](const char* number, const char* stamp, double boxes, const char* kind,
                             const char* clerk, const char* reverses = "") {
        Exec(QStringLiteral("INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, "
                            "数量, 销售类型, 实收金额, 坏帐, 营业员, 单号, 冲正单号) VALUES ('%1', "
                            "'阿莫西林', '石药', '0.25g*24', '2027-06-30', 15, %2, '%3', 0, 0, "
                            "'%4', '%5', '%6')")
                 .arg(QString::fromUtf8(stamp), QString::number(boxes), QString::fromUtf8(kind),
                      QString::fromUtf8(clerk), QString::fromUtf8(number),
                      QString::fromUtf8(reverses)));
    };
    const traceledger::CCard card{"阿莫西林", "石药", "0.25g*24", "2027-06-30", "B7"};
    const auto code = [](int n) { return QStringLiteral("8123456789012345678%1").arg(n); };
    ASSERT_TRUE(traceledger::Capture(Db(), {code(1), code(2), code(3)}, card,
                                     {"P-1", "2026-12-01 09:00:00", "管理员"})
                    .ok());
    // Three boxes with two codes and one no purchase brought in; a split sale that opens the
    // third box; two boxes without
    // any code and their reversal; a sale after the period.
    sale("S-1", "2026-12-05 10:00:00", 3, "整盒销售", "张三");
    ASSERT_TRUE(traceledger::Sell(Db(), {code(1), code(2), code(5)}, card,
                                  {"S-1", "2026-12-05 10:00:00", "管理员"})
                    .ok());
    sale("S-2", "2026-12-06 09:00:00", 4.0 / 24, "拆零销售", "李四");
    ASSERT_TRUE(traceledger::SellPieces(Db(), code(3), card, 4, 24, false,
                                        {"S-2", "2026-12-06 09:00:00", "李四"})
                    .ok());
    sale("S-3", "2026-12-07 10:00:00", 2, "整盒销售", "张三");
    sale("S-4", "2026-12-07 11:00:00", -2, "整盒销售", "张三", "S-3");
    sale("S-5", "2026-12-09 00:00:00", 1, "整盒销售", "张三");
    ASSERT_TRUE(
        traceledger::Sell(Db(), {code(4)}, card, {"S-5", "2026-12-09 00:00:00", "张三"}).ok());

    const QString status = reports::TraceSalesReport(
        *m_grid, &m_window, Ok(At(2026, 12, 8, 18), Dates(QDate(2026, 12, 1), QDate(2026, 12, 8))));
    EXPECT_TRUE(m_prompts.Messages().empty()) << m_prompts.Texts().join('|').toStdString();
    EXPECT_EQ(Titles(), QStringList({"追溯码", "名称", "规格型号", "批号", "有效期", "拆零", "数量",
                                     "时间", "营业员", "单号"}));
    ASSERT_EQ(m_grid->GetItemCount(), 4);
    EXPECT_EQ(Row(0), QStringList({code(1), "阿莫西林", "0.25g*24", "B7", "2027-06-30", "否", "1",
                                   "2026-12-05 10:00:00", "张三", "S-1"}));
    EXPECT_EQ(Column(0)[1], code(2));
    EXPECT_EQ(Column(0)[2], code(5));
    EXPECT_EQ(Row(3), QStringList({code(3), "阿莫西林", "0.25g*24", "B7", "2027-06-30", "是", "4",
                                   "2026-12-06 09:00:00", "李四", "S-2"}));
    // Every box of S-1 has its code; S-3 was reversed, so it sold nothing; S-5 is outside.
    EXPECT_EQ(status,
              QStringLiteral("追溯码 4 个（其中 1 个未经入库登记）；本期整盒销售未扫码 0 盒"));
}

// --- 处方药销售登记, 含麻黄碱类复方制剂销售登记 -----------------------------------------------

class RegisterReportsTest : public ReportCommandsTest {
protected:
    // A sale of 复方甘草片 by 张三; `reverses` names the sale a reversing row takes back.
    void Sale(const char* number, const char* stamp, double boxes, const char* reverses = "") {
        Exec(QStringLiteral("INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, "
                            "数量, 销售类型, 实收金额, 坏帐, 营业员, 单号, 冲正单号) VALUES ('%1', "
                            "'复方甘草片', '北京制药', '100片', '2027-06-30', 8, %2, '%3', 0, 0, "
                            "'张三', '%4', '%5')")
                 .arg(QString::fromUtf8(stamp), QString::number(boxes),
                      boxes == 0.25 ? QStringLiteral("拆零销售") : QStringLiteral("整盒销售"),
                      QString::fromUtf8(number), QString::fromUtf8(reverses)));
    }
    // Sales around the period 2026-12-01 to 12-08, each with a register row (`registerRow`
    // fills it in for a 单号): one the day before, the first and last moment, a split sale
    // reversed by a row that carries a register row too, and one the day after.
    void AddSales(const std::function<void(const char*)>& registerRow) {
        const struct {
            const char *number, *stamp;
            double boxes;
            const char* reverses;
        } sales[] = {
            {"S-0", "2026-11-30 23:59:59", 1, ""},    {"S-1", "2026-12-01 00:00:00", 2, ""},
            {"S-2", "2026-12-05 10:00:00", 0.25, ""}, {"S-3", "2026-12-05 11:00:00", -0.25, "S-2"},
            {"S-4", "2026-12-08 23:59:59", 1, ""},    {"S-5", "2026-12-09 00:00:00", 1, ""}};
        for (const auto& sale : sales) {
            Sale(sale.number, sale.stamp, sale.boxes, sale.reverses);
            registerRow(sale.number);
        }
    }
    CommandContext InPeriod() {
        return Ok(At(2026, 12, 8, 18), Dates(QDate(2026, 12, 1), QDate(2026, 12, 8)));
    }
    // Every cell shown, one text.
    QString AllCells() const {
        QStringList cells;
        for (int r = 0; r < m_grid->GetItemCount(); ++r)
            cells << Row(r);
        return cells.join('|');
    }
};

TEST_P(RegisterReportsTest, PrescriptionRegisterListsThePeriodsSalesAndMarksTheReversed) {
    Exec(QStringLiteral("INSERT INTO 处方 VALUES ('RX-1', '王五', '男', 45, '赵医生', '市一院', "
                        "'2026-11-30', '钱药师', '孙六', '2026-11-30 23:50:00')"));
    AddSales([this](const char* number) {
        Exec(QStringLiteral("INSERT INTO 处方销售 VALUES ('%1', 'RX-1', 'B%1')")
                 .arg(QString::fromUtf8(number)));
    });
    reports::PrescriptionRegister(*m_grid, &m_window, false, InPeriod());
    EXPECT_TRUE(m_prompts.Messages().empty()) << m_prompts.Texts().join('|').toStdString();
    EXPECT_EQ(Titles(),
              QStringList({"销售时间", "名称", "规格型号", "生产企业", "批号", "数量", "销售类型",
                           "处方号", "患者姓名", "性别", "年龄", "处方医师", "医疗机构", "处方日期",
                           "审方药师", "调配人", "单号", "冲正"}));
    ASSERT_EQ(m_grid->GetItemCount(), 3);
    // The grid shows a midnight stamp without its time, as everywhere.
    EXPECT_EQ(Row(0), QStringList({"2026-12-01 ", "复方甘草片", "100片", "北京制药", "BS-1", "2",
                                   "整盒销售", "RX-1", "王五", "男", "45", "赵医生", "市一院",
                                   "2026-11-30", "钱药师", "孙六", "S-1", ""}));
    EXPECT_EQ(Column(16), QStringList({"S-1", "S-2", "S-4"}));
    EXPECT_EQ(Column(17), QStringList({"", "是", ""}));
    EXPECT_EQ((QStringList{Row(1)[5], Row(1)[6]}), QStringList({"0.25", "拆零销售"}));
}

// A 营业员 reads the ID number masked, and the whole number reaches neither the grid nor the
// statement it keeps (and prints and exports from); the 店长 reads it whole.
TEST_P(RegisterReportsTest, EphedrineRegisterMasksTheIdForAClerkOnly) {
    const QString id = QStringLiteral("11010119900307123X");
    AddSales([&](const char* number) {
        Exec(QStringLiteral("INSERT INTO 麻黄碱登记 VALUES ('%1', '李四', '%2', 'B%1', '%3', "
                            "'2026-12-01 00:00:00')")
                 .arg(QString::fromUtf8(number), id,
                      qstrcmp(number, "S-4") == 0 ? QStringLiteral("RX-9") : QString()));
    });
    for (const bool wholeIds : {true, false}) {
        SCOPED_TRACE(wholeIds ? "店长" : "营业员");
        reports::EphedrineRegister(*m_grid, &m_window, wholeIds, InPeriod());
        EXPECT_TRUE(m_prompts.Messages().empty()) << m_prompts.Texts().join('|').toStdString();
        EXPECT_EQ(Titles(), QStringList({"销售时间", "药品名称", "规格型号", "数量", "销售类型",
                                         "生产企业", "批号", "购买人姓名", "身份证号", "凭处方",
                                         "营业员", "单号", "冲正"}));
        ASSERT_EQ(m_grid->GetItemCount(), 3);
        const QString shown = wholeIds ? id : QStringLiteral("110101********123X");
        EXPECT_EQ(Row(0),
                  QStringList({"2026-12-01 ", "复方甘草片", "100片", "2", "整盒销售", "北京制药",
                               "BS-1", "李四", shown, "否", "张三", "S-1", ""}));
        EXPECT_EQ(Column(11), QStringList({"S-1", "S-2", "S-4"}));
        EXPECT_EQ(Column(12), QStringList({"", "是", ""}));
        EXPECT_EQ(Column(9), QStringList({"否", "否", "是"}));
        EXPECT_EQ(AllCells().contains(id) || sqlparams::Describe(m_grid->Values()).contains(id),
                  wholeIds);
    }
}

APRICOT_INSTANTIATE_BACKENDS(ReportCommandsTest);
APRICOT_INSTANTIATE_BACKENDS(RegisterReportsTest);
APRICOT_INSTANTIATE_BACKENDS(StockStatisticsTest);

} // namespace
