// The record grid as a widget on both backends: refusals, appearance, sort by header clicks,
// the open row and its write-back on clicks, loads and resizes, new and deleted rows.
#include "CTestBooks.h"
#include "grid_model.h"
#include "q_edit.h"
#include "q_grid.h"
#include "query_rows.h"
#include "recording_prompts.h"
#include "result_loader.h"
#include "ui_driving.h"

#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSettings>
#include <QStringDecoder>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace uitest;

const QString kStock = QStringLiteral("存");
const QString kStockSql = QStringLiteral("select * from 存 ORDER BY 平均成本单价");

// Three stock cards, loaded by kStockSql in this order.
const char* const kCards[] = {
    "('川贝枇杷膏', '香港', '150ml', '2006-12-31', 0.5, 100)",
    "('阿莫西林', '广州', '0.25g*24', '2005-01-01', 2.5, 10)",
    "('板蓝根', '北京', '10g*20', '2004-06-30', 10, 3)",
};

void ClickHeader(q_grid& grid, int column) {
    QHeaderView* header = grid.horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

// Drags the divider at the right edge of `column` by `dx` pixels.
void DragDivider(q_grid& grid, int column, int dx) {
    QHeaderView* header = grid.horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) - 1,
                    header->height() / 2);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, at);
    QMouseEvent move(QEvent::MouseMove, QPointF(at + QPoint(dx, 0)),
                     header->viewport()->mapToGlobal(QPointF(at + QPoint(dx, 0))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(header->viewport(), &move);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, at + QPoint(dx, 0));
}

bool EditorsShown(const q_grid& grid) {
    bool any = false;
    for (int c = 0; c < grid.GetColumnCount(); ++c)
        any = any || grid.Editor(c)->isVisible();
    return any;
}

class GridTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (!m_books)
            return;
        uitest::ResetGridSort();
        m_window.resize(1000, 500);
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
        RecordStatements();
    }

    void AddCards() {
        for (const char* card : kCards)
            Exec(QStringLiteral("INSERT INTO 存 VALUES ") + QString::fromUtf8(card));
        m_sent.clear();
    }
    // A visible, editable grid over the whole window.
    std::unique_ptr<q_grid> MakeGrid(const QString& table, const QString& sql,
                                     const QRect& rect = QRect(0, 0, 1000, 500)) {
        auto grid = std::make_unique<q_grid>();
        grid->SetPermissions(true, true, true, true);
        EXPECT_TRUE(grid->Create(&Db(), table, sql, &m_window, rect, true, true));
        QApplication::processEvents();
        m_sent.clear();
        return grid;
    }
    // The statements that changed rows, in the order they ran.
    // The log's own rows are looked at where they matter.
    static bool IsLogStatement(const QString& sql) {
        return sql.startsWith(QStringLiteral("INSERT INTO 日志")) ||
               sql.startsWith(QStringLiteral("UPDATE 日志"));
    }
    QStringList Writes() const {
        QStringList out;
        for (const QString& sql : m_sent)
            if ((sql.startsWith(QLatin1String("INSERT")) ||
                 sql.startsWith(QLatin1String("UPDATE")) ||
                 sql.startsWith(QLatin1String("DELETE"))) &&
                !IsLogStatement(sql))
                out << sql;
        return out;
    }
    std::vector<QStringList> StockRows() {
        return QueryRows(Db(), QStringLiteral("select * from 存 ORDER BY 平均成本单价, 名称"));
    }

    QWidget m_window;
    CRecordingPrompts m_prompts;
};

// --- refusals and loading ---------------------------------------------------------------------

TEST_P(GridTest, RefusedCreateRunsNothingAndKeepsNoConnection) {
    AddCards();
    q_grid grid;
    EXPECT_FALSE(grid.Create(&Db(), kStock, QStringLiteral("select * from 销"), &m_window,
                             QRect(10, 20, 300, 200), true, false));
    EXPECT_TRUE(m_sent.isEmpty());
    EXPECT_EQ(grid.GetColumnCount(), 0);
    EXPECT_EQ(grid.geometry(), QRect(10, 20, 300, 200));
    EXPECT_TRUE(grid.m_bAllowSort);
    EXPECT_FALSE(grid.m_bAllowEdit || grid.m_bAllowAdd || grid.m_bAllowDelete);
    // No connection was kept, so a statement that would do is refused as well.
    EXPECT_FALSE(grid.SetQuery(kStock, kStockSql));
    EXPECT_TRUE(m_sent.isEmpty());
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(GridTest, RefusedSetQueryKeepsTheRowsShown) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    EXPECT_FALSE(grid->SetQuery(kStock, QStringLiteral("select * from 销")));
    EXPECT_FALSE(grid->SetQuery(kStock, QString()));
    EXPECT_EQ(grid->GetItemCount(), 3);
    EXPECT_EQ(grid->Sql(), kStockSql);
    EXPECT_TRUE(m_sent.isEmpty());
}

