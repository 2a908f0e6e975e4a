// Trace codes on both backends: a box taken once whatever the counter, split packs, and codes
// of the wrong shape.
#include "CDBException.h"
#include "CTestBooks.h"
#include "CTransaction.h"
#include "query_rows.h"
#include "trace_ledger.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace traceledger;

const CCard kCard{"阿莫西林", "广州", "0.25g*24", "2027-01-01", "B01"};
const CCard kOtherCard{"阿莫西林", "广州", "0.25g*24", "2028-06-30", "B02"};
const QString kCode = QStringLiteral("81234567890123456789");

CMove Move(const char* number, const char* time = "2026-12-08 10:31:07", const char* who = "张三") {
    return {QString::fromUtf8(number), QString::fromUtf8(time), QString::fromUtf8(who)};
}

class TraceLedgerTest : public CBooksTest {
protected:
    // The codes' rows, for "nothing changed".
    std::vector<QStringList> Codes() {
        return QueryRows(Db(), "SELECT 追溯码,状态,剩余,出库单号 FROM 追溯码 ORDER BY 追溯码");
    }
    void Captured(const QStringList& codes) {
        Exec("INSERT INTO 进 (采购日期, 采购人, 大类, 小类, 编号, 名称, 产地, 规格型号, 批号, "
             "有效截止日期, 进价, 数量, 录入员, 单号) VALUES ('2026-12-01 09:00:00', '张明', "
             "'西药', '抗生素', 'X1', '阿莫西林', '广州', '0.25g*24', 'B01', '2027-01-01', 2.5, "
             "10, '李四', 'P1')");
        const CStep step = Capture(Db(), codes, kCard, Move("P1", "2026-12-01 09:00:00", "李四"));
        ASSERT_TRUE(step.ok()) << step.refusal.toStdString();
    }
};

// Whatever took a box out first, a second sale is refused naming it, and changes nothing.
TEST_P(TraceLedgerTest, ABoxThatLeftIsNeverSoldAgain) {
    struct Case {
        const char* firstState; // 已售 for a sale
        const char* word;
    };
    for (const Case& c : {Case{"已售", "售出"}, Case{"报损", "报损"}, Case{"退货", "退货"}}) {
        SCOPED_TRACE(c.word);
        Exec("DELETE FROM 追溯码");
        Exec("DELETE FROM 追溯码去向");
        const QString state = QString::fromUtf8(c.firstState);
        const CStep first = state == kSold ? Sell(Db(), {kCode}, kCard, Move("S1"))
                                           : TakeOut(Db(), {kCode}, kCard, state, Move("S1"));
        ASSERT_TRUE(first.ok()) << first.refusal.toStdString();
        const std::vector<QStringList> before = Codes();
        EXPECT_EQ(before, (std::vector<QStringList>{{kCode, state, "0", "S1"}}));

        const CStep again =
            Sell(Db(), {" " + kCode + " "}, kCard, Move("S2", "2026-12-09 08:00:00"));
        EXPECT_EQ(again.refusal, QStringLiteral("该追溯码已于 2026-12-08 10:31 由 张三 %1（单号 "
                                                "S1），不能再次销售")
                                     .arg(QString::fromUtf8(c.word)));
        EXPECT_EQ(again.code, kCode);
        EXPECT_EQ(Codes(), before);
        EXPECT_EQ(CodesOf(Db(), "S1"), QStringList{kCode});
        EXPECT_TRUE(CodesOf(Db(), "S2").isEmpty());
    }
}

