// 报损/退货 on both backends: a write-off lowers its card and writes one 损 row and one log row
// in one transaction, its boxes' codes leave the ledger with it; a refused one writes nothing.
#include "entry_books.h"

#include "CTransaction.h"
#include "loss_text.h"
#include "stock_take.h"
#include "trace_code.h"
#include "trace_ledger.h"
#include "write_off.h"

namespace {

using namespace entrytest;

const losssql::Card kCard = {QStringLiteral("阿莫西林胶囊"), QStringLiteral("石药集团"),
                             QStringLiteral("0.25g*24粒"), QStringLiteral("2005-04-30")};
// The clock as the books stamp a row.
QString Now() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

CWriteOff::Form WriteOffOf(const QString& quantity, const QString& reason,
                           const losssql::Card& card = kCard) {
    return {card, quantity, reason, QStringLiteral("销毁"), QStringLiteral("碎了")};
}

class WriteOffTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        // One card of 10 boxes at 8.
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(Batch("8", "10")).recorded);
    }
    long long Count(const char* table) {
        return QueryValue(Db(), QStringLiteral("SELECT COUNT(*) FROM ") + QString::fromUtf8(table))
            .toLongLong();
    }
};

TEST_P(WriteOffTest, LowersTheCardAndWritesOneRowAndOneLogRow) {
    CWriteOff writeOff(&Db(), QStringLiteral("李店长"));
    const long long logRows = Count("日志");
    const QString before = Now();
    CEntryOutcome outcome = writeOff.Add(WriteOffOf(QStringLiteral(" 2.5 "), losstext::kBroken));
    ASSERT_TRUE(outcome.recorded) << outcome.status.toStdString();
    EXPECT_EQ(outcome.status, QStringLiteral("已报损：阿莫西林胶囊 2.5 盒，成本 20.00 元"));
    EXPECT_TRUE(Db().IsAutoCommit());
    EXPECT_EQ(QueryValue(Db(), "SELECT 现有存货量 FROM 存"), "7.5");
    // A second one at once is kept too, under its own number.
    outcome = writeOff.Add(WriteOffOf(QStringLiteral("7.5"), losstext::kReturn));
    const QString after = Now();
    ASSERT_TRUE(outcome.recorded) << outcome.status.toStdString();
    EXPECT_EQ(outcome.status, QStringLiteral("已退货：阿莫西林胶囊 7.5 盒，成本 60.00 元"));
    EXPECT_EQ(QueryValue(Db(), "SELECT 现有存货量 FROM 存"), "0");
    const auto rows = QueryRows(Db(), "SELECT * FROM 损 ORDER BY 数量");
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_EQ(rows[0].size(), 12);
    EXPECT_EQ(rows[0].mid(1, 10),
              (QStringList{"阿莫西林胶囊", "石药集团", "0.25g*24粒", "2005-04-30", "2.5", "8",
                           "破损", "销毁", "李店长", "碎了"}));
    for (const QStringList& row : rows) {
        EXPECT_GE(row[0].left(19), before);
        EXPECT_LE(row[0].left(19), after);
        EXPECT_EQ(row[11].size(), 36) << row[11].toStdString();
    }
    EXPECT_NE(rows[0][11], rows[1][11]);
    // Each log row carries the number of the row it records.
    const auto log =
        QueryRows(Db(), "SELECT 操作员, 动作, 对象, 单号 FROM 日志 ORDER BY 序号 DESC");
    EXPECT_EQ(Count("日志"), logRows + 2);
    EXPECT_EQ(log[0], (QStringList{"李店长", "退货", "损", rows[1][11]}));
    EXPECT_EQ(log[1], (QStringList{"李店长", "报损", "损", rows[0][11]}));
}

