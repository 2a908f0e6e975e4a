// 销售冲正 on both backends: what a reversal writes, what it refuses without changing the books,
// the 店长's password a 营业员 needs, and how the shift report and a reprinted receipt show it.
#include "CSaleReversalDlg.h"
#include "entry_books.h"
#include "lost_reply.h"
#include "manager_approval.h"
#include "password_hash.h"
#include "receipt_content.h"
#include "recording_prompts.h"
#include "sale_reversal.h"
#include "shift_report.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

using namespace entrytest;

const QDateTime kNow(QDate(2003, 5, 2), QTime(16, 0));

class SaleReversalTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        // 10 boxes at 8; 张三 sells 3 pieces of a box of 20 at 0.5: 0.15 boxes, 1.50 paid.
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(Batch("8", "10")).recorded);
        m_sale = Sell();
    }
    QString Sell() {
        const CEntryOutcome sold =
            CSalesEntry(&Db(), QStringLiteral("张三")).Add(SaleOf("3", "20", "0.5"));
        EXPECT_TRUE(sold.recorded) << sold.status.toStdString();
        return sold.recordedNumber;
    }
    CSaleReversal::Outcome Reverse(CSaleReversal& reversal, const QString& number,
                                   const QString& reason = QStringLiteral("录错了药品"),
                                   const QString& manager = {}, const QString& password = {}) {
        const CSaleReversal::Outcome outcome =
            reversal.Reverse({number, reason, manager, password}, kNow);
        EXPECT_TRUE(Db().IsAutoCommit());
        return outcome;
    }
    // The books and the log, whole.
    std::vector<QStringList> State() {
        std::vector<QStringList> rows = AllBooks(Db());
        for (QStringList& row : QueryRows(Db(), "SELECT 序号,动作,内容 FROM 日志 ORDER BY 序号"))
            rows.push_back(std::move(row));
        return rows;
    }
    QString Stock() { return QueryValue(Db(), "SELECT 现有存货量 FROM 存"); }

    CRecordingPrompts m_prompts;
    QString m_sale;
};

TEST_P(SaleReversalTest, PutsTheStockBackAndWritesTheReversingRowWithItsLogRow) {
    ASSERT_EQ(Stock(), "9.85");
    CSaleReversal reversal(&Db(), QStringLiteral("王店长"), true, {});
    // A typed "%1" stays as typed in the log.
    const CSaleReversal::Outcome outcome =
        Reverse(reversal, m_sale, QStringLiteral("顾客 %1 退回"));
    ASSERT_TRUE(outcome.recorded) << outcome.message.toStdString();
    EXPECT_EQ(Stock(), "10");
    EXPECT_EQ(QueryRows(Db(),
                        "SELECT 零售价,数量,销售类型,实收金额,坏帐,营业员,小票号,冲正单号,单号 "
                        "FROM 销 WHERE 冲正单号<>''"),
              (std::vector<QStringList>{{"0.5", "-0.15", "拆零销售", "-1.5", "0", "王店长", "",
                                         m_sale, outcome.number}}));
    EXPECT_EQ(QueryValue(Db(), "SELECT 日期时间 FROM 销 WHERE 冲正单号<>''").left(19),
              "2003-05-02 16:00:00");
    // The sale itself stays as it was.
    EXPECT_EQ(QueryRows(Db(), "SELECT 数量,实收金额,营业员 FROM 销 WHERE 冲正单号=''"),
              (std::vector<QStringList>{{"0.15", "1.5", "张三"}}));
    const std::vector<QStringList> log =
        QueryRows(Db(), "SELECT 操作员,对象,单号,内容 FROM 日志 WHERE 动作='冲正'");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].mid(0, 3), (QStringList{"王店长", "销", outcome.number}));
    EXPECT_EQ(log[0][3],
              QStringLiteral("阿莫西林胶囊（石药集团，0.25g*24粒，有效期至 2005-04-30）"
                             "0.15 盒，实收 1.5 元，原单号 %1，原营业员 张三，原日期时间 "
                             "2003-05-02 10:15:30；原因：顾客 %1 退回")
                  .replace(QStringLiteral("原单号 %1"), QStringLiteral("原单号 ") + m_sale));
    EXPECT_FALSE(QueryValue(Db(), "SELECT 行校验 FROM 日志 WHERE 动作='冲正'").isEmpty());
}

