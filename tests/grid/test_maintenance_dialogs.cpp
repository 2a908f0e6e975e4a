// The three record maintenance dialogs on both backends: layout and look, the six buttons with
// their edge cases, the keyboard, and what a failed load leaves switched off.
#include "CTestBooks.h"
#include "maintenance_dialog.h"
#include "q_edit.h"
#include "q_grid.h"
#include "query_rows.h"
#include "recording_prompts.h"
#include "ui_driving.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace uitest;

using DialogFactory = std::function<std::unique_ptr<CRecordMaintDlg>(CDatabase*)>;

struct DialogKind {
    const char* name;
    DialogFactory make;
    int resource;
    QString title;
    QString table;
};

std::vector<DialogKind> AllKinds() {
    return {
        {"purchase", [](CDatabase* db) { return std::make_unique<CPurchaseMaintDlg>(db); }, 157,
         QStringLiteral("维护采购记录"), QStringLiteral("进")},
        {"stock", [](CDatabase* db) { return std::make_unique<CStockMaintDlg>(db); }, 164,
         QStringLiteral("维护库存记录"), QStringLiteral("存")},
        {"sales", [](CDatabase* db) { return std::make_unique<CSalesMaintDlg>(db); }, 166,
         QStringLiteral("维护销售记录"), QStringLiteral("销")},
    };
}

const QString kPurchase = QStringLiteral(
    "INSERT INTO 进 (采购日期, 采购人, 大类, 小类, 编号, 名称, 产地, 规格型号, 批号, 有效截止日期, "
    "进价, 数量) VALUES ('2003-05-01 09:30:00', '张三', '西药', '抗生素', 'X001', '%1', "
    "'广州', '0.25g*24', 'B01', '2005-01-01', 2.5, %2)");
const QString kCard =
    QStringLiteral("INSERT INTO 存 VALUES ('阿莫西林', '广州', '0.25g*24', '2005-01-01', 2.5, 10)");
const QString kSale = QStringLiteral(
    "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, "
    "实收金额, 坏帐) VALUES ('2003-05-01 10:00:00', '阿莫西林', '广州', '0.25g*24', "
    "'2005-01-01', 3.5, 2, '整盒销售', 7, 0)");

const QColor kLoadedBackground(255, 242, 255);
const QColor kGridBackground(255, 255, 225);
const QColor kGridText(0, 0, 56);

class MaintDialogTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (!m_books)
            return;
        uitest::ResetGridSort();
        RecordStatements();
    }

    // The dialog as exec would show it, without waiting for it.
    std::unique_ptr<CRecordMaintDlg> Open(const DialogFactory& make) {
        auto dialog = make(&Db());
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        m_sent.clear();
        return dialog;
    }
    std::unique_ptr<CRecordMaintDlg> OpenPurchases() {
        return Open([](CDatabase* db) { return std::make_unique<CPurchaseMaintDlg>(db); });
    }
    std::unique_ptr<CRecordMaintDlg> OpenStock() {
        return Open([](CDatabase* db) { return std::make_unique<CStockMaintDlg>(db); });
    }
    std::unique_ptr<CRecordMaintDlg> OpenSales() {
        return Open([](CDatabase* db) { return std::make_unique<CSalesMaintDlg>(db); });
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
    QStringList PurchaseNames() {
        QStringList out;
        for (const QStringList& row : QueryRows(Db(), QStringLiteral("SELECT 名称, 数量 FROM 进 "
                                                                     "ORDER BY 名称, 数量")))
            out << row[0] + QLatin1Char('/') + row[1];
        return out;
    }

    CRecordingPrompts m_prompts;
};

// --- layout and look --------------------------------------------------------------------------

