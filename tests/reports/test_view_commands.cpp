// The main view routes the twelve query, report and statistics commands to them: each dialog
// opens modally over the main window, closing it changes nothing, and its button runs the query.
#include "CApricotView.h"
#include "CTestBooks.h"
#include "command_ids.h"
#include "q_grid.h"
#include "recording_launcher.h"
#include "recording_prompts.h"
#include "report_statements.h"

#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QMainWindow>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class ViewCommandsTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (!m_books)
            return;
        Exec(QStringLiteral("INSERT INTO 存 VALUES ('阿莫西林', '广州', '0.25g*24', '2005-01-01', "
                            "2.5, 10)"));
        m_view = std::make_unique<CApricotView>(&Db(), m_launcher);
        m_view->resize(900, 500);
        m_view->OnInitialUpdate();
    }

    // Runs command `id`, pressing `key` in the dialog it opens. The title of the dialog, or
    // empty when none opened. A dialog left open is closed after five seconds as a failure.
    QString RunPressing(int id, Qt::Key key) {
        QString title;
        QTimer::singleShot(0, [&title, key] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            title = modal->windowTitle();
            QWidget* focus = modal->focusWidget() ? modal->focusWidget() : modal;
            QTest::keyClick(focus, key);
        });
        QTimer::singleShot(5000, [] {
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "a dialog stayed open";
                modal->done(-1);
            }
        });
        EXPECT_TRUE(m_view->OnCommand(id));
        return title;
    }

    CRecordingPrompts m_prompts;
    CRecordingLauncher m_launcher;
    std::unique_ptr<CApricotView> m_view;
};

TEST_P(ViewCommandsTest, ClosingEachConditionDialogLeavesTheGridAsItWas) {
    const QString before = m_view->Grid()->Sql();
    const std::pair<int, const char*> commands[] = {
        {cmd::PurchaseQuery, "采购查询"},
        {cmd::SalesQuery, "销售查询"},
        {cmd::StockQuery, "采购库存"},
        {cmd::DaySalesReport, "日销售报表－汇总条件"},
        {cmd::MonthSalesReport, "报表－汇总条件"},
        {cmd::YearSalesReport, "报表－汇总条件"},
        {cmd::MonthPurchaseReport, "报表－汇总条件"},
        {cmd::YearPurchaseReport, "报表－汇总条件"},
    };
    for (const auto& [id, title] : commands) {
        EXPECT_EQ(RunPressing(id, Qt::Key_Escape), QString::fromUtf8(title)) << id;
        EXPECT_EQ(m_view->Grid()->Sql(), before) << id;
    }
}

TEST_P(ViewCommandsTest, TheDefaultButtonRunsTheQueryInTheViewsGrid) {
    EXPECT_EQ(RunPressing(cmd::StockQuery, Qt::Key_Return), QStringLiteral("采购库存"));
    EXPECT_EQ(m_view->Grid()->Sql(), reportsql::StockQuery({}).sql);
    EXPECT_EQ(m_view->Grid()->GetItemCount(), 1);

    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    RunPressing(cmd::DaySalesReport, Qt::Key_Return);
    if (QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) == today) {
        EXPECT_EQ(m_view->Grid()->Sql(), reportsql::SalesDetail(today, today));
    }
    EXPECT_EQ(m_view->Grid()->Table(), QStringLiteral("销"));
}

TEST_P(ViewCommandsTest, StatisticsRunWithoutADialog) {
    const std::pair<int, QString> commands[] = {
        {cmd::ExpiryCheck, reportsql::ExpiryCheck()},
        {cmd::ShortageCheck, reportsql::ShortageCheck(reportsql::OnPostgreSQL(&Db()))},
        {cmd::AverageCost, reportsql::AverageCost(reportsql::OnPostgreSQL(&Db()))},
        {cmd::TotalStockCost, reportsql::TotalStockCost()},
    };
    for (const auto& [id, sql] : commands) {
        EXPECT_EQ(RunPressing(id, Qt::Key_Escape), QString()) << id;
        EXPECT_EQ(m_view->Grid()->Sql(), sql) << id;
        EXPECT_EQ(m_view->Grid()->Table(), QStringLiteral("存"));
        EXPECT_EQ(m_view->Grid()->GetItemCount(), 1) << id;
    }
    EXPECT_TRUE(m_prompts.Messages().empty());
}

// The grid keeps boxes; the status line reads the current card as boxes and pieces where the
// catalogue knows them, as boxes where it does not.
TEST_P(ViewCommandsTest, StatusLineReadsTheCurrentCardInBoxesAndPieces) {
    Exec(QStringLiteral("INSERT INTO 存 VALUES ('维生素C', '广州', '0.1g*100', '2005-01-01', 1, "
                        "2.5)"));
    Exec(QStringLiteral("UPDATE 存 SET 现有存货量=10.25 WHERE 名称='阿莫西林'"));
    Exec(QStringLiteral("INSERT INTO 药品 (名称,产地,规格型号,每盒总量,拆零单位) VALUES "
                        "('阿莫西林','广州','0.25g*24',24,'粒')"));
    QMainWindow frame;
    m_view->setParent(&frame);
    frame.setCentralWidget(m_view.get());
    ASSERT_TRUE(m_view->OnCommand(cmd::StockList));
    q_grid& grid = *m_view->Grid();
    ASSERT_EQ(grid.GetItemCount(), 2);
    const int name = grid.Titles().indexOf(QStringLiteral("名称"));
    for (int row = 0; row < 2; ++row) {
        grid.setCurrentIndex(grid.model()->index(row, 0));
        const QString expected =
            grid.GetItemText(row, name) == QStringLiteral("阿莫西林")
                ? QStringLiteral("阿莫西林 广州 0.25g*24：现有存货量 10 盒 6 粒")
                : QStringLiteral("维生素C 广州 0.1g*100：现有存货量 2.5 盒");
        EXPECT_EQ(frame.statusBar()->currentMessage(), expected);
    }
    frame.takeCentralWidget();
    m_view->setParent(nullptr);
}

APRICOT_INSTANTIATE_BACKENDS(ViewCommandsTest);

} // namespace