TEST_P(GridTest, FailedLoadShowsTheDriversTextAndLeavesTheGridEmpty) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    EXPECT_FALSE(grid->SetQuery(kStock, QStringLiteral("select * from 存 where 无此列 = 1")));
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_FALSE(m_prompts.Messages()[0].text.isEmpty());
    EXPECT_EQ(m_prompts.Messages()[0].buttons, CPrompts::Buttons::Ok);
    EXPECT_EQ(grid->GetColumnCount(), 0);
    EXPECT_EQ(grid->GetItemCount(), 0);
}

TEST_P(GridTest, HiddenRunnerAndGridShowTheSameTexts) {
    const QString insert = QStringLiteral(
        "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, "
        "实收金额, 坏帐) VALUES ('%1', '板蓝根  ', '北京', '10g*20', '2004-06-30', %2, 1, "
        "'整盒销售', 12.5, 0)");
    Exec(insert.arg(QStringLiteral("2003-05-01"), QStringLiteral("0.15")));
    Exec(insert.arg(QStringLiteral("2003-05-01 14:20:05.120"), QStringLiteral("12")));
    const QString sql = QStringLiteral("select * from 销 ORDER BY 日期时间");
    q_grid hidden;
    ASSERT_TRUE(hidden.Create(&Db(), QStringLiteral("销"), sql, &m_window, QRect(0, 0, 1, 1), false,
                              false));
    const auto runner = RunStatement(&Db(), QStringLiteral("销"), sql, nullptr);
    ASSERT_TRUE(runner.has_value());
    ASSERT_EQ(runner->RowCount(), hidden.GetItemCount());
    for (int r = 0; r < hidden.GetItemCount(); ++r)
        for (int c = 0; c < hidden.GetColumnCount(); ++c)
            EXPECT_EQ(runner->CellText(r, c), hidden.GetItemText(r, c)) << r << "," << c;
    EXPECT_EQ(hidden.GetItemText(0, 0), QStringLiteral("2003-05-01 "));
    EXPECT_EQ(hidden.GetItemText(0, 1), QStringLiteral("板蓝根"));
    EXPECT_EQ(hidden.GetItemText(0, 5), QStringLiteral("0.15"));
}