TEST_P(MaintDialogTest, LayoutIsTheSameInAllThree) {
    Exec(kPurchase.arg(QStringLiteral("阿莫西林"), QStringLiteral("10")));
    Exec(kCard);
    Exec(kSale);
    for (const DialogKind& kind : AllKinds()) {
        SCOPED_TRACE(kind.name);
        auto dialog = Open(kind.make);
        EXPECT_EQ(dialog->objectName(), QString::number(kind.resource));
        EXPECT_EQ(dialog->windowTitle(), kind.title);
        EXPECT_EQ(dialog->Book().statement, QStringLiteral("select * from ") + kind.table);

        // The grid lies exactly over the placeholder, which stays underneath.
        auto* placeholder = dialog->findChild<QLabel*>(QStringLiteral("1044"));
        ASSERT_NE(placeholder, nullptr);
        EXPECT_EQ(placeholder->text(), QStringLiteral("Static"));
        q_grid* grid = dialog->Grid();
        EXPECT_EQ(grid->parentWidget(), dialog.get());
        EXPECT_EQ(grid->geometry(), placeholder->geometry());
        EXPECT_EQ(grid->frameShadow(), QFrame::Sunken);
        EXPECT_TRUE(grid->isVisible());
        EXPECT_EQ(placeholder->geometry().width(), dialog->width());
        // The banner above it, the buttons below it.
        auto* banner = dialog->findChild<QLabel*>(QStringLiteral("186"));
        ASSERT_NE(banner, nullptr);
        EXPECT_FALSE(banner->pixmap().isNull());
        EXPECT_EQ(banner->geometry().bottom() + 1, placeholder->geometry().top());

        // The six buttons in their order, one size, none of them a default button.
        const std::vector<std::pair<int, QString>> expected = {
            {3, "更新"}, {5, "保存"}, {7, "添加"}, {4, "删除"}, {8, "另存为文本"}, {2, "关闭"}};
        int lastX = -1;
        for (const auto& [id, text] : expected) {
            QPushButton* button = Button(*dialog, id);
            ASSERT_NE(button, nullptr) << id;
            EXPECT_EQ(button->text(), text);
            EXPECT_GT(button->x(), lastX) << id;
            EXPECT_GT(button->y(), placeholder->geometry().bottom());
            EXPECT_EQ(button->size(), Button(*dialog, 3)->size());
            EXPECT_FALSE(button->isDefault()) << id;
            EXPECT_FALSE(button->autoDefault()) << id;
            lastX = button->x();
        }
        // The separator between the grid and the buttons.
        bool separator = false;
        for (QFrame* frame : dialog->findChildren<QFrame*>())
            separator = separator || (frame->frameShape() == QFrame::HLine &&
                                      frame->y() > placeholder->geometry().bottom() &&
                                      frame->y() < Button(*dialog, 3)->y());
        EXPECT_TRUE(separator);

        // Every row and column of the table, editable, in the maintenance colours.
        EXPECT_EQ(grid->GetItemCount(), 1);
        EXPECT_EQ(grid->Table(), kind.table);
        EXPECT_EQ(grid->palette().color(QPalette::Base), kLoadedBackground);
        EXPECT_EQ(grid->palette().color(QPalette::Text), kGridText);
        EXPECT_TRUE(grid->m_bAllowSort && grid->m_bAllowAdd && grid->m_bAllowDelete &&
                    grid->m_bAllowEdit);
        EXPECT_TRUE(m_prompts.Messages().empty());
    }
    EXPECT_EQ(AllKinds()[0].make(&Db())->Grid()->GetColumnCount(), 14);
    EXPECT_EQ(AllKinds()[1].make(&Db())->Grid()->GetColumnCount(), 6);
    EXPECT_EQ(AllKinds()[2].make(&Db())->Grid()->GetColumnCount(), 15);
}

