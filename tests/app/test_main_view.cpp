// The main view on both backends: its first update, the three detail commands on the day and
// year boundaries, 更新显示, 打印保存, and a grid that sorts but never edits, adds or deletes.
#include "CApricotView.h"
#include "CTestBooks.h"
#include "command_ids.h"
#include "detail_statements.h"
#include "q_grid.h"
#include "query_rows.h"
#include "recording_launcher.h"
#include "recording_prompts.h"

#include <QDate>
#include <QFile>
#include <QHeaderView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString DateText(const QDate& date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString Sale(const QString& stamp, const QString& name) {
    return QStringLiteral("INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, "
                          "数量, 销售类型, 实收金额, 坏帐) VALUES ('%1', '%2', '华北制药', "
                          "'0.25g*24', '2030-01-01', "
                          "12.5, 1, '整盒销售', 12.5, 0)")
        .arg(stamp, name);
}

QString Purchase(const QString& date, const QString& name) {
    return QStringLiteral("INSERT INTO 进 (采购日期, 采购人, 大类, 小类, 编号, 名称, 产地, "
                          "规格型号, 批号, 有效截止日期, 进价, 数量) VALUES ('%1', '王', '西药', "
                          "'抗生素', 'A1', '%2', '华北制药', "
                          "'0.25g*24', 'B1', '2030-01-01', 8.5, 10)")
        .arg(date, name);
}

class MainViewTest : public CBooksTest {
protected:
    void Open() {
        m_view = std::make_unique<CApricotView>(&Db(), m_launcher);
        m_view->resize(800, 500);
        m_view->OnInitialUpdate();
        ASSERT_NE(Grid(), nullptr);
    }
    q_grid* Grid() const { return m_view->Grid(); }
    QStringList Column(int column) const {
        QStringList out;
        for (int r = 0; r < Grid()->GetItemCount(); ++r)
            out << Grid()->GetItemText(r, column);
        return out;
    }

    CRecordingPrompts m_prompts;
    CRecordingLauncher m_launcher;
    std::unique_ptr<CApricotView> m_view;
};