TEST_P(GridTest, AppearanceAndEditors) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql, QRect(5, 6, 700, 300));
    EXPECT_EQ(grid->objectName(), QStringLiteral("42179"));
    EXPECT_EQ(grid->parentWidget(), &m_window);
    EXPECT_EQ(grid->geometry(), QRect(5, 6, 700, 300));
    EXPECT_EQ(grid->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(grid->palette().color(QPalette::Base), QColor(255, 255, 225));
    EXPECT_EQ(grid->palette().color(QPalette::Text), QColor(0, 0, 56));
    // The selection keeps its colour without the focus.
    EXPECT_EQ(grid->palette().color(QPalette::Inactive, QPalette::Highlight),
              grid->palette().color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(grid->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_TRUE(grid->showGrid());
    for (int c = 0; c < grid->GetColumnCount(); ++c)
        EXPECT_EQ(grid->columnWidth(c), 130);
    EXPECT_TRUE(grid->horizontalHeader()->defaultAlignment() & Qt::AlignLeft);

    ASSERT_EQ(grid->findChildren<q_edit*>().size(), 6);
    q_edit* editor = grid->Editor(0);
    EXPECT_EQ(editor->objectName(), QStringLiteral("42180"));
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("GRID EDIT"));
    QLineEdit* edit = editor->findChild<QLineEdit*>(QStringLiteral("42181"));
    ASSERT_EQ(edit, editor->GetEdit());
    EXPECT_TRUE(edit->hasFrame());
    EXPECT_EQ(edit->font().family(), QStringLiteral("SimSun"));
    EXPECT_EQ(edit->font().pixelSize(), 12);
    EXPECT_FALSE(editor->isVisible());

    // The edit fills its editor whatever size the editor takes.
    grid->BeginEdit(1);
    const QRect cell = grid->visualRect(grid->model()->index(1, 2));
    EXPECT_EQ(grid->Editor(2)->geometry(), cell);
    EXPECT_EQ(grid->Editor(2)->GetEdit()->geometry(), QRect(QPoint(0, 0), cell.size()));
    EXPECT_EQ(grid->Editor(2)->Text(), QStringLiteral("0.25g*24"));
    EXPECT_FALSE(edit->hasFocus());

    // A reload makes new editors, one per column of the new result.
    ASSERT_TRUE(grid->SetQuery(QStringLiteral("操作员"), QStringLiteral("SELECT * FROM 操作员")));
    EXPECT_EQ(grid->findChildren<q_edit*>().size(), 3);

    q_grid flat;
    flat.Create(&Db(), kStock, kStockSql, &m_window, QRect(0, 0, 10, 10), false, false);
    EXPECT_EQ(flat.frameShape(), QFrame::NoFrame);
    EXPECT_FALSE(flat.isVisible());
}

// --- sort -------------------------------------------------------------------------------------

TEST_P(GridTest, NumbersSortSmallestFirstThenReverse) {
    AddCards();
    Exec(QStringLiteral("INSERT INTO 存 VALUES ('甘草片', '', '', '2007-01-01', 100, -2)"));
    auto grid = MakeGrid(kStock, QStringLiteral("select * from 存"));
    ClickHeader(*grid, 5);
    EXPECT_EQ(GridColumn(*grid, 5), (QStringList{"-2", "3", "10", "100"}));
    EXPECT_EQ(grid->ColumnTitle(5), QStringLiteral("现有存货量↓"));
    ClickHeader(*grid, 5);
    EXPECT_EQ(GridColumn(*grid, 5), (QStringList{"100", "10", "3", "-2"}));
    EXPECT_EQ(grid->ColumnTitle(5), QStringLiteral("现有存货量↑"));
    // Rows move whole.
    EXPECT_EQ(GridRow(*grid, 0),
              (QStringList{"川贝枇杷膏", "香港", "150ml", "2006-12-31", "0.5", "100"}));
}

TEST_P(GridTest, ALargeResultShowsItsFirstRowsAndIsWholeForEveryCaller) {
    Exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
        "5000) INSERT INTO 存 SELECT '药' || i, '厂', '盒', '2030-01-01', 1.5, i FROM n"));
    auto grid = std::make_unique<q_grid>();
    ASSERT_TRUE(grid->Create(&Db(), kStock, QStringLiteral("select * from 存"), &m_window,
                             QRect(0, 0, 1000, 500), true, true));
    const int shown = grid->model()->rowCount();
    EXPECT_GT(shown, 0);
    EXPECT_LT(shown, 5000);
    // A header click sorts every row, not those read so far.
    ClickHeader(*grid, 5);
    EXPECT_EQ(grid->model()->rowCount(), 5000);
    EXPECT_EQ(grid->GetItemText(0, 5), "1");
    EXPECT_EQ(grid->GetItemText(4999, 5), "5000");
}

// A row that fails once the first rows are shown: the failure, and no part of the rows kept as
// if it were the whole (both read on while the grid shows: SQLite steps, PostgreSQL fetches
// through a cursor).
TEST_P(GridTest, AFailureWhileTheRestIsReadIsShownAndKeepsNoPartOfTheRows) {
    Exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
        "5000) INSERT INTO 存 SELECT '药' || i, '厂', '盒', '2030-01-01', 1.5, i FROM n"));
    auto grid = std::make_unique<q_grid>();
    const bool firstRowsShown =
        grid->Create(&Db(), kStock,
                     QStringLiteral("select * from 存 where abs(CASE WHEN 现有存货量 = 4000 THEN "
                                    "-9223372036854775807 - 1 ELSE 1 END) > 0"),
                     &m_window, QRect(0, 0, 1000, 500), true, true);
    EXPECT_TRUE(firstRowsShown);
    EXPECT_FALSE(grid->ExportHtml());
    // The failure comes up in place of the save dialog.
    EXPECT_TRUE(m_prompts.Filters().isEmpty());
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_FALSE(m_prompts.Messages()[0].text.isEmpty());
    EXPECT_EQ(grid->GetItemCount(), 0);
    EXPECT_EQ(grid->model()->rowCount(), 0);
}

