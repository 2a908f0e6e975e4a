// 库存盘点 on both backends: the differences are taken against the sheet as it was read and
// applied to the stock as it stands, so sales made meanwhile are kept; one row that is no count
// stops the whole; a 盘亏 row's codes leave as 报损 with it, or stop it when one cannot.
#include "entry_books.h"

#include "CTransaction.h"
#include "loss_text.h"
#include "stock_shortfall.h"
#include "stock_take.h"
#include "trace_ledger.h"

namespace {

using namespace entrytest;

struct CountCase {
    const char* typed;
    double piecesPerBox; // 0: the catalogue does not know the drug
    double boxes;        // -1: refused
};

class CountParseTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountParseTest, CountIsBoxesOrBoxesAndPiecesOfTheDrugsUnit) {
    const CountCase& c = GetParam();
    const std::optional<CPackUnit> pack =
        c.piecesPerBox > 0 ? packquantity::Of(c.piecesPerBox, QStringLiteral("粒")) : std::nullopt;
    const std::optional<double> boxes = CStockTake::ParseCount(QString::fromUtf8(c.typed), pack);
    if (c.boxes < 0) {
        EXPECT_FALSE(boxes) << *boxes;
        return;
    }
    ASSERT_TRUE(boxes);
    EXPECT_EQ(*boxes, c.boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, CountParseTest,
    ::testing::Values(CountCase{"32", 20, 32}, CountCase{" 1.5 ", 0, 1.5},
                      CountCase{"32+7", 20, 32.35}, CountCase{"32 ＋ 7", 20, 32.35},
                      CountCase{"32 盒 7 粒", 20, 32.35}, CountCase{"32盒7粒", 20, 32.35},
                      CountCase{"7 粒", 20, 0.35}, CountCase{"1.333 盒", 20, 1.333},
                      CountCase{"0+25", 20, 1.25}, CountCase{"32 盒 7 片", 20, -1}, // not its unit
                      CountCase{"32+7", 0, -1}, // pieces of a drug the catalogue does not know
                      CountCase{"1.5+3", 20, -1}, CountCase{"-3", 20, -1}, CountCase{"盒", 20, -1},
                      CountCase{"32 7", 20, -1}, CountCase{"", 20, -1}));

class StockTakeTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        // Two cards of the same drug: 10 boxes at 8 expiring 2005-04-30, 5 at 6 a year later.
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(Batch("8", "10")).recorded);
        CPurchaseEntry::Form later = Batch("6", "5");
        later.expiry = QDate(2006, 4, 30);
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(later).recorded);
    }
    std::vector<CStockTake::Row> Sheet() {
        QString failure;
        std::optional<std::vector<CStockTake::Row>> rows = CStockTake::Read(&Db(), false, &failure);
        EXPECT_TRUE(rows) << failure.toStdString();
        return rows.value_or(std::vector<CStockTake::Row>{});
    }
    QStringList Stocks() {
        QStringList stocks;
        for (const QStringList& row :
             QueryRows(Db(), "SELECT 现有存货量 FROM 存 ORDER BY 有效截止日期"))
            stocks << row[0];
        return stocks;
    }
};

