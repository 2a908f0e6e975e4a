// 结账: the method set on the bill's sales with their log rows (both backends), the change to
// the fen, too little cash refused with the books untouched, and the dialog at the keyboard.
#include "CPaymentDlg.h"
#include "dialog_driver.h"
#include "entry_books.h"
#include "ledger_check.h"
#include "payment.h"
#include "recording_prompts.h"
#include "sale_reversal.h"

#include <QLabel>
#include <QRegularExpression>

namespace {

using namespace entrytest;

const QDateTime kNow(QDate(2003, 5, 2), QTime(16, 0));
const QString kCash = QStringLiteral("现金");

class PaymentTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(Batch("8", "10")).recorded);
        // 2 boxes at 12.30 and 3 pieces at 0.50: 24.60 + 1.50.
        m_bill = {Sell("2", "1", "12.3", "2003-05-02 10:15:30"),
                  Sell("3", "20", "0.5", "2003-05-02 10:15:31")};
    }
    QString Sell(const char* quantity, const char* perBox, const char* price, const char* at) {
        const CEntryOutcome sold = CSalesEntry(&Db(), QStringLiteral("张三"))
                                       .Add(SaleOf(quantity, perBox, price, QString::fromUtf8(at)));
        EXPECT_TRUE(sold.recorded) << sold.status.toStdString();
        return sold.recordedNumber;
    }
    std::vector<QStringList> State() {
        std::vector<QStringList> rows = AllBooks(Db());
        for (QStringList& row : QueryRows(Db(), "SELECT 序号,动作,内容 FROM 日志 ORDER BY 序号"))
            rows.push_back(std::move(row));
        return rows;
    }

    QStringList m_bill;
    CRecordingPrompts m_prompts;
};

TEST_P(PaymentTest, CashMarksEachUnpaidSaleOfTheBillWithItsLogRowAndNeverTwice) {
    // The pieces are taken back before 结账: the reversal nets, and is not paid itself.
    const CSaleReversal::Outcome reversed =
        CSaleReversal(&Db(), QStringLiteral("张三"), true, {})
            .Reverse({m_bill[1], QStringLiteral("拿错了"), {}, {}}, kNow);
    ASSERT_TRUE(reversed.recorded) << reversed.message.toStdString();
    const QStringList bill = m_bill + QStringList{reversed.number};

    CCheckout checkout(&Db(), QStringLiteral("张三"));
    const std::optional<long long> due = checkout.Due(bill, nullptr);
    ASSERT_EQ(due, 2460);
    const CCheckout::Outcome paid = checkout.Pay(bill, {kCash, *due, 3000}, kNow);
    ASSERT_TRUE(paid.ok) << paid.message.toStdString();
    EXPECT_EQ(paid.paid, 2);
    EXPECT_EQ(QueryRows(Db(), "SELECT 单号, 支付方式 FROM 销 ORDER BY 日期时间"),
              (std::vector<QStringList>{
                  {m_bill[0], "现金"}, {m_bill[1], "现金"}, {reversed.number, ""}}));
    const std::vector<QStringList> log = QueryRows(
        Db(), "SELECT 操作员, 对象, 单号, 内容 FROM 日志 WHERE 动作='结账' ORDER BY 序号");
    ASSERT_EQ(log.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(log[i].mid(0, 3), (QStringList{"张三", "销", m_bill[i]}));
        EXPECT_EQ(log[i][3], QStringLiteral("单号 %1 支付方式 现金（本单 3 笔，合计 24.60 元，"
                                            "实收 30.00 元，找零 5.40 元）")
                                 .arg(m_bill[i]));
    }
    // Each changed sale is held by its log row.
    const std::optional<auditlog::CLedgerCheck> ledger = auditlog::CheckLedger(Db());
    ASSERT_TRUE(ledger);
    EXPECT_EQ(auditlog::LedgerProblems(*ledger).filter(QRegularExpression(QStringLiteral("^销 "))),
              QStringList());

    // Pressed again (a reply lost after the commit): nothing paid or logged twice.
    const std::vector<QStringList> before = State();
    const CCheckout::Outcome again =
        checkout.Pay(bill, {QStringLiteral("微信"), *due, std::nullopt}, kNow);
    EXPECT_TRUE(again.ok);
    EXPECT_EQ(again.paid, 0);
    EXPECT_EQ(State(), before);
}