TEST_P(GridTest, TextsSortInGbOrderLargestFirst) {
    AddCards();
    Exec(QStringLiteral("INSERT INTO 存 VALUES ('Zinc', '', '', '2007-01-01', 1, 1)"));
    Exec(QStringLiteral("INSERT INTO 存 VALUES ('apple', '', '', '2007-01-01', 1, 1)"));
    auto grid = MakeGrid(kStock, kStockSql);
    ClickHeader(*grid, 0);
    // 川 (B4A8) > 板 (B0E5) > 阿 (B0A2) in GBK, the reverse of their Unicode order.
    EXPECT_EQ(GridColumn(*grid, 0),
              (QStringList{"川贝枇杷膏", "板蓝根", "阿莫西林", "apple", "Zinc"}));
    EXPECT_EQ(grid->ColumnTitle(0), QStringLiteral("名称↓"));
    ClickHeader(*grid, 0);
    EXPECT_EQ(GridColumn(*grid, 0),
              (QStringList{"Zinc", "apple", "阿莫西林", "板蓝根", "川贝枇杷膏"}));
    EXPECT_EQ(grid->ColumnTitle(0), QStringLiteral("名称↑"));
}

TEST_P(GridTest, TextsThatAreNoNumbersSortAsZero) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    // Cells put in by a report, as texts.
    grid->SetItemText(0, 4, QStringLiteral("abc"));
    grid->SetItemText(1, 4, QStringLiteral("  -3e1元"));
    grid->SetItemText(2, 4, QStringLiteral("12.5kg"));
    grid->InsertItem(-1, QStringLiteral("新"));
    grid->SetItemText(3, 4, QStringLiteral("0.25"));
    ClickHeader(*grid, 4);
    EXPECT_EQ(GridColumn(*grid, 4), (QStringList{"  -3e1元", "abc", "0.25", "12.5kg"}));
}

TEST_P(GridTest, ArrowMovesToTheColumnSortedLast) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    ClickHeader(*grid, 1);
    ClickHeader(*grid, 4);
    EXPECT_EQ(Titles(*grid), (QStringList{"名称", "产地", "规格型号", "有效截止日期",
                                          "平均成本单价↓", "现有存货量"}));
    // Write-back still names the column without its arrow.
    grid->BeginEdit(0);
    grid->CommitEdit();
    ASSERT_EQ(Writes().size(), 1);
    EXPECT_TRUE(Writes()[0].contains(QStringLiteral(",平均成本单价=")));
    EXPECT_FALSE(Writes()[0].contains(QStringLiteral("↓")));
}

TEST_P(GridTest, SortStateIsSharedByEveryGrid) {
    AddCards();
    auto first = MakeGrid(kStock, kStockSql, QRect(0, 0, 1000, 240));
    auto second = MakeGrid(kStock, kStockSql, QRect(0, 250, 1000, 240));
    ClickHeader(*first, 3);
    EXPECT_EQ(GridColumn(*first, 3), (QStringList{"2006-12-31", "2005-01-01", "2004-06-30"}));
    // The same column of another grid counts as a second click: ascending, "↑".
    ClickHeader(*second, 3);
    EXPECT_EQ(GridColumn(*second, 3), (QStringList{"2004-06-30", "2005-01-01", "2006-12-31"}));
    EXPECT_EQ(second->ColumnTitle(3), QStringLiteral("有效截止日期↑"));
    EXPECT_EQ(q_grid::s_nSortColumn, 3);
    EXPECT_FALSE(q_grid::s_bSortFlag);
}

TEST_P(GridTest, HeaderClickWritesBackBeforeSorting) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    ClickRow(*grid, 0);
    Type(*grid, 5, QStringLiteral("1"));
    ClickHeader(*grid, 5);
    EXPECT_EQ(Writes().size(), 1);
    EXPECT_EQ(grid->EditRow(), -1);
    // The sort sees the value written.
    EXPECT_EQ(GridColumn(*grid, 5), (QStringList{"1", "3", "10"}));
    EXPECT_EQ(GridColumn(*grid, 0), (QStringList{"川贝枇杷膏", "板蓝根", "阿莫西林"}));
}

TEST_P(GridTest, HeaderClickWithoutSortPermissionStillWritesBack) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    grid->SetPermissions(false, false, false, true);
    ClickRow(*grid, 0);
    ASSERT_EQ(grid->EditRow(), 0);
    Type(*grid, 5, QStringLiteral("99"));
    ClickHeader(*grid, 0);
    EXPECT_EQ(grid->EditRow(), -1);
    EXPECT_EQ(Writes().size(), 1);
    EXPECT_EQ(GridColumn(*grid, 0), (QStringList{"川贝枇杷膏", "阿莫西林", "板蓝根"}));
    EXPECT_EQ(grid->ColumnTitle(0), QStringLiteral("名称"));
    EXPECT_EQ(grid->GetItemText(0, 5), QStringLiteral("99"));
}

// --- the open row and its write-back ----------------------------------------------------------