// The boxes come back with the stock: a reversed sale's code is in stock again and sells.
TEST_P(SaleReversalTest, ACodeOfAReversedSaleIsInStockAgain) {
    const QString code = QStringLiteral("81234567890123456781");
    CPurchaseEntry::Form boxes = Batch("8", "1");
    boxes.traceCodes = {code};
    ASSERT_TRUE(CPurchaseEntry(&Db()).Add(boxes).recorded);
    CSalesEntry::Form sale = SaleOf("1", "1", "12.5", "2003-05-02 10:20:00");
    sale.traceCodes = {code};
    const CEntryOutcome sold = CSalesEntry(&Db(), QStringLiteral("张三")).Add(sale);
    ASSERT_TRUE(sold.recorded) << sold.status.toStdString();
    CSaleReversal reversal(&Db(), QStringLiteral("王店长"), true, {});
    const CSaleReversal::Outcome outcome = Reverse(reversal, sold.recordedNumber);
    ASSERT_TRUE(outcome.recorded) << outcome.message.toStdString();
    EXPECT_EQ(QueryRows(Db(), "SELECT 状态,出库单号 FROM 追溯码"),
              (std::vector<QStringList>{{"在库", ""}}));
    EXPECT_EQ(QueryRows(Db(), "SELECT 单号,动作,数量 FROM 追溯码去向 ORDER BY 动作 DESC"),
              (std::vector<QStringList>{{sold.recordedNumber, "售出", "1"},
                                        {outcome.number, "冲正", "-1"}}));
    sale.timestamp = QStringLiteral("2003-05-02 10:30:00");
    EXPECT_TRUE(CSalesEntry(&Db(), QStringLiteral("张三")).Add(sale).recorded);
}

TEST_P(SaleReversalTest, RefusalsSayWhyAndLeaveTheBooksAsTheyWere) {
    const QString other = Sell();
    CSaleReversal reversal(&Db(), QStringLiteral("王店长"), true, {});
    const CSaleReversal::Outcome first = Reverse(reversal, m_sale);
    ASSERT_TRUE(first.recorded);
    const std::vector<QStringList> before = State();
    const struct {
        QString number;
        QString reason;
        QString message;
    } cases[] = {
        {m_sale, QStringLiteral("再冲一次"), CSaleReversal::kAlreadyReversed},
        {first.number, QStringLiteral("冲正录错"), CSaleReversal::kIsReversal},
        {other, QStringLiteral("  "), CSaleReversal::kNoReason},
        {QString(), QStringLiteral("录错"), CSaleReversal::kNoSale},
        {QStringLiteral("no-such-sale"), QStringLiteral("录错"),
         CSaleReversal::kNotFound.arg(QStringLiteral("no-such-sale"))},
    };
    // A new dialog's reversal as well as the same one: the books decide, not what it holds.
    CSaleReversal fresh(&Db(), QStringLiteral("王店长"), true, {});
    for (const auto& c : cases) {
        for (CSaleReversal* r : {&reversal, &fresh}) {
            const CSaleReversal::Outcome outcome = Reverse(*r, c.number, c.reason);
            EXPECT_FALSE(outcome.recorded);
            EXPECT_EQ(outcome.message, c.message);
        }
        EXPECT_EQ(State(), before) << c.message.toStdString();
    }
    // The card went meanwhile: its boxes have nowhere to go back to.
    Exec(QStringLiteral("DELETE FROM 存"));
    const std::vector<QStringList> cardGone = State();
    const CSaleReversal::Outcome outcome = Reverse(reversal, other);
    EXPECT_FALSE(outcome.recorded);
    EXPECT_EQ(outcome.message, CSaleReversal::kCardGone);
    EXPECT_EQ(State(), cardGone);
}

