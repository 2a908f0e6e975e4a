// A statement that reaches the books and then loses its reply, as when the connection to the
// server is cut before the answer comes back: on PostgreSQL the program's connection is really
// ended, on SQLite only the error is raised. Whatever the user presses next, every entry is in
// the books once.
#include "CDBException.h"
#include "CPurchaseEntryDlg.h"
#include "CSalesEntryDlg.h"
#include "dialog_driver.h"
#include "entry_books.h"
#include "entry_lookup.h"
#include "lost_reply.h"
#include "q_grid.h"
#include "recording_prompts.h"
#include "ui_driving.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

using namespace entrytest;
using namespace entrylookup;

class LostReplyTest : public CLostReplyBooksTest {
protected:
    void SetUp() override {
        CLostReplyBooksTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        Exec(QStringLiteral("INSERT INTO 存 VALUES('维生素C片','华中药业','0.1g*100片',"
                            "'2099-12-31',2,10)"));
    }

    QString Status(QWidget& dialog) const {
        return dialog.findChild<QLabel*>(QStringLiteral("1060"))->text();
    }
    QString Stock() { return QueryValue(Db(), "SELECT SUM(现有存货量) FROM 存"); }

    CRecordingPrompts m_prompts;
};

// Types one whole-box sale of the card into the dialog, its time stamp left as the dialog sets it.
void TypeSale(CSalesEntryDlg& dialog) {
    dialog.findChild<QWidget*>(QString::number(CSalesEntry::IdName))->setFocus();
    for (const char* text : {"维生素C片", "华中药业", "0.1g*100片", "2099-12-31", "3.5"})
        Fill(QString::fromUtf8(text));
}

void TypePurchase(CPurchaseEntryDlg& dialog) {
    const std::pair<int, const char*> fields[] = {
        {CPurchaseEntry::IdName, "维生素C片"},       {CPurchaseEntry::IdOrigin, "华中药业"},
        {CPurchaseEntry::IdPackModel, "0.1g*100片"}, {CPurchaseEntry::IdPrice, "2"},
        {CPurchaseEntry::IdQuantity, "5"},
    };
    for (const auto& [id, text] : fields)
        dialog.findChild<QLineEdit*>(QString::number(id))->setText(QString::fromUtf8(text));
}

TEST_P(LostReplyTest, ASaleIsLookedUpAndNeverRecordedTwice) {
    CSalesEntryDlg dialog(&Db());
    ShowActive(&dialog);

    // Found in the books: reported as recorded, the form cleared, so 添加 records nothing more.
    TypeSale(dialog);
    CutAfter(QStringLiteral("COMMIT"), false);
    uitest::Press(dialog, 1);
    EXPECT_TRUE(Status(dialog).startsWith(kRecordedAfterLoss)) << Status(dialog).toStdString();
    uitest::Press(dialog, 1);
    EXPECT_EQ(Count(Db(), "销"), "1");
    EXPECT_EQ(Stock(), "9");

    // Not found out, the server still gone: the form and the sale's number stay, and pressed
    // again once the server is back, the number is found and nothing is written.
    TypeSale(dialog);
    CutAfter(QStringLiteral("COMMIT"), true);
    uitest::Press(dialog, 1);
    EXPECT_TRUE(Status(dialog).startsWith(kOutcomeUnknown)) << Status(dialog).toStdString();
    EXPECT_EQ(dialog.findChild<QComboBox*>(QString::number(CSalesEntry::IdName))->currentText(),
              "维生素C片");
    Back();
    uitest::Press(dialog, 1);
    EXPECT_EQ(Status(dialog), kAlreadyRecorded);
    EXPECT_EQ(Count(Db(), "销"), "2");
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(DISTINCT 单号) FROM 销"), "2");
    EXPECT_EQ(Stock(), "8");
}