TEST_P(GridTest, RowClickWritesTheOpenRowBackAndOpensTheNext) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    ClickRow(*grid, 0);
    ASSERT_EQ(grid->EditRow(), 0);
    EXPECT_FALSE(grid->IsNewRow());
    EXPECT_TRUE(grid->Editor(0)->isVisible());
    EXPECT_EQ(grid->Editor(0)->Text(), QStringLiteral("川贝枇杷膏"));
    EXPECT_TRUE(m_sent.isEmpty());

    Type(*grid, 1, QStringLiteral("香港 O'Neil"));
    Type(*grid, 5, QStringLiteral("12"));
    ClickRow(*grid, 1);
    EXPECT_EQ(Writes(),
              QStringList{QStringLiteral(
                  "UPDATE 存 SET 名称=?,产地=?,规格型号=?,有效截止日期=?,平均成本单价=?,"
                  "现有存货量=? WHERE 名称=? AND 产地=? AND 规格型号=? AND 有效截止日期=? "
                  "AND 平均成本单价=? AND 现有存货量=?")});
    EXPECT_EQ(GridRow(*grid, 0),
              (QStringList{"川贝枇杷膏", "香港 O'Neil", "150ml", "2006-12-31", "0.5", "12"}));
    EXPECT_EQ(StockRows()[0],
              (QStringList{"川贝枇杷膏", "香港 O'Neil", "150ml", "2006-12-31", "0.5", "12"}));
    EXPECT_EQ(grid->EditRow(), 1);
    EXPECT_EQ(grid->Editor(0)->Text(), QStringLiteral("阿莫西林"));
    EXPECT_EQ(grid->Editor(0)->geometry(), grid->visualRect(grid->model()->index(1, 0)));

    // Leaving a row unchanged still runs its update.
    m_sent.clear();
    ClickRow(*grid, 2);
    EXPECT_EQ(Writes().size(), 1);
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(GridTest, ReloadWritesTheOpenRowBackFirst) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    ClickRow(*grid, 1);
    Type(*grid, 5, QStringLiteral("11"));
    ASSERT_TRUE(grid->Reload());
    ASSERT_EQ(Writes().size(), 1);
    EXPECT_TRUE(Writes()[0].startsWith(QStringLiteral("UPDATE 存 SET 名称=?")));
    // The update ran before the SELECT, so the reload shows it.
    EXPECT_EQ(m_sent.last(), kStockSql);
    EXPECT_EQ(grid->GetItemText(1, 5), QStringLiteral("11"));
    EXPECT_EQ(grid->EditRow(), -1);
    EXPECT_FALSE(EditorsShown(*grid));
}

TEST_P(GridTest, DividerDragWritesBackAndResizes) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    ClickRow(*grid, 2);
    Type(*grid, 5, QStringLiteral("4"));
    DragDivider(*grid, 1, 40);
    EXPECT_EQ(Writes().size(), 1);
    EXPECT_EQ(grid->EditRow(), -1);
    EXPECT_EQ(grid->columnWidth(1), 170);
    // A divider is no header click: nothing sorted.
    EXPECT_EQ(grid->ColumnTitle(1), QStringLiteral("产地"));
    EXPECT_EQ(StockRows()[2][5], QStringLiteral("4"));
}

TEST_P(GridTest, WithoutEditingARowClickOpensNothingButWritesANewRow) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    grid->SetPermissions(true, true, false, false);
    ClickRow(*grid, 0);
    EXPECT_EQ(grid->EditRow(), -1);
    EXPECT_FALSE(EditorsShown(*grid));
    EXPECT_TRUE(m_sent.isEmpty());

    grid->AddRow();
    ASSERT_EQ(grid->GetItemCount(), 4);
    EXPECT_EQ(grid->EditRow(), 3);
    EXPECT_TRUE(grid->IsNewRow());
    EXPECT_TRUE(grid->Editor(0)->isVisible());
    const QStringList card{"维生素C", "上海", "0.1g*100", "2008-08-08", "1.25", "50"};
    for (int c = 0; c < card.size(); ++c)
        Type(*grid, c, card[c]);
    ClickRow(*grid, 0);
    EXPECT_EQ(Writes(),
              QStringList{QStringLiteral(
                  "INSERT INTO 存(名称,产地,规格型号,有效截止日期,平均成本单价,现有存货量) "
                  "VALUES(?,?,?,?,?,?)")});
    EXPECT_EQ(grid->EditRow(), -1);
    EXPECT_FALSE(grid->IsNewRow());
    EXPECT_EQ(GridRow(*grid, 3), card);
    EXPECT_EQ(StockRows().size(), 4u);
}