TEST_P(StockTakeTest, SalesBetweenReadingAndConfirmingAreKept) {
    std::vector<CStockTake::Row> rows = Sheet();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].counted, "10 盒"); // the catalogue knows its pieces
    // Counted: 3 boxes short on the first card, 1 found on the second.
    rows[0].counted = QStringLiteral("7");
    rows[0].note = QStringLiteral("柜台下找不到");
    rows[1].counted = QStringLiteral("6");
    EXPECT_EQ(CStockTake::DifferenceText(rows[0]), "-3 盒");
    // Meanwhile 2 boxes of the first card are sold.
    ASSERT_TRUE(CSalesEntry(&Db()).Add(SaleOf("2", "1", "30")).recorded);

    CStockTake take(&Db(), QStringLiteral("李店长"));
    const QString before =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const CStockTake::Outcome outcome = take.Confirm(rows);
    const QString after =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
    EXPECT_EQ(outcome.recorded, 2);
    EXPECT_EQ(outcome.message, CStockTake::RecordedText(2));
    EXPECT_TRUE(Db().IsAutoCommit());
    EXPECT_EQ(Stocks(), (QStringList{"5", "6"}));
    EXPECT_EQ(QueryRows(Db(), "SELECT 有效截止日期, 数量, 成本单价, 原因, 操作员, 备注 FROM 损 "
                              "ORDER BY 单号"),
              (std::vector<QStringList>{{"2005-04-30", "3", "8", "盘亏", "李店长", "柜台下找不到"},
                                        {"2006-04-30", "-1", "6", "盘盈", "李店长", ""}}));
    // One number for the take, a part of it for each row and its log row; the clock's time.
    const auto numbers = QueryRows(Db(), "SELECT 单号, 日期时间 FROM 损 ORDER BY 单号");
    ASSERT_EQ(numbers.size(), 2u);
    const QString number = numbers[0][0].chopped(2);
    EXPECT_EQ(number.size(), 36);
    EXPECT_EQ(numbers[0][0], number + "-1");
    EXPECT_EQ(numbers[1][0], number + "-2");
    for (const QStringList& row : numbers) {
        EXPECT_GE(row[1].left(19), before);
        EXPECT_LE(row[1].left(19), after);
    }
    EXPECT_EQ(QueryRows(Db(), "SELECT 单号 FROM 日志 WHERE 动作='盘点' ORDER BY 单号"),
              (std::vector<QStringList>{{numbers[0][0]}, {numbers[1][0]}}));
    // The sheet is done: a second 确认 records nothing.
    EXPECT_FALSE(take.Confirm(rows).ok);
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 损"), "2");
}

TEST_P(StockTakeTest, StockSoldBeyondTheCountIsWrittenAsSurplusAfterTheTakesRows) {
    std::vector<CStockTake::Row> rows = Sheet();
    ASSERT_EQ(rows.size(), 2u);
    rows[0].counted = QStringLiteral("3");
    // Meanwhile 5 of the 10 boxes are sold: 7 short of 5 leaves the card at -2.
    ASSERT_TRUE(CSalesEntry(&Db()).Add(SaleOf("5", "1", "30")).recorded);
    const CStockTake::Outcome outcome = CStockTake(&Db(), QStringLiteral("李店长")).Confirm(rows);
    ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
    EXPECT_EQ(outcome.message, CStockTake::RecordedText(1) + "超出库存的 2 盒已记为盘盈。");
    EXPECT_EQ(Stocks(), (QStringList{"0", "5"}));
    const auto written =
        QueryRows(Db(), "SELECT 数量, 原因, 操作员, 备注, 单号 FROM 损 ORDER BY 单号");
    ASSERT_EQ(written.size(), 2u);
    const QString number = written[0][4].chopped(2);
    EXPECT_EQ(written[1],
              (QStringList{"-2", "盘盈", "李店长", stockshortfall::kNote, number + "-2"}));
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志 WHERE 单号='" + number + "-2'"), "1");
}

TEST_P(StockTakeTest, ARowThatIsNoCountIsNamedAndNothingIsWritten) {
    std::vector<CStockTake::Row> rows = Sheet();
    ASSERT_EQ(rows.size(), 2u);
    rows[0].counted = QStringLiteral("7");
    const std::vector<QStringList> before = AllBooks(Db());
    for (const QString& bad :
         {QStringLiteral("-1"), QStringLiteral("七"), QString(), QStringLiteral("9+3 片")}) {
        rows[1].counted = bad;
        const CStockTake::Outcome outcome = CStockTake(&Db()).Confirm(rows);
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.row, 1);
        EXPECT_EQ(outcome.message, CStockTake::InvalidCountText(1, rows[1]));
        EXPECT_TRUE(outcome.message.startsWith(QStringLiteral("第 2 行"))) << bad.toStdString();
    }
    EXPECT_EQ(AllBooks(Db()), before);
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 损"), "0");
}

TEST_P(StockTakeTest, ACountInBoxesAndPiecesIsTakenInWholePieces) {
    std::vector<CStockTake::Row> rows = Sheet();
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_TRUE(rows[0].pack); // 0.25g*24粒: 24 粒 a box
    rows[0].counted = QStringLiteral("9+18");
    EXPECT_EQ(CStockTake::DifferenceText(rows[0]), "-6 粒");
    const CStockTake::Outcome outcome = CStockTake(&Db(), QStringLiteral("李店长")).Confirm(rows);
    ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
    EXPECT_EQ(outcome.recorded, 1);
    EXPECT_EQ(QueryRows(Db(), "SELECT 数量, 原因 FROM 损"),
              (std::vector<QStringList>{{"0.25", "盘亏"}}));
    EXPECT_EQ(Stocks(), (QStringList{"9.75", "5"}));
}