TEST_P(WriteOffTest, RefusedWriteOffsWriteNothing) {
    struct Refusal {
        QString quantity;
        QString reason;
        bool knownCard;
        QString says; // the message box, or the status line where there is none
        QStringList codes = {};
    };
    const std::vector<Refusal> refusals = {
        {"10.5", "过期", true, CWriteOff::MoreThanHeldText(QStringLiteral("10"))},
        {"0", "过期", true, CWriteOff::kQuantityInvalid},
        {"-1", "破损", true, CWriteOff::kQuantityInvalid},
        {"两盒", "破损", true, CWriteOff::kQuantityInvalid},
        {"1", "盘亏", true, CWriteOff::kReasonInvalid},
        {"1", "过期", false, CWriteOff::kNoSuchCard},
        {"1", "破损", true, tracecode::Problem("6901234567892"), {"6901234567892"}},
        {"1",
         "破损",
         true,
         QStringLiteral("追溯码 81000000000000000001 已经扫过了"),
         {"81000000000000000001", " 81000000000000000001"}},
        {"1",
         "破损",
         true,
         QStringLiteral("扫了 2 个追溯码，多于这次的 1 盒：请删去多扫的"),
         {"81000000000000000001", "81000000000000000002"}},
    };
    const std::vector<QStringList> before = AllBooks(Db());
    const long long logRows = Count("日志");
    CWriteOff writeOff(&Db(), QStringLiteral("李店长"));
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.quantity.toStdString() + " " + r.reason.toStdString());
        losssql::Card card = kCard;
        if (!r.knownCard)
            card.expiry = QStringLiteral("2099-01-01");
        CWriteOff::Form form = WriteOffOf(r.quantity, r.reason, card);
        form.traceCodes = r.codes;
        const CEntryOutcome outcome = writeOff.Add(form);
        EXPECT_FALSE(outcome.recorded);
        EXPECT_EQ(outcome.message.isEmpty() ? outcome.status : outcome.message, r.says);
        EXPECT_TRUE(Db().IsAutoCommit());
    }
    EXPECT_EQ(AllBooks(Db()), before);
    EXPECT_EQ(Count("损"), 0);
    EXPECT_EQ(Count("日志"), logRows);
}

TEST_P(WriteOffTest, ACardPickedFromTheAlertsIsFilledWithItsWholeStock) {
    CWriteOff writeOff(&Db());
    QString failure;
    std::optional<CWriteOff::Form> form = writeOff.ForCard(kCard, QDate(2005, 5, 1), &failure);
    ASSERT_TRUE(form) << failure.toStdString();
    EXPECT_EQ(form->quantity, "10");
    EXPECT_EQ(form->reason, losstext::kExpired);
    form = writeOff.ForCard(kCard, QDate(2005, 4, 30), &failure);
    ASSERT_TRUE(form);
    EXPECT_EQ(form->reason, losstext::kBroken);
    losssql::Card gone = kCard;
    gone.name = QStringLiteral("没有");
    EXPECT_FALSE(writeOff.ForCard(gone, QDate(2005, 5, 1), &failure));
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
}

// Quantities no shop has are refused, naming the field, and nothing is written: a count of
// 1e308 boxes, or a ten-millionth of a box that the screen and the log would show as 0 盒.
TEST_P(WriteOffTest, QuantitiesNoShopHasAreRefusedAndNothingIsWritten) {
    const long long purchases = Count("进"), losses = Count("损");
    for (const char* typed : {"1e308", "1000001", "-1000001", "0.0000001"}) {
        SCOPED_TRACE(typed);
        const CEntryOutcome bought = CPurchaseEntry(&Db()).Add(Batch("8", typed));
        EXPECT_FALSE(bought.recorded);
        EXPECT_TRUE(bought.message.startsWith(QStringLiteral("数量 不能")))
            << bought.message.toStdString();
        const CEntryOutcome written =
            CWriteOff(&Db(), QStringLiteral("李店长"))
                .Add(WriteOffOf(QString::fromUtf8(typed), losstext::kBroken));
        EXPECT_FALSE(written.recorded);
    }
    // Two million boxes sold, or one piece of a box of 20,000.
    for (const auto& [quantity, pieces] : {std::pair{"2000000", "1"}, std::pair{"1", "20000"}}) {
        const CEntryOutcome sold = CSalesEntry(&Db()).Add(SaleOf(quantity, pieces, "1"));
        EXPECT_FALSE(sold.recorded);
        EXPECT_TRUE(sold.status.startsWith(QStringLiteral("数量 不能")))
            << sold.status.toStdString();
    }
    QString failure;
    std::optional<std::vector<CStockTake::Row>> rows = CStockTake::Read(&Db(), false, &failure);
    ASSERT_TRUE(rows && rows->size() == 1) << failure.toStdString();
    (*rows)[0].counted = QStringLiteral("1e308");
    const CStockTake::Outcome counted = CStockTake(&Db(), QStringLiteral("李店长")).Confirm(*rows);
    EXPECT_FALSE(counted.ok);
    EXPECT_TRUE(counted.message.startsWith(QStringLiteral("第 1 行")))
        << counted.message.toStdString();
    EXPECT_EQ(Count("进"), purchases);
    EXPECT_EQ(Count("损"), losses);
    EXPECT_EQ(Count("销"), 0);
    EXPECT_EQ(QueryValue(Db(), "SELECT 现有存货量 FROM 存"), "10");
}