TEST_P(PaymentTest, TooLittleCashIsRefusedAndChangesNothing) {
    const std::vector<QStringList> before = State();
    CCheckout checkout(&Db(), QStringLiteral("张三"));
    const CCheckout::Outcome refused = checkout.Pay(m_bill, {kCash, 2610, 2609}, kNow);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, QStringLiteral("实收 26.09 元，不够应收 26.10 元，还差 0.01 元。"));
    EXPECT_EQ(State(), before);
}

struct ChangeCase {
    long long due;
    const char* typed;
    const char* said; // the change, or why the sum is refused
};

class ChangeTest : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(ChangeTest, IsRightToTheFen) {
    const ChangeCase c = GetParam();
    QString failure;
    const std::optional<long long> tendered = payment::ParseYuan(c.typed, &failure);
    const CPayment cash{kCash, c.due, tendered};
    const std::optional<long long> change = cash.ChangeCents();
    const QString said = !tendered                   ? failure
                         : !cash.Refusal().isEmpty() ? cash.Refusal()
                                                     : payment::ChangeText(*change);
    EXPECT_EQ(said, QString::fromUtf8(c.said));
}

INSTANTIATE_TEST_SUITE_P(
    Amounts, ChangeTest,
    ::testing::Values(
        ChangeCase{2460, "30", "找零 5.40 元"},
        ChangeCase{1005, "10.05", "找零 0.00 元"}, // 10.05 is 10.0499… as a double
        ChangeCase{1999, " 20.00 ", "找零 0.01 元"}, ChangeCase{30, "100.3", "找零 100.00 元"},
        ChangeCase{1000, "9.99", "实收 9.99 元，不够应收 10.00 元，还差 0.01 元。"},
        ChangeCase{1000, "12.345", "实收金额“12.345”不是金额：只能是数字，最多两位小数。"},
        ChangeCase{1000, "-20", "实收金额“-20”不是金额：只能是数字，最多两位小数。"}));

// The dialog alone, at the keyboard: digits pick, Enter goes on to 实收 for cash, too little is
// refused and the dialog stays, Esc cancels.
TEST(PaymentDlg, TakesTheKeyboardAndRefusesTooLittleCash) {
    CRecordingPrompts prompts;
    const QStringList methods{kCash, QStringLiteral("微信"), QStringLiteral("支付宝")};
    {
        CPaymentDlg dialog(1230, methods);
        ShowActive(&dialog);
        ASSERT_TRUE(FocusIn(&dialog, CPaymentDlg::IdMethods));
        Press(Qt::Key_2);
        Press(Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.Payment().method, QStringLiteral("微信"));
        EXPECT_FALSE(dialog.Payment().tenderedCents);
    }
    CPaymentDlg dialog(1230, methods);
    ShowActive(&dialog);
    const auto* change = dialog.findChild<QLabel*>(QString::number(CPaymentDlg::IdChange));
    Press(Qt::Key_3);
    Press(Qt::Key_Up);
    Press(Qt::Key_Up);
    Press(Qt::Key_Return);
    ASSERT_TRUE(FocusIn(&dialog, CPaymentDlg::IdTendered));
    // Prefilled with what is due and selected: a typed sum replaces it.
    Type("12");
    EXPECT_EQ(change->text(), QStringLiteral("还差 0.30 元"));
    Press(Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompts.Texts(),
              QStringList{"实收 12.00 元，不够应收 12.30 元，还差 0.30 元。没有结账。"});
    Type("15");
    EXPECT_EQ(change->text(), QStringLiteral("找零 2.70 元"));
    EXPECT_EQ(dialog.Payment().ChangeCents(), 270);
    Press(Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace

APRICOT_INSTANTIATE_BACKENDS(PaymentTest);