// Two counters take the same box at once, captured at goods-in or first seen there: one
// records, the other is refused naming it; never both.
TEST_P(TraceLedgerTest, TwoCountersAtOnceOneRecordsTheOtherIsRefused) {
    for (const bool captured : {true, false}) {
        SCOPED_TRACE(captured ? "captured" : "first seen at the sale");
        Exec("DELETE FROM 进");
        Exec("DELETE FROM 追溯码");
        Exec("DELETE FROM 追溯码去向");
        if (captured)
            Captured({kCode});
        std::unique_ptr<CDatabase> counters[] = {Books().OpenAnotherConnection(),
                                                 Books().OpenAnotherConnection()};
        CStep steps[2];
        std::atomic<int> ready{0};
        std::thread threads[2];
        for (int i = 0; i < 2; ++i)
            threads[i] = std::thread([&, i] {
                CDatabase& db = *counters[i];
                ++ready;
                while (ready < 2) {
                }
                try {
                    CTransaction sale(db);
                    steps[i] = Sell(db, {kCode}, kCard, Move(i == 0 ? "A" : "B"));
                    if (steps[i].ok())
                        (void)sale.Commit();
                } catch (const CDBException& e) {
                    steps[i].refusal = QStringLiteral("failed: ") + e.ErrorText();
                }
            });
        for (std::thread& t : threads)
            t.join();
        ASSERT_NE(steps[0].ok(), steps[1].ok())
            << steps[0].refusal.toStdString() << " / " << steps[1].refusal.toStdString();
        const QString winner = steps[0].ok() ? "A" : "B";
        EXPECT_EQ(
            steps[steps[0].ok() ? 1 : 0].refusal,
            QStringLiteral("该追溯码已于 2026-12-08 10:31 由 张三 售出（单号 %1），不能再次销售")
                .arg(winner));
        EXPECT_EQ(QueryRows(Db(), "SELECT 状态,出库单号 FROM 追溯码"),
                  (std::vector<QStringList>{{"已售", winner}}));
        EXPECT_EQ(QueryRows(Db(), "SELECT 单号 FROM 追溯码去向"),
                  (std::vector<QStringList>{{winner}}));
    }
}

// The first split sale opens the box; later ones take from it without a scan until it is
// empty; meanwhile it cannot be sold whole, and nothing more can be taken without a code.
TEST_P(TraceLedgerTest, ASplitPackOpensABoxOnceAndEmptiesIt) {
    Captured({kCode});
    ASSERT_TRUE(SellPieces(Db(), kCode, kCard, 4, 10, true, Move("S1")).ok());
    EXPECT_EQ(Codes(), (std::vector<QStringList>{{kCode, "拆零中", "6", "S1"}}));
    EXPECT_EQ(Sell(Db(), {kCode}, kCard, Move("S2")).refusal,
              QStringLiteral("该追溯码的药盒已拆零，不能整盒销售"));
    // More than it holds is refused, not split over boxes.
    EXPECT_FALSE(SellPieces(Db(), "", kCard, 7, 10, true, Move("S3")).ok());
    EXPECT_FALSE(SellPieces(Db(), "", kOtherCard, 1, 10, true, Move("S3")).ok());
    EXPECT_EQ(Codes(), (std::vector<QStringList>{{kCode, "拆零中", "6", "S1"}}));

    for (const char* sale : {"S4", "S5"}) {
        const CStep step = SellPieces(Db(), "", kCard, 3, 10, true, Move(sale));
        ASSERT_TRUE(step.ok()) << step.refusal.toStdString();
        EXPECT_EQ(CodesOf(Db(), QString::fromUtf8(sale)), QStringList{kCode});
    }
    EXPECT_EQ(Codes(), (std::vector<QStringList>{{kCode, "已售", "0", "S5"}}));
    EXPECT_EQ(
        QueryRows(Db(), "SELECT 单号,动作,数量 FROM 追溯码去向 ORDER BY 单号"),
        (std::vector<QStringList>{{"S1", "拆零", "4"}, {"S4", "拆零", "3"}, {"S5", "拆零", "3"}}));
    // Empty: a code is needed again when the rule asks for one, and nothing is taken without.
    EXPECT_FALSE(SellPieces(Db(), "", kCard, 1, 10, true, Move("S6")).ok());
    EXPECT_TRUE(SellPieces(Db(), "", kCard, 1, 10, false, Move("S6")).ok());
    EXPECT_TRUE(CodesOf(Db(), "S6").isEmpty());
}