TEST_P(SaleReversalTest, AClerkReversesOnlyWithAManagersPassword) {
    for (const auto& [name, password, role] :
         {std::tuple{"王店长", "m-123", "店长"}, std::tuple{"张三", "c-123", "营业员"}})
        Db().ExecuteSQL(CStatement{
            QStringLiteral("INSERT INTO 操作员(用户名,密码,角色) VALUES(?,?,?)"),
            {QString::fromUtf8(name), passwordhash::Hash(QString::fromUtf8(password)).value(),
             QString::fromUtf8(role)}});
    CSaleReversal reversal(&Db(), QStringLiteral("张三"), false,
                           [this](const QString& name, const QString& password) {
                               return managerapproval::Approves(&Db(), name, password);
                           });
    const std::vector<QStringList> before = State();
    const std::pair<const char*, const char*> refused[] = {
        {"", ""}, {"王店长", "wrong"}, {"王店长", ""}, {"张三", "c-123"}, {"李四", "m-123"}};
    for (const auto& [name, password] : refused) {
        const CSaleReversal::Outcome outcome =
            Reverse(reversal, m_sale, QStringLiteral("录错"), QString::fromUtf8(name),
                    QString::fromUtf8(password));
        EXPECT_FALSE(outcome.recorded) << name;
        EXPECT_EQ(outcome.message,
                  *name ? CSaleReversal::kManagerRefused : CSaleReversal::kNeedsManager);
        EXPECT_EQ(outcome.focus, CSaleReversal::Outcome::Field::Manager);
    }
    EXPECT_EQ(State(), before);
    const CSaleReversal::Outcome outcome =
        Reverse(reversal, m_sale, QStringLiteral("录错"), QStringLiteral("王店长"),
                QStringLiteral("m-123"));
    ASSERT_TRUE(outcome.recorded) << outcome.message.toStdString();
    EXPECT_EQ(QueryValue(Db(), "SELECT 营业员 FROM 销 WHERE 冲正单号<>''"), "张三");
    EXPECT_TRUE(QueryValue(Db(), "SELECT 内容 FROM 日志 WHERE 动作='冲正'")
                    .endsWith(QStringLiteral("；授权店长 王店长")));
}

// The day's sale and its reversal: one sale and one reversal, turnover 0; the receipt reprinted
// for the sale shows it taken back.
TEST_P(SaleReversalTest, ShiftReportAndReceiptShowTheReversalAsOne) {
    Exec(QStringLiteral("UPDATE 销 SET 小票号='R-1'"));
    CSaleReversal reversal(&Db(), QStringLiteral("张三"), true, {});
    std::optional<std::vector<reversalsql::Sale>> found =
        reversal.Find(QStringLiteral("R-1"), nullptr);
    ASSERT_TRUE(found);
    ASSERT_EQ(found->size(), 1u);
    ASSERT_TRUE(Reverse(reversal, found->front().number).recorded);

    const std::optional<CShiftFigures> figures = CShiftReport(&Db(), QStringLiteral("王店长"), true)
                                                     .Load(kNow.date(), shiftreport::kAll, nullptr);
    ASSERT_TRUE(figures);
    ASSERT_EQ(figures->rows.size(), 1u);
    const CShiftRow& row = figures->rows.front();
    EXPECT_EQ((std::vector<long long>{row.sales, row.splitSales, row.reversals, row.cents}),
              (std::vector<long long>{1, 1, 1, 0}));
    EXPECT_TRUE(shiftreport::LogText(row, kNow.date()).contains(QStringLiteral("，冲正 1 笔")));

    QString failure;
    const std::optional<CReceipt> receipt = receiptcontent::Load(
        Db(), {m_sale}, CReceiptSettings(), true, kNow, QStringLiteral("counter"), &failure);
    ASSERT_TRUE(receipt) << failure.toStdString();
    ASSERT_EQ(receipt->items.size(), 2u);
    EXPECT_FALSE(receipt->items[0].reversal);
    EXPECT_TRUE(receipt->items[1].reversal);
    EXPECT_EQ(receipt->items[1].quantity, "-3 粒"); // the catalogue counts it in 粒
    EXPECT_EQ(receipt->items[1].amount, "-1.50");
    EXPECT_EQ(receipt->Total(), "0.00");
    EXPECT_EQ(receipt->clerk, "张三");
    EXPECT_EQ(receipt->number, "R-1");
}