TEST_P(MaintDialogTest, ClosedConnectionLeavesTheGridReadOnlyInItsOwnColours) {
    Exec(kCard);
    Db().Close();
    for (const DialogKind& kind : AllKinds()) {
        SCOPED_TRACE(kind.name);
        auto dialog = Open(kind.make);
        q_grid* grid = dialog->Grid();
        EXPECT_EQ(grid->palette().color(QPalette::Base), kGridBackground);
        EXPECT_TRUE(grid->m_bAllowSort);
        EXPECT_FALSE(grid->m_bAllowAdd || grid->m_bAllowDelete || grid->m_bAllowEdit);
        Press(*dialog, CRecordMaintDlg::IdAdd);
        EXPECT_EQ(grid->GetItemCount(), 0);
        EXPECT_EQ(grid->EditRow(), -1);
        Press(*dialog, CRecordMaintDlg::IdReload);
        Press(*dialog, CRecordMaintDlg::IdSave);
        EXPECT_TRUE(m_sent.isEmpty());
    }
    // The dialogs themselves say nothing.
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(MaintDialogTest, FailedStatementIsReportedAndEditingStaysOff) {
    Exec(kCard);
    Books().DropTables();
    auto dialog = OpenStock();
    // The driver's own text, once, from the grid.
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_FALSE(m_prompts.Messages()[0].text.isEmpty());
    EXPECT_EQ(m_prompts.Messages()[0].buttons, CPrompts::Buttons::Ok);
    q_grid* grid = dialog->Grid();
    EXPECT_EQ(grid->palette().color(QPalette::Base), kGridBackground);
    EXPECT_FALSE(grid->m_bAllowAdd || grid->m_bAllowDelete || grid->m_bAllowEdit);
}

// --- the buttons ------------------------------------------------------------------------------

TEST_P(MaintDialogTest, DeleteWithoutSelectionDoesNothingAndSaysNothing) {
    Exec(kPurchase.arg(QStringLiteral("阿莫西林"), QStringLiteral("10")));
    Exec(kPurchase.arg(QStringLiteral("板蓝根"), QStringLiteral("3")));
    auto dialog = OpenPurchases();
    ASSERT_EQ(dialog->Grid()->GetSelectedRow(), -1);
    Press(*dialog, CRecordMaintDlg::IdDelete);
    EXPECT_TRUE(m_sent.isEmpty());
    EXPECT_TRUE(m_prompts.Messages().empty());
    EXPECT_EQ(dialog->Grid()->GetItemCount(), 2);
    EXPECT_EQ(PurchaseNames(), (QStringList{"板蓝根/3", "阿莫西林/10"}));
}

TEST_P(MaintDialogTest, DeleteRemovesTheSelectedRowWithoutAsking) {
    Exec(kPurchase.arg(QStringLiteral("阿莫西林"), QStringLiteral("10")));
    Exec(kPurchase.arg(QStringLiteral("板蓝根"), QStringLiteral("3")));
    auto dialog = OpenPurchases();
    q_grid* grid = dialog->Grid();
    const int row = GridColumn(*grid, 5).indexOf(QStringLiteral("板蓝根"));
    ASSERT_GE(row, 0);
    grid->selectRow(row);
    Press(*dialog, CRecordMaintDlg::IdDelete);
    EXPECT_TRUE(m_prompts.Messages().empty());
    EXPECT_EQ(GridColumn(*grid, 5), QStringList{QStringLiteral("阿莫西林")});
    EXPECT_EQ(PurchaseNames(), QStringList{QStringLiteral("阿莫西林/10")});
}

TEST_P(MaintDialogTest, IdenticalPurchasesLoseOnlyTheOneDeleted) {
    Exec(kPurchase.arg(QStringLiteral("阿莫西林"), QStringLiteral("10")));
    Exec(kPurchase.arg(QStringLiteral("阿莫西林"), QStringLiteral("10")));
    Exec(kPurchase.arg(QStringLiteral("阿莫西林"), QStringLiteral("10")));
    Exec(kPurchase.arg(QStringLiteral("板蓝根"), QStringLiteral("3")));
    auto dialog = OpenPurchases();
    q_grid* grid = dialog->Grid();
    grid->selectRow(GridColumn(*grid, 5).indexOf(QStringLiteral("阿莫西林")));
    Press(*dialog, CRecordMaintDlg::IdDelete);
    EXPECT_TRUE(m_prompts.Messages().empty());
    // The grid lost one row, and so did the table: the other copies are still there.
    EXPECT_EQ(grid->GetItemCount(), 3);
    EXPECT_EQ(PurchaseNames(), (QStringList{"板蓝根/3", "阿莫西林/10", "阿莫西林/10"}));
    // The same after a reload, so the grid and the table agree.
    Press(*dialog, CRecordMaintDlg::IdReload);
    EXPECT_EQ(grid->GetItemCount(), 3);
}

TEST_P(MaintDialogTest, EditThenDeleteTheSameRowDeletesTheRowAsWritten) {
    Exec(kPurchase.arg(QStringLiteral("阿莫西林"), QStringLiteral("10")));
    Exec(kPurchase.arg(QStringLiteral("板蓝根"), QStringLiteral("3")));
    auto dialog = Open([](CDatabase* db) {
        return std::make_unique<CPurchaseMaintDlg>(db, nullptr, QStringLiteral("王五"));
    });
    q_grid* grid = dialog->Grid();
    const int row = GridColumn(*grid, 5).indexOf(QStringLiteral("阿莫西林"));
    ClickRow(*grid, row);
    ASSERT_EQ(grid->EditRow(), row);
    Type(*grid, 11, QStringLiteral("12"));
    Press(*dialog, CRecordMaintDlg::IdDelete);
    const QStringList writes = Writes();
    ASSERT_EQ(writes.size(), 2) << writes.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(writes[0].startsWith(QStringLiteral("UPDATE 进 SET ")));
    EXPECT_TRUE(writes[1].startsWith(QStringLiteral("DELETE FROM 进 WHERE ")));
    EXPECT_TRUE(writes[1].endsWith(QStringLiteral("数量=? AND 录入员=? AND 单号=?")));
    EXPECT_TRUE(m_prompts.Messages().empty());
    EXPECT_EQ(grid->EditRow(), -1);
    EXPECT_EQ(PurchaseNames(), QStringList{QStringLiteral("板蓝根/3")});
    // Each under the operator who opened the dialog.
    EXPECT_EQ(QueryRows(Db(), QStringLiteral("SELECT 操作员, 动作, 对象 FROM 日志 ORDER BY 序号")),
              (std::vector<QStringList>{{"王五", "修改", "进"}, {"王五", "删除", "进"}}));
}

TEST_P(MaintDialogTest, AddTwiceAddsOneRowAndSaveInsertsIt) {
    Exec(kCard);
    auto dialog = OpenStock();
    q_grid* grid = dialog->Grid();
    Press(*dialog, CRecordMaintDlg::IdAdd);
    Press(*dialog, CRecordMaintDlg::IdAdd);
    ASSERT_EQ(grid->GetItemCount(), 2);
    EXPECT_TRUE(grid->IsNewRow());
    EXPECT_EQ(grid->EditRow(), 1);
    EXPECT_TRUE(Writes().isEmpty());
    const QStringList card = {"板蓝根", "北京", "10g*20", "2004-06-30", "10", "3"};
    for (int c = 0; c < card.size(); ++c)
        Type(*grid, c, card[c]);
    Press(*dialog, CRecordMaintDlg::IdSave);
    ASSERT_EQ(Writes().size(), 1);
    EXPECT_TRUE(Writes()[0].startsWith(QStringLiteral("INSERT INTO 存(")));
    EXPECT_EQ(grid->EditRow(), -1);
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT COUNT(*) FROM 存")), QStringLiteral("2"));
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT 现有存货量 FROM 存 WHERE 名称='板蓝根'")),
              QStringLiteral("3"));
    // Save with nothing open writes nothing.
    m_sent.clear();
    Press(*dialog, CRecordMaintDlg::IdSave);
    EXPECT_TRUE(Writes().isEmpty());
}