TEST_P(GridTest, CellsAreShownAsStoredAndCanBeChangedAgain) {
    auto grid = MakeGrid(kStock, kStockSql);
    grid->AddRow();
    // An empty or blank number is 0; a text loses its trailing blanks, not its leading ones.
    Type(*grid, 0, QStringLiteral("甘草片 "));
    Type(*grid, 1, QStringLiteral(" 同仁堂\t"));
    Type(*grid, 5, QStringLiteral("  "));
    grid->CommitEdit();
    EXPECT_EQ(Writes(),
              QStringList{QStringLiteral(
                  "INSERT INTO 存(名称,产地,规格型号,有效截止日期,平均成本单价,现有存货量) "
                  "VALUES(?,?,?,?,?,?)")});
    EXPECT_EQ(GridRow(*grid, 0), (QStringList{"甘草片", " 同仁堂", "", "", "0", "0"}));
    EXPECT_EQ(StockRows(), (std::vector<QStringList>{{"甘草片", " 同仁堂", "", "", "0", "0"}}));

    // The row as shown finds its record again.
    ClickRow(*grid, 0);
    Type(*grid, 5, QStringLiteral("3"));
    grid->CommitEdit();
    EXPECT_TRUE(m_prompts.Messages().empty()) << m_prompts.Texts().join('\n').toStdString();
    EXPECT_EQ(StockRows(), (std::vector<QStringList>{{"甘草片", " 同仁堂", "", "", "0", "3"}}));
}

TEST_P(GridTest, CardsInAlertAreDrawnRedOrAmberWhateverTheirOrder) {
    QSettings().remove(QStringLiteral("Alerts")); // 180 days: the default window
    const QDate today = QDate::currentDate();
    const auto date = [&today](int days) { return today.addDays(days).toString("yyyy-MM-dd"); };
    // Average cost orders the rows: expired, expired but sold out, near, far, no date.
    const std::pair<QString, int> cards[] = {
        {date(-1), 3}, {date(-30), 0}, {date(180), 2}, {date(181), 2}, {QStringLiteral("明年"), 2}};
    int cost = 0;
    for (const auto& [expiry, onHand] : cards)
        Exec(QStringLiteral("INSERT INTO 存 VALUES ('药%1', '厂', '盒', '%2', %1, %3)")
                 .arg(++cost)
                 .arg(expiry)
                 .arg(onHand));
    auto grid = MakeGrid(kStock, kStockSql);
    const auto colors = [&grid] {
        QStringList out;
        for (int row = 0; row < grid->GetItemCount(); ++row) {
            const QVariant color = grid->model()->index(row, 0).data(Qt::ForegroundRole);
            out << (color == QColor(CGridModel::ExpiredColor())      ? "red"
                    : color == QColor(CGridModel::NearExpiryColor()) ? "amber"
                                                                     : "-");
        }
        return out;
    };
    EXPECT_EQ(colors(), (QStringList{"red", "-", "amber", "-", "-"}));
    // The colour follows its row through a sort, which puts an arrow into the date's title.
    ClickHeader(*grid, 3);
    EXPECT_EQ(colors(), (QStringList{"-", "-", "amber", "red", "-"}));
}

TEST_P(GridTest, FailedInsertRemovesTheNewRow) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    grid->AddRow();
    // The key of a card that exists.
    const QStringList card{"板蓝根", "北京", "10g*20", "2004-06-30", "1", "1"};
    for (int c = 0; c < card.size(); ++c)
        Type(*grid, c, card[c]);
    grid->CommitEdit();
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_FALSE(m_prompts.Messages()[0].text.isEmpty());
    EXPECT_EQ(m_prompts.Messages()[0].buttons, CPrompts::Buttons::Ok);
    EXPECT_EQ(grid->GetItemCount(), 3);
    EXPECT_EQ(grid->EditRow(), -1);
    EXPECT_FALSE(grid->IsNewRow());
    EXPECT_FALSE(EditorsShown(*grid));
    EXPECT_EQ(StockRows().size(), 3u);
    // A new row may be added again.
    grid->AddRow();
    EXPECT_EQ(grid->GetItemCount(), 4);
}

TEST_P(GridTest, FailedUpdateKeepsTheOldTexts) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    const auto before = StockRows();
    ClickRow(*grid, 1);
    // Makes the card the same as 板蓝根's: the key refuses it.
    const QStringList clash{"板蓝根", "北京", "10g*20", "2004-06-30", "7", "7"};
    for (int c = 0; c < clash.size(); ++c)
        Type(*grid, c, clash[c]);
    ClickRow(*grid, 0);
    EXPECT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(GridRow(*grid, 1),
              (QStringList{"阿莫西林", "广州", "0.25g*24", "2005-01-01", "2.5", "10"}));
    EXPECT_EQ(StockRows(), before);
    EXPECT_EQ(grid->EditRow(), 0); // the click still opens the row clicked
}