// The dialog: a receipt of two sales asks which; the one picked, with a reason and the 店长 beside
// the 营业员, is reversed, and the password is not kept.
TEST_P(SaleReversalTest, DialogPicksOneSaleOfAReceiptAndReversesIt) {
    Sell();
    Exec(QStringLiteral("UPDATE 销 SET 小票号='R-2'"));
    CSaleReversal reversal(&Db(), QStringLiteral("张三"), false,
                           [](const QString& name, const QString& password) {
                               return name == QStringLiteral("王店长") && password == "ok";
                           });
    CSaleReversalDlg dialog(reversal, nullptr, QStringLiteral("R-2"));
    auto* sales = dialog.findChild<QListWidget*>(QStringLiteral("sales"));
    auto* reverse = dialog.findChild<QPushButton*>(QStringLiteral("reverse"));
    auto* password = dialog.findChild<QLineEdit*>(QStringLiteral("password"));
    ASSERT_EQ(sales->count(), 2);
    EXPECT_EQ(sales->currentRow(), -1);
    EXPECT_FALSE(password->isHidden());
    dialog.findChild<QLineEdit*>(QStringLiteral("reason"))->setText(QStringLiteral("录错"));
    dialog.findChild<QLineEdit*>(QStringLiteral("manager"))->setText(QStringLiteral("王店长"));
    password->setText(QStringLiteral("ok"));
    reverse->click();
    EXPECT_EQ(m_prompts.Texts(), QStringList{CSaleReversal::kNoSale});
    sales->setCurrentRow(1);
    password->setText(QStringLiteral("ok"));
    reverse->click();
    ASSERT_FALSE(dialog.Recorded().isEmpty());
    EXPECT_TRUE(password->text().isEmpty());
    EXPECT_TRUE(sales->item(1)->text().endsWith(QStringLiteral("〔已冲正〕")));
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 销 WHERE 冲正单号<>''"), "1");
}

APRICOT_INSTANTIATE_BACKENDS(SaleReversalTest);

class SaleReversalLostReplyTest : public CLostReplyBooksTest {};

// The reply of the COMMIT is lost and the server stays gone: pressed again once it is back, the
// reversal is found by its own number and not written twice.
TEST_P(SaleReversalLostReplyTest, IsLookedUpAndNeverWrittenTwice) {
    ASSERT_TRUE(CPurchaseEntry(&Db()).Add(Batch("8", "10")).recorded);
    const QString sale = CSalesEntry(&Db()).Add(SaleOf("2", "1", "30")).recordedNumber;
    CSaleReversal reversal(&Db(), QStringLiteral("王店长"), true, {});
    const CSaleReversal::Request request{sale, QStringLiteral("录错"), {}, {}};
    CutAfter(QStringLiteral("COMMIT"), true);
    const CSaleReversal::Outcome lost = reversal.Reverse(request, kNow);
    EXPECT_FALSE(lost.recorded);
    EXPECT_TRUE(lost.message.startsWith(entrylookup::kOutcomeUnknown))
        << lost.message.toStdString();
    Back();
    const CSaleReversal::Outcome again = reversal.Reverse(request, kNow);
    EXPECT_TRUE(again.recorded);
    EXPECT_EQ(again.message, entrylookup::kAlreadyRecorded);
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 销 WHERE 冲正单号<>''"), "1");
    EXPECT_EQ(QueryValue(Db(), "SELECT 现有存货量 FROM 存"), "10");
}

APRICOT_INSTANTIATE_BACKENDS(SaleReversalLostReplyTest);

} // namespace