// A return's codes leave as 退货, a write-off's as 报损, and neither can be sold afterwards; a code
// already gone refuses the whole write-off, which then writes nothing.
TEST_P(WriteOffTest, CodesLeaveWithTheWriteOffAndAreNeverSoldAfterwards) {
    const QStringList codes = {"81000000000000000001", "81000000000000000002"};
    const traceledger::CCard card{kCard.name, kCard.origin, kCard.packModel, kCard.expiry,
                                  QStringLiteral("24031501")};
    {
        CTransaction capture(Db());
        ASSERT_TRUE(traceledger::Capture(Db(), codes, card, {"进-1", Now(), "张明"}).ok());
        ASSERT_FALSE(capture.Commit());
    }
    CWriteOff writeOff(&Db(), QStringLiteral("李店长"));
    for (const auto& [code, reason] :
         {std::pair{codes[0], losstext::kReturn}, std::pair{codes[1], losstext::kBroken}}) {
        CWriteOff::Form form = WriteOffOf(QStringLiteral("1"), reason);
        form.traceCodes = {code};
        const CEntryOutcome outcome = writeOff.Add(form);
        ASSERT_TRUE(outcome.recorded) << outcome.status.toStdString();
        EXPECT_TRUE(outcome.status.endsWith(QStringLiteral("，追溯码 1 个")));
    }
    EXPECT_EQ(QueryRows(Db(), "SELECT 状态 FROM 追溯码 ORDER BY 追溯码"),
              (std::vector<QStringList>{{"退货"}, {"报损"}}));
    // Each 损 row's one log row names its code; no other row is written for the codes.
    const std::vector<QStringList> logged = QueryRows(
        Db(),
        "SELECT l.动作, l.对象, l.内容 FROM 日志 l JOIN 损 s ON l.单号=s.单号 ORDER BY l.序号");
    ASSERT_EQ(logged.size(), 2u);
    for (size_t i = 0; i < logged.size(); ++i) {
        EXPECT_EQ(logged[i].mid(0, 2), (QStringList{i ? "报损" : "退货", "损"}));
        EXPECT_TRUE(logged[i][2].endsWith(QStringLiteral("；追溯码 1 个：") + codes[i]))
            << logged[i][2].toStdString();
    }
    for (const auto& [code, gone] : {std::pair{codes[0], "退货"}, std::pair{codes[1], "报损"}}) {
        CTransaction sale(Db());
        const traceledger::CStep sold =
            traceledger::Sell(Db(), {code}, card, {"销-1", Now(), "张三"});
        EXPECT_TRUE(sold.refusal.contains(QString::fromUtf8(gone)) &&
                    sold.refusal.contains(QStringLiteral("不能再次销售")))
            << sold.refusal.toStdString();
    }
    const auto books = [this] {
        std::vector<QStringList> rows = AllBooks(Db());
        for (const char* sql : {"SELECT * FROM 追溯码 ORDER BY 追溯码",
                                "SELECT * FROM 追溯码去向 ORDER BY 追溯码, 单号"})
            for (QStringList& row : QueryRows(Db(), QString::fromUtf8(sql)))
                rows.push_back(std::move(row));
        return rows;
    };
    const std::vector<QStringList> before = books();
    CWriteOff::Form again = WriteOffOf(QStringLiteral("1"), losstext::kBroken);
    again.traceCodes = {codes[0]};
    const CEntryOutcome refused = writeOff.Add(again);
    EXPECT_FALSE(refused.recorded);
    EXPECT_TRUE(refused.message.contains(QStringLiteral("退货"))) << refused.message.toStdString();
    EXPECT_TRUE(Db().IsAutoCommit());
    EXPECT_EQ(books(), before);
}

APRICOT_INSTANTIATE_BACKENDS(WriteOffTest);

} // namespace