TEST_P(MainViewTest, StartsWithTheColumnsOfSalesAndNoRowsWhenNothingWasSoldToday) {
    Exec(Sale(DateText(QDate::currentDate().addDays(-1)) + QStringLiteral(" 12:00:00"), "昨天"));
    Open();
    EXPECT_EQ(Grid()->GetColumnCount(), 15);
    EXPECT_EQ(Grid()->ColumnTitle(0), QStringLiteral("日期时间"));
    EXPECT_EQ(Grid()->GetItemCount(), 0);
    EXPECT_EQ(Grid()->Table(), QStringLiteral("销"));
    EXPECT_EQ(Grid()->Sql(), TodaySalesStatement(QDate::currentDate()));
    EXPECT_TRUE(Grid()->isVisibleTo(m_view.get()));
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(MainViewTest, TodaysSalesRunFromMidnightToTheLastMillisecond) {
    const QDate today = QDate::currentDate();
    Exec(Sale(DateText(today.addDays(-1)) + QStringLiteral(" 23:59:59.999"), "昨天最后"));
    Exec(Sale(DateText(today) + QStringLiteral(" 23:59:59.999"), "今天最后"));
    Exec(Sale(DateText(today) + QStringLiteral(" 00:00:00.000"), "今天最早"));
    Exec(Sale(DateText(today) + QStringLiteral(" 12:30:00"), "今天中午"));
    Exec(Sale(DateText(today.addDays(1)) + QStringLiteral(" 00:00:00.000"), "明天最早"));
    Open();
    if (QDate::currentDate() != today)
        GTEST_SKIP() << "the day changed during the test";
    EXPECT_EQ(Column(1), (QStringList{"今天最早", "今天中午", "今天最后"}));
    EXPECT_TRUE(Column(0).last().startsWith(DateText(today) + QStringLiteral(" 23:59:59")));
}

TEST_P(MainViewTest, YearPurchasesIncludeNewYearsDayOfTheNextYearOnly) {
    const int year = QDate::currentDate().year();
    Exec(Purchase(QStringLiteral("%1-12-31").arg(year - 1), "去年除夕"));
    Exec(Purchase(QStringLiteral("%1-01-01").arg(year), "今年元旦"));
    Exec(Purchase(QStringLiteral("%1-12-31").arg(year), "今年除夕"));
    Exec(Purchase(QStringLiteral("%1-01-01").arg(year + 1), "明年元旦"));
    Exec(Purchase(QStringLiteral("%1-01-02").arg(year + 1), "明年初二"));
    Open();
    m_view->OnCommand(cmd::YearPurchases);
    EXPECT_EQ(Grid()->Table(), QStringLiteral("进"));
    EXPECT_EQ(Grid()->Sql(), YearPurchasesStatement(QDate::currentDate()));
    EXPECT_EQ(Column(5), (QStringList{"今年元旦", "今年除夕", "明年元旦"}));
}

TEST_P(MainViewTest, StockListShowsEveryCard) {
    Exec(QStringLiteral(
        "INSERT INTO 存 VALUES ('阿莫西林', '华北制药', '0.25g*24', '2030-01-01', 8.5, 3)"));
    Exec(QStringLiteral(
        "INSERT INTO 存 VALUES ('板蓝根', '白云山', '10g*20', '2029-06-30', 0.75, 0)"));
    Open();
    m_view->OnCommand(cmd::StockList);
    EXPECT_EQ(Grid()->Table(), QStringLiteral("存"));
    EXPECT_EQ(Grid()->Sql(), QStringLiteral("SELECT * FROM 存"));
    EXPECT_EQ(Grid()->GetColumnCount(), 6);
    EXPECT_EQ(Grid()->GetItemCount(), 2);
}

TEST_P(MainViewTest, RefreshRerunsTheLastStatementUnchanged) {
    const QDate today = QDate::currentDate();
    Exec(QStringLiteral(
        "INSERT INTO 存 VALUES ('阿莫西林', '华北制药', '0.25g*24', '2030-01-01', 8.5, 3)"));
    Open();
    m_view->OnCommand(cmd::StockList);
    const QString statement = Grid()->Sql();
    Exec(QStringLiteral(
        "INSERT INTO 存 VALUES ('板蓝根', '白云山', '10g*20', '2029-06-30', 0.75, 0)"));
    Exec(Sale(DateText(today) + QStringLiteral(" 10:00:00"), "今天"));
    // Entries elsewhere do not refresh the view.
    EXPECT_EQ(Grid()->GetItemCount(), 1);
    m_view->OnCommand(cmd::Refresh);
    EXPECT_EQ(Grid()->Sql(), statement);
    EXPECT_EQ(Grid()->Table(), QStringLiteral("存"));
    EXPECT_EQ(Grid()->GetItemCount(), 2);

    // 本日销售明细 builds its statement anew each time.
    m_view->OnCommand(cmd::TodaySales);
    EXPECT_EQ(Grid()->Sql(), TodaySalesStatement(QDate::currentDate()));
    EXPECT_EQ(Grid()->GetItemCount(), 1);
}

TEST_P(MainViewTest, GridSortsButNeverEditsAddsOrDeletes) {
    const QDate today = QDate::currentDate();
    Exec(Sale(DateText(today) + QStringLiteral(" 09:00:00"), "甲"));
    Exec(Sale(DateText(today) + QStringLiteral(" 10:00:00"), "乙"));
    Open();
    m_view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_view.get()));
    ASSERT_EQ(Grid()->GetItemCount(), 2);
    EXPECT_TRUE(Grid()->m_bAllowSort);
    EXPECT_FALSE(Grid()->m_bAllowEdit);
    EXPECT_FALSE(Grid()->m_bAllowAdd);
    EXPECT_FALSE(Grid()->m_bAllowDelete);

    // A click on a row opens nothing.
    const QRect cell = Grid()->visualRect(Grid()->model()->index(0, 1));
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(Grid()->EditRow(), -1);
    // No new row, and no row goes.
    Grid()->AddRow();
    EXPECT_EQ(Grid()->GetItemCount(), 2);
    Grid()->DeleteRow(0, true);
    EXPECT_EQ(Grid()->GetItemCount(), 2);
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT COUNT(*) FROM 销")), QStringLiteral("2"));

    // A header click sorts.
    const QStringList before = Column(1);
    QHeaderView* header = Grid()->horizontalHeader();
    const int x = header->sectionViewportPosition(1) + header->sectionSize(1) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    QStringList after = Column(1);
    EXPECT_EQ(after.size(), 2);
    EXPECT_TRUE(Grid()->ColumnTitle(1).contains(QStringLiteral("↓")) ||
                Grid()->ColumnTitle(1).contains(QStringLiteral("↑")))
        << Grid()->ColumnTitle(1).toStdString();
    std::sort(after.begin(), after.end());
    QStringList sortedBefore = before;
    std::sort(sortedBefore.begin(), sortedBefore.end());
    EXPECT_EQ(after, sortedBefore);
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(MainViewTest, GridFollowsTheViewsSize) {
    Open();
    m_view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_view.get()));
    m_view->resize(640, 320);
    EXPECT_EQ(Grid()->geometry(), QRect(0, 0, 640, 320));
}

TEST_P(MainViewTest, PrintSaveWritesTheGridToTheChosenFile) {
    Exec(Sale(DateText(QDate::currentDate()) + QStringLiteral(" 09:00:00"), "甲"));
    Open();
    const QString path = Books().Folder() + QStringLiteral("/日报.htm");
    m_prompts.ChooseFile(path);
    m_view->OnCommand(cmd::PrintSave);
    EXPECT_EQ(m_prompts.Filters().size(), 1);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().toLower().contains("<table"));
}

TEST_P(MainViewTest, FailedStatementIsReportedByTheGridOnly) {
    Open();
    Exec(QStringLiteral("DROP TABLE 存"));
    m_view->OnCommand(cmd::StockList);
    EXPECT_EQ(m_prompts.Messages().size(), 1u);
}

APRICOT_INSTANTIATE_BACKENDS(MainViewTest);

} // namespace