TEST_P(GridTest, NumberCellThatIsNoNumberIsRefused) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    ClickRow(*grid, 0);
    Type(*grid, 5, QStringLiteral("1 OR 1=1"));
    grid->CommitEdit();
    EXPECT_TRUE(Writes().isEmpty());
    EXPECT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(grid->GetItemText(0, 5), QStringLiteral("100"));
}

TEST_P(GridTest, AddRowTwiceOpensOneRow) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    grid->AddRow();
    grid->AddRow();
    EXPECT_EQ(grid->GetItemCount(), 4);
    EXPECT_TRUE(m_sent.isEmpty());
    // Without the permission nothing is added.
    grid->CommitEdit();
    ASSERT_EQ(grid->GetItemCount(), 4); // the empty row was inserted
    grid->SetPermissions(true, false, true, true);
    grid->AddRow();
    EXPECT_EQ(grid->GetItemCount(), 4);
    EXPECT_EQ(grid->EditRow(), -1);
}

TEST_P(GridTest, AddRowWritesBackAnOpenUpdateFirst) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    ClickRow(*grid, 2);
    Type(*grid, 5, QStringLiteral("30"));
    grid->AddRow();
    ASSERT_EQ(Writes().size(), 1);
    EXPECT_TRUE(Writes()[0].startsWith(QStringLiteral("UPDATE")));
    EXPECT_EQ(grid->EditRow(), 3);
    EXPECT_TRUE(grid->IsNewRow());
    EXPECT_EQ(grid->Editor(0)->Text(), QString());
}

TEST_P(GridTest, DeleteWithCommitFirstDeletesTheRowAsUpdated) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    ClickRow(*grid, 1);
    Type(*grid, 5, QStringLiteral("7"));
    grid->DeleteRow(1, true);
    ASSERT_EQ(Writes().size(), 2);
    EXPECT_TRUE(Writes()[0].startsWith(QStringLiteral("UPDATE")));
    EXPECT_EQ(Writes()[1],
              QStringLiteral("DELETE FROM 存 WHERE 名称=? AND 产地=? AND 规格型号=? AND "
                             "有效截止日期=? AND 平均成本单价=? AND 现有存货量=?"));
    EXPECT_EQ(GridColumn(*grid, 0), (QStringList{"川贝枇杷膏", "板蓝根"}));
    EXPECT_EQ(StockRows().size(), 2u);
    EXPECT_EQ(grid->EditRow(), -1);
}

TEST_P(GridTest, DeletingAnotherRowKeepsTheOpenRowOnItsCells) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    ClickRow(*grid, 2);
    Type(*grid, 5, QStringLiteral("8"));
    grid->DeleteRow(0, false);
    ASSERT_EQ(Writes().size(), 1);
    EXPECT_EQ(grid->EditRow(), 1);
    EXPECT_EQ(grid->Editor(0)->geometry(), grid->visualRect(grid->model()->index(1, 0)));
    grid->CommitEdit();
    EXPECT_EQ(GridRow(*grid, 1),
              (QStringList{"板蓝根", "北京", "10g*20", "2004-06-30", "10", "8"}));
    EXPECT_EQ(StockRows(),
              (std::vector<QStringList>{{"阿莫西林", "广州", "0.25g*24", "2005-01-01", "2.5", "10"},
                                        {"板蓝根", "北京", "10g*20", "2004-06-30", "10", "8"}}));

    // Deleting the open row itself without writing it closes the edit.
    ClickRow(*grid, 0);
    grid->DeleteRow(0, false);
    EXPECT_EQ(grid->EditRow(), -1);
    EXPECT_FALSE(EditorsShown(*grid));
    EXPECT_EQ(grid->GetItemCount(), 1);
}

TEST_P(GridTest, MidnightStampIsMatchedAsDateAndBlank) {
    Exec(QStringLiteral(
        "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, "
        "实收金额, 坏帐) VALUES ('2003-05-01', '板蓝根', '北京', '10g*20', "
        "'2004-06-30', 12.5, 1, '整盒销售', 12.5, 0)"));
    auto grid = MakeGrid(QStringLiteral("销"), QStringLiteral("select * from 销"));
    ClickRow(*grid, 0);
    EXPECT_EQ(grid->Editor(0)->Text(), QStringLiteral("2003-05-01 "));
    Type(*grid, 6, QStringLiteral("2"));
    grid->CommitEdit();
    ASSERT_EQ(Writes().size(), 1);
    EXPECT_TRUE(Writes()[0].contains(QStringLiteral(" WHERE 日期时间=? AND ")));
    EXPECT_TRUE(m_prompts.Messages().empty());
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT 数量 FROM 销")), QStringLiteral("2"));
}