TEST_P(StockTakeTest, AShortRowsCodesLeaveAsWrittenOffUnlessOneCannot) {
    std::vector<CStockTake::Row> rows = Sheet();
    ASSERT_EQ(rows.size(), 2u);
    const QStringList codes = {"81000000000000000001", "81000000000000000002"};
    const losssql::Card& c = rows[0].card;
    const traceledger::CCard card{c.name, c.origin, c.packModel, c.expiry, {}};
    const QString now = QStringLiteral("2003-05-02 10:00:00");
    {
        CTransaction capture(Db());
        ASSERT_TRUE(traceledger::Capture(Db(), codes, card, {"进-1", now, "张明"}).ok());
        ASSERT_TRUE(traceledger::Sell(Db(), {codes[1]}, card, {"销-1", now, "张三"}).ok());
        ASSERT_FALSE(capture.Commit());
    }
    const auto books = [this] {
        std::vector<QStringList> all = AllBooks(Db());
        for (const char* sql : {"SELECT * FROM 追溯码 ORDER BY 追溯码",
                                "SELECT * FROM 追溯码去向 ORDER BY 追溯码, 单号"})
            for (QStringList& row : QueryRows(Db(), QString::fromUtf8(sql)))
                all.push_back(std::move(row));
        return all;
    };
    const std::vector<QStringList> before = books();
    rows[0].counted = QStringLiteral("7");
    rows[1].counted = QStringLiteral("6");
    // A code sold already, or codes on a row that is not short: the whole take is refused.
    for (const auto& [row, code, said] :
         {std::tuple{0, codes[1], QStringLiteral("不能再次报损")},
          std::tuple{1, codes[0], CStockTake::kCodesOnlyWhenShort}}) {
        std::vector<CStockTake::Row> typed = rows;
        typed[size_t(row)].traceCodes = {code};
        const CStockTake::Outcome refused = CStockTake(&Db()).Confirm(typed);
        EXPECT_FALSE(refused.ok);
        EXPECT_EQ(refused.row, row);
        EXPECT_TRUE(refused.message.startsWith(QStringLiteral("第 %1 行").arg(row + 1)) &&
                    refused.message.contains(said))
            << refused.message.toStdString();
        EXPECT_TRUE(Db().IsAutoCommit());
        EXPECT_EQ(books(), before);
    }
    rows[0].traceCodes = {codes[0]};
    const CStockTake::Outcome outcome = CStockTake(&Db(), QStringLiteral("李店长")).Confirm(rows);
    ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
    // The code leaves under the 盘亏 row's own number, and that row's log row names it.
    const QString shortNumber = QueryValue(Db(), "SELECT 单号 FROM 损 WHERE 原因='盘亏'");
    EXPECT_EQ(QueryRows(Db(), "SELECT 状态, 出库单号 FROM 追溯码 WHERE 追溯码='" + codes[0] + "'"),
              (std::vector<QStringList>{{"报损", shortNumber}}));
    EXPECT_EQ(QueryRows(Db(), "SELECT 单号, 动作 FROM 追溯码去向 WHERE 追溯码='" + codes[0] + "'"),
              (std::vector<QStringList>{{shortNumber, "报损"}}));
    EXPECT_TRUE(QueryValue(Db(), "SELECT 内容 FROM 日志 WHERE 单号='" + shortNumber + "'")
                    .endsWith(QStringLiteral("；追溯码 1 个：") + codes[0]));
    CTransaction sale(Db());
    const traceledger::CStep sold =
        traceledger::Sell(Db(), {codes[0]}, card, {"销-2", now, "张三"});
    EXPECT_TRUE(sold.refusal.contains(QStringLiteral("报损")) &&
                sold.refusal.contains(QStringLiteral("不能再次销售")))
        << sold.refusal.toStdString();
}

APRICOT_INSTANTIATE_BACKENDS(StockTakeTest);

} // namespace