TEST_P(MaintDialogTest, ReloadAfterTypingWritesTheRowBackFirst) {
    Exec(kCard);
    Exec(kPurchase.arg(QStringLiteral("阿莫西林"), QStringLiteral("10")));
    auto dialog = OpenStock();
    q_grid* grid = dialog->Grid();
    ClickRow(*grid, 0);
    Type(*grid, 5, QStringLiteral("7.5"));
    Press(*dialog, CRecordMaintDlg::IdReload);
    ASSERT_EQ(Writes().size(), 1);
    EXPECT_TRUE(Writes()[0].startsWith(QStringLiteral("UPDATE 存 SET ")));
    // Loaded again, with what was typed.
    EXPECT_EQ(m_sent.last(), QStringLiteral("select * from 存"));
    EXPECT_EQ(grid->GetItemText(0, 5), QStringLiteral("7.5"));
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT 现有存货量 FROM 存")), QStringLiteral("7.5"));
    // A stock card changed; the purchase it came from did not.
    EXPECT_EQ(PurchaseNames(), QStringList{QStringLiteral("阿莫西林/10")});
}

TEST_P(MaintDialogTest, DeletedSaleGivesNothingBackToItsCard) {
    Exec(kCard);
    Exec(kSale);
    auto dialog = OpenSales();
    q_grid* grid = dialog->Grid();
    grid->selectRow(0);
    Press(*dialog, CRecordMaintDlg::IdDelete);
    EXPECT_EQ(grid->GetItemCount(), 0);
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT COUNT(*) FROM 销")), QStringLiteral("0"));
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT 现有存货量 FROM 存")), QStringLiteral("10"));
    for (const QString& sql : Writes())
        EXPECT_FALSE(sql.contains(QStringLiteral("存"))) << sql.toStdString();
}