TEST_P(LostReplyTest, APurchaseIsLookedUpAndNeverRecordedTwice) {
    CPurchaseEntryDlg dialog(&Db());
    ShowActive(&dialog);

    TypePurchase(dialog);
    CutAfter(QStringLiteral("COMMIT"), false);
    uitest::Press(dialog, 1);
    EXPECT_TRUE(Status(dialog).startsWith(kRecordedAfterLoss)) << Status(dialog).toStdString();
    uitest::Press(dialog, 1);
    EXPECT_EQ(Count(Db(), "进"), "1");
    EXPECT_EQ(Stock(), "15");

    // The same batch again, cut and not found out; pressed again it is found, not written.
    TypePurchase(dialog);
    CutAfter(QStringLiteral("COMMIT"), true);
    uitest::Press(dialog, 1);
    EXPECT_TRUE(Status(dialog).startsWith(kOutcomeUnknown)) << Status(dialog).toStdString();
    Back();
    uitest::Press(dialog, 1);
    EXPECT_EQ(Status(dialog), kAlreadyRecorded);
    EXPECT_EQ(Count(Db(), "进"), "2");
    EXPECT_EQ(Stock(), "20");
}

// The connection goes before the COMMIT reaches the server, while another counter has sold the
// same card in the same second: the lost sale is looked up by its number, not taken for the
// other one.
TEST_P(LostReplyTest, ASaleLostBeforeItsCommitIsNotTakenForAnotherCountersSale) {
    if (Books().GetBackend() != Backend::PostgreSQL)
        GTEST_SKIP() << "only a server connection can go between the last statement and COMMIT";
    CSalesEntry::Form sale;
    sale.timestamp = QStringLiteral("2003-05-02 10:15:30");
    sale.timestampTyped = true;
    sale.card = {"维生素C片", "华中药业", "0.1g*100片", "2099-12-31"};
    sale.price = "3.5";
    sale.quantity = "1";
    sale.piecesPerBox = "1";
    sale.saleType = CSalesEntry::kWholeBox;
    sale.amount = CSalesEntry::AmountDue(1, 3.5);
    const std::unique_ptr<CDatabase> other = Books().OpenAnotherConnection();
    ASSERT_TRUE(CSalesEntry(other.get()).Add(sale).recorded);

    // The sale's last statement runs, then its server process ends: the COMMIT never arrives.
    const QString pid = QueryValue(Db(), "SELECT pg_backend_pid()");
    Db().SetStatementHook([&](const QString& sql) {
        if (sql.startsWith(QStringLiteral("INSERT INTO 日志")))
            m_killer->ExecuteSQL(QStringLiteral("SELECT pg_terminate_backend(%1, 5000)").arg(pid));
    });
    const CEntryOutcome lost = CSalesEntry(&Db()).Add(sale);
    Db().SetStatementHook({});
    EXPECT_FALSE(lost.recorded);
    EXPECT_TRUE(lost.status.startsWith(kNotRecordedAfterLoss)) << lost.status.toStdString();
    EXPECT_EQ(Count(Db(), "销"), "1");
    EXPECT_EQ(Stock(), "9");
}

// The grid's 添加 (its row and its log row, one transaction): when the commit's reply is lost
// nothing is run again, and the grid shows what the books hold.
TEST_P(LostReplyTest, AGridRowWhoseReplyIsLostIsWrittenOnceAndShown) {
    q_grid grid;
    ASSERT_TRUE(grid.Create(&Db(), QStringLiteral("存"), QStringLiteral("SELECT * FROM 存"),
                            nullptr, QRect(0, 0, 800, 300), true, true));
    grid.SetPermissions(true, true, true, true);
    grid.AddRow();
    const QStringList card{"板蓝根颗粒", "白云山", "10g*20袋", "2099-06-30", "1.5", "4"};
    for (int c = 0; c < card.size(); ++c)
        uitest::Type(grid, c, card[c]);
    CutAfter(QStringLiteral("COMMIT"), false);
    grid.CommitEdit();
    ASSERT_EQ(m_prompts.Texts().size(), 1);
    EXPECT_TRUE(m_prompts.Texts()[0].contains(QStringLiteral("连接中断")))
        << m_prompts.Texts()[0].toStdString();
    EXPECT_EQ(Count(Db(), "存"), "2");
    EXPECT_EQ(grid.GetItemCount(), 2);
}

APRICOT_INSTANTIATE_BACKENDS(LostReplyTest);

} // namespace