// A code that is no trace code is refused before anything is looked up, and changes nothing;
// a GS1 data matrix is kept as its GTIN and serial, however the scanner typed it.
TEST_P(TraceLedgerTest, OnlyTraceCodesAreTaken) {
    struct Case {
        const char* typed;
        const char* kept; // empty: refused
    };
    const Case cases[] = {
        {"8123456789012345678", ""},   // 19 digits
        {"812345678901234567890", ""}, // 21 digits
        {"8123456789O123456789", ""},  // a letter O
        {"", ""},
        {"(01)06901234567892(17)270101(10)B01", ""}, // no serial
        {"(01)06901234567893(21)SN001", ""},         // check digit
        {"(01)06901234567892(21)SN 01", ""},
        {"(01)06901234567892(21)A1", "(01)06901234567892(21)A1"},
        {"(01)06901234567892(17)270101(10)B01(21)SN001", "(01)06901234567892(21)SN001"},
        {"]d201069012345678921710101\x1d"
         "21SN002",
         ""}, // (17) must be six digits
        {"]d2010690123456789217270101"
         "10B01\x1d"
         "21SN002",
         "(01)06901234567892(21)SN002"},
        {"  81234567890123456789 ", "81234567890123456789"},
    };
    for (const Case& c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        const QString kept = QString::fromUtf8(c.kept);
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(tracecode::Normalized(typed), kept);
        EXPECT_EQ(tracecode::Problem(typed).isEmpty(), !kept.isEmpty());
        const CStep step = Sell(Db(), {kCode, typed}, kCard, Move("S1"));
        EXPECT_EQ(step.ok(), !kept.isEmpty() && kept != kCode) << step.refusal.toStdString();
        if (step.ok()) {
            EXPECT_EQ(CodesOf(Db(), "S1"), (QStringList{kCode, kept}));
            Exec("DELETE FROM 追溯码");
            Exec("DELETE FROM 追溯码去向");
        }
        EXPECT_FALSE(Capture(Db(), {typed, typed}, kCard, Move("P1")).ok());
        EXPECT_TRUE(Codes().empty());
    }
    EXPECT_TRUE(tracecode::IsTraceShape(kCode));
    EXPECT_FALSE(tracecode::IsTraceShape("6901234567892"));
}

// Goods-in refuses the whole list when one code is in the books already, naming where it came in.
TEST_P(TraceLedgerTest, CaptureRefusesACodeAlreadyInTheBooks) {
    Captured({kCode});
    const QString fresh = QStringLiteral("81234567890123450000");
    const CStep again = Capture(Db(), {fresh, kCode}, kOtherCard, Move("P2"));
    EXPECT_EQ(again.refusal, QStringLiteral("追溯码 %1 已于 2026-12-01 09:00 由 李四 入库（单号 "
                                            "P1），不能重复入库")
                                 .arg(kCode));
    EXPECT_FALSE(Find(Db(), fresh).has_value());
    // A code first seen at a sale cannot come in afterwards either.
    ASSERT_TRUE(Sell(Db(), {fresh}, kOtherCard, Move("S1")).ok());
    EXPECT_EQ(Capture(Db(), {fresh}, kOtherCard, Move("P3")).refusal,
              QStringLiteral("追溯码 %1 已于 2026-12-08 10:31 由 张三 售出（单号 S1），不能再入库")
                  .arg(fresh));
    // The scan field picks the card of a code in stock, and of no other.
    EXPECT_EQ(CardInStock(&Db(), kCode).value_or(CCard{}).expiry, kCard.expiry);
    EXPECT_FALSE(CardInStock(&Db(), fresh).has_value());
    // A box of another card is not the drug being sold.
    EXPECT_EQ(Sell(Db(), {kCode}, kOtherCard, Move("S2")).refusal,
              QStringLiteral("该追溯码属于 阿莫西林 广州 0.25g*24（有效期至 2027-01-01），不是正在"
                             "销售的药品"));
}

APRICOT_INSTANTIATE_BACKENDS(TraceLedgerTest);

} // namespace