TEST_P(MaintDialogTest, SaveAsTextWritesTheHtmlTable) {
    Exec(kSale);
    auto dialog = OpenSales();
    const QString chosen = Books().Folder() + QStringLiteral("/report");
    m_prompts.ChooseFile(chosen);
    Press(*dialog, CRecordMaintDlg::IdExport);
    ASSERT_EQ(m_prompts.Filters().size(), 1);
    QFile file(chosen + QStringLiteral(".htm"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("<head>\r\n"));
    EXPECT_TRUE(bytes.contains("<td>7</td>"));
    EXPECT_TRUE(bytes.endsWith("</html>\r\n"));
    // Cancelled: nothing written, nothing said.
    Press(*dialog, CRecordMaintDlg::IdExport);
    EXPECT_TRUE(m_prompts.Messages().empty());
}

// --- keyboard and closing ---------------------------------------------------------------------

TEST_P(MaintDialogTest, EnterEndsNoDialogAndKeepsTheOpenRow) {
    Exec(kPurchase.arg(QStringLiteral("阿莫西林"), QStringLiteral("10")));
    Exec(kCard);
    Exec(kSale);
    for (const DialogKind& kind : AllKinds()) {
        SCOPED_TRACE(kind.name);
        auto dialog = Open(kind.make);
        q_grid* grid = dialog->Grid();
        ClickRow(*grid, 0);
        ASSERT_EQ(grid->EditRow(), 0);
        QLineEdit* edit = grid->Editor(0)->GetEdit();
        edit->setText(QStringLiteral("改过的"));
        // In the editor, on a button that has the focus, and on the dialog itself.
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
        Button(*dialog, CRecordMaintDlg::IdClose)->setFocus();
        QTest::keyClick(Button(*dialog, CRecordMaintDlg::IdClose), Qt::Key_Return);
        QTest::keyClick(dialog.get(), Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(grid->EditRow(), 0);
        EXPECT_EQ(edit->text(), QStringLiteral("改过的"));
        EXPECT_TRUE(Writes().isEmpty());
    }
}

TEST_P(MaintDialogTest, EscapeCloseBoxAndCloseDiscardTheOpenRow) {
    Exec(kCard);
    const std::vector<std::pair<const char*, std::function<void(CRecordMaintDlg&)>>> ways = {
        {"Escape", [](CRecordMaintDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"close box", [](CRecordMaintDlg& d) { d.close(); }},
        {"关闭", [](CRecordMaintDlg& d) { Press(d, CRecordMaintDlg::IdClose); }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        auto dialog = OpenStock();
        ClickRow(*dialog->Grid(), 0);
        Type(*dialog->Grid(), 5, QStringLiteral("99"));
        close(*dialog);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        dialog.reset();
        EXPECT_TRUE(Writes().isEmpty());
        EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT 现有存货量 FROM 存")),
                  QStringLiteral("10"));
    }
    // An added row is discarded the same way.
    auto dialog = OpenStock();
    Press(*dialog, CRecordMaintDlg::IdAdd);
    Type(*dialog->Grid(), 0, QStringLiteral("板蓝根"));
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    dialog.reset();
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT COUNT(*) FROM 存")), QStringLiteral("1"));
}

TEST_P(MaintDialogTest, EveryOpeningLoadsTheTableAfresh) {
    Exec(kCard);
    auto first = OpenStock();
    ClickRow(*first->Grid(), 0);
    first.reset();
    Exec(QStringLiteral("UPDATE 存 SET 现有存货量 = 4"));
    auto second = OpenStock();
    EXPECT_EQ(second->Grid()->GetItemText(0, 5), QStringLiteral("4"));
    EXPECT_EQ(second->Grid()->EditRow(), -1);
}

APRICOT_INSTANTIATE_BACKENDS(MaintDialogTest);

} // namespace