TEST_P(GridTest, WithoutAConnectionNothingIsWritten) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    ClickRow(*grid, 0);
    grid->AddRow(); // writes row 0 back, then opens the new row
    ASSERT_TRUE(grid->IsNewRow());
    Db().Close();
    grid->CommitEdit();
    EXPECT_EQ(grid->GetItemCount(), 3); // the new row goes
    EXPECT_FALSE(grid->ExecuteStatement(QStringLiteral("DELETE FROM 存")));
    grid->DeleteRow(0, true);
    EXPECT_EQ(grid->GetItemCount(), 3);
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(GridTest, ClickBelowTheRowsClosesTheOpenRow) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    ClickRow(*grid, 1);
    ASSERT_EQ(grid->EditRow(), 1);
    const QRect last = grid->visualRect(grid->model()->index(2, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(10, last.bottom() + 40));
    EXPECT_EQ(Writes().size(), 1);
    EXPECT_EQ(grid->EditRow(), -1);
    EXPECT_EQ(grid->GetSelectedRow(), -1);
}

TEST_P(GridTest, ExportWritesTheTitlesWithoutArrowsAndTheRowsAsShown) {
    AddCards();
    auto grid = MakeGrid(kStock, kStockSql);
    ClickHeader(*grid, 0);
    // What is typed in an open row is not exported.
    ClickRow(*grid, 0);
    Type(*grid, 0, QStringLiteral("未保存"));
    const QString chosen = Books().Folder() + QStringLiteral("/report.htm");
    m_prompts.ChooseFile(chosen);
    ASSERT_TRUE(grid->ExportHtml());
    QFile file(chosen);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringDecoder gb("GB18030");
    ASSERT_TRUE(gb.isValid());
    const QString html = gb.decode(file.readAll());
    EXPECT_TRUE(html.contains(QStringLiteral("<td bgcolor=\"#C0C0C0\">名称</td>\r\n")));
    EXPECT_FALSE(html.contains(QStringLiteral("↓")));
    const qsizetype first = html.indexOf(QStringLiteral("<td>川贝枇杷膏</td>"));
    const qsizetype second = html.indexOf(QStringLiteral("<td>板蓝根</td>"));
    const qsizetype third = html.indexOf(QStringLiteral("<td>阿莫西林</td>"));
    EXPECT_TRUE(first >= 0 && first < second && second < third);
    EXPECT_FALSE(html.contains(QStringLiteral("未保存")));
    EXPECT_EQ(m_prompts.Filters(), QStringList{QStringLiteral("HTM Files (*.HTM)")});
}

// --- editors and scrolling --------------------------------------------------------------------

TEST_P(GridTest, EditorsFollowTheirCellsAndHideOutOfView) {
    for (int i = 0; i < 60; ++i)
        Exec(QStringLiteral("INSERT INTO 存 VALUES ('药%1', '产地', '规格', '2009-01-01', %1, 1)")
                 .arg(i));
    auto grid = MakeGrid(kStock, kStockSql, QRect(0, 0, 400, 200));
    ClickRow(*grid, 0);
    ASSERT_EQ(grid->EditRow(), 0);
    const auto cellOf = [&](int column) {
        return grid->visualRect(grid->model()->index(0, column));
    };
    EXPECT_TRUE(grid->Editor(0)->isVisible());
    EXPECT_FALSE(grid->Editor(5)->isVisible()); // right of the view

    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    EXPECT_TRUE(grid->Editor(5)->isVisible());
    EXPECT_EQ(grid->Editor(5)->geometry(), cellOf(5));
    EXPECT_FALSE(grid->Editor(0)->isVisible());

    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    EXPECT_FALSE(EditorsShown(*grid));
    grid->scrollToTop();
    grid->horizontalScrollBar()->setValue(0);
    EXPECT_TRUE(grid->Editor(0)->isVisible());
    EXPECT_EQ(grid->Editor(0)->geometry(), cellOf(0));
    // The texts typed survive the scrolling.
    Type(*grid, 0, QStringLiteral("改过"));
    grid->verticalScrollBar()->setValue(10);
    grid->verticalScrollBar()->setValue(0);
    EXPECT_EQ(grid->Editor(0)->Text(), QStringLiteral("改过"));
}

APRICOT_INSTANTIATE_BACKENDS(GridTest);

} // namespace
