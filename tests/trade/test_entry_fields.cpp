// Reading the entry dialogs' number fields, and the picker lists' prefix rule, without books.
#include "entry_fields.h"
#include "picker_list.h"
#include "qt_printers.h"
#include "result_table.h"
#include "sales_entry.h"
#include "scan_burst.h"

#include <cctype>
#include <gtest/gtest.h>

namespace {

using entryfields::ParseNumber;
using entryfields::ParseUnsigned;

TEST(EntryFields, NumbersMayCarryBlanksSignFractionAndExponent) {
    EXPECT_EQ(ParseNumber("12.5"), 12.5);
    EXPECT_EQ(ParseNumber("  12.5\t"), 12.5);
    EXPECT_EQ(ParseNumber("-3"), -3.0);
    EXPECT_EQ(ParseNumber("+.5"), 0.5);
    EXPECT_EQ(ParseNumber("5."), 5.0);
    EXPECT_EQ(ParseNumber("1e3"), 1000.0);
    EXPECT_EQ(ParseNumber("1234.56"), 1234.56);
}

TEST(EntryFields, AnythingElseIsNoNumber) {
    for (const char* text : {"", " ", "abc", "1.2.3", "12,5", "1 2", "0x10", "inf", "nan", "1e",
                             "1e999", ".", "-", "１２", "5\n", " 5\n ", "5\r\n"}) {
        EXPECT_FALSE(ParseNumber(QString::fromUtf8(text))) << text;
    }
}

TEST(EntryFields, CountsAreUnsignedDecimalIntegers) {
    EXPECT_EQ(ParseUnsigned("0"), 0u);
    EXPECT_EQ(ParseUnsigned(" 20 "), 20u);
    EXPECT_EQ(ParseUnsigned("007"), 7u);
    EXPECT_EQ(ParseUnsigned("4294967295"), 4294967295u);
    for (const char* text :
         {"", "-1", "+1", "1.0", "1e2", "4294967296", "99999999999999999999", "2 0", "a", "5\n"}) {
        EXPECT_FALSE(ParseUnsigned(QString::fromUtf8(text))) << text;
    }
}

TEST(EntryFields, NumbersShowInShortestPrintfForm) {
    EXPECT_EQ(entryfields::NumberText(0), "0");
    EXPECT_EQ(entryfields::NumberText(12.5), "12.5");
    EXPECT_EQ(entryfields::UnsignedText(20), "20");
}

TEST(SaleAmount, IsQuantityTimesPriceInTwoDecimals) {
    EXPECT_EQ(CSalesEntry::AmountDue(3, 0.5), "1.50");
    EXPECT_EQ(CSalesEntry::AmountDue(2, 30), "60.00");
    EXPECT_EQ(CSalesEntry::AmountDue(0, 12.5), "0.00");
    // A double: a float price of 1234.56 would show 3703.68 only by luck, 7 × 0.1 not at all.
    EXPECT_EQ(CSalesEntry::AmountDue(3, 1234.56), "3703.68");
    EXPECT_EQ(CSalesEntry::AmountDue(4294967295u, 1.0), "4294967295.00");
}

TEST(SaleAmount, WhileTypingUsesWhatParsesAndKeepsTheLastGoodValue) {
    CSalesEntry entry(nullptr);
    entry.Cleared(CSalesEntry::kWholeBox, QDateTime(QDate(2003, 5, 2), QTime(10, 0)));
    EXPECT_EQ(entry.AmountWhileTyping("1", "1"), "1.00");
    EXPECT_EQ(entry.AmountWhileTyping("1.", "1"), "1.00");
    EXPECT_EQ(entry.AmountWhileTyping("1.5", "1"), "1.50");
    EXPECT_EQ(entry.AmountWhileTyping("1.5x", "3"), "4.50");
    EXPECT_EQ(entry.AmountWhileTyping("", "-"), "4.50");
    // Clearing forgets both.
    entry.Cleared(CSalesEntry::kWholeBox, QDateTime(QDate(2003, 5, 2), QTime(10, 0)));
    EXPECT_EQ(entry.AmountWhileTyping("", ""), "0.00");
}

TEST(SaleType, WholeBoxHidesOnePieceSplitPackShowsTwenty) {
    const auto whole = CSalesEntry::RuleFor("整盒销售");
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->piecesPerBox, 1u);
    EXPECT_FALSE(whole->piecesShown);
    const auto split = CSalesEntry::RuleFor("拆零销售");
    ASSERT_TRUE(split);
    EXPECT_EQ(split->piecesPerBox, 20u);
    EXPECT_TRUE(split->piecesShown);
    EXPECT_FALSE(CSalesEntry::RuleFor(""));
    EXPECT_FALSE(CSalesEntry::RuleFor("整盒"));
}

TEST(SaleForm, ClearingStampsTheTimeAndKeepsTheSaleType) {
    CSalesEntry entry(nullptr);
    const CSalesEntry::Form form =
        entry.Cleared(CSalesEntry::kSplitPack, QDateTime(QDate(2003, 5, 2), QTime(9, 5, 7)));
    EXPECT_EQ(form.timestamp, "2003-05-02 09:05:07");
    EXPECT_EQ(form.saleType, "拆零销售");
    EXPECT_EQ(form.price, "0");
    EXPECT_EQ(form.quantity, "1");
    EXPECT_EQ(form.piecesPerBox, "20");
    EXPECT_EQ(form.amount, "0");
    EXPECT_TRUE(form.card.name.isEmpty() && form.card.expiry.isEmpty());
}

// Keys typed in runs: `pause` ms before a run's first key, `gap` ms between its others.
struct KeyRun {
    const char* keys;
    int pause;
    int gap;
};
struct BurstCase {
    const char* what;
    std::vector<KeyRun> runs;
    int enterPause;
    const char* code; // "" when the keys are typing
};

class ScanBurst : public testing::TestWithParam<BurstCase> {};

TEST_P(ScanBurst, OnlyAFastRunOfACodesShapeEndedByEnterIsAScan) {
    scanburst::CBurst burst;
    qint64 ms = 1000;
    for (const KeyRun& run : GetParam().runs) {
        for (const char* key = run.keys; *key; ++key) {
            ms += key == run.keys ? run.pause : run.gap;
            EXPECT_NE(burst.Key(QString(QLatin1Char(*key)), false, ms),
                      scanburst::CBurst::Step::Code);
        }
    }
    const bool scan = burst.Key(QStringLiteral("\r"), true, ms + GetParam().enterPause) ==
                      scanburst::CBurst::Step::Code;
    EXPECT_EQ(scan ? burst.Code() : QString(), QString::fromUtf8(GetParam().code));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ScanBurst,
    testing::Values(
        BurstCase{"EAN-13", {{"6901234567892", 0, 4}}, 4, "6901234567892"},
        BurstCase{"EAN-8", {{"69012348", 0, 30}}, 30, "69012348"},
        BurstCase{"trace code", {{"81234567890123456789", 0, 4}}, 4, "81234567890123456789"},
        BurstCase{"typed", {{"6901234567892", 0, 90}}, 90, ""},
        BurstCase{"one slow key", {{"690123", 0, 4}, {"4567892", 60, 4}}, 4, ""},
        BurstCase{"late Enter", {{"6901234567892", 0, 4}}, 200, ""},
        BurstCase{"quantity", {{"1234567", 0, 4}}, 4, ""},
        BurstCase{"16 digits", {{"6901234567892123", 0, 4}}, 4, ""},
        BurstCase{
            "a typed 2, then a scan", {{"2", 0, 0}, {"6901234567892", 400, 4}}, 4, "6901234567892"},
        BurstCase{"a letter", {{"690123", 0, 4}, {"A4567892", 4, 4}}, 4, ""}),
    [](const testing::TestParamInfo<BurstCase>& info) {
        std::string name;
        for (const char* c = info.param.what; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST(SaleForm, PickerStatementBindsTheTypedNameOnly) {
    const CStatement all = CSalesEntry::PickerStatement({});
    EXPECT_EQ(all.sql, "SELECT 名称,产地,规格型号,有效截止日期 FROM 存");
    EXPECT_TRUE(all.values.empty());
    const CStatement some = CSalesEntry::PickerStatement({"O'Neil\\ ", "", "0.25g ", "2005-04-30"});
    EXPECT_EQ(some.sql, "SELECT 名称,产地,规格型号,有效截止日期 FROM 存 WHERE 名称=?");
    EXPECT_TRUE(some.values == (sqlparams::Values{QStringLiteral("O'Neil\\")}))
        << sqlparams::Describe(some.values).toStdString();
}

TEST(SaleForm, ATypedStampIsStoredAsTheBooksReadIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"2025/6/1 10:00", "2025-06-01 10:00:00"},
        {" 2025-06-01 ", "2025-06-01 00:00:00"},
        {"2025-06-01T08:09:07.5", "2025-06-01 08:09:07"},
        {"2025-02-30 10:00", ""},
        {"明天", ""},
        {"", ""},
    };
    for (const auto& [typed, stored] : cases)
        EXPECT_EQ(CSalesEntry::StoredStamp(QString::fromUtf8(typed)), QString::fromUtf8(stored))
            << typed;
}

TEST(PickerList, ATextGoesInOnlyWhenNoItemBeginsWithIt) {
    CPickerList list;
    EXPECT_TRUE(list.Add("阿莫西林胶囊"));
    EXPECT_FALSE(list.Add("阿莫西林"));
    EXPECT_FALSE(list.Add("阿莫西林胶囊"));
    EXPECT_FALSE(list.Add("阿莫"));
    // A longer text is no beginning of the shorter item: both stay.
    EXPECT_TRUE(list.Add("阿莫西林胶囊片"));
    EXPECT_TRUE(list.Add("阿司匹林"));
    EXPECT_FALSE(list.Add(""));
    EXPECT_EQ(list.Items(), (QStringList{"阿莫西林胶囊", "阿莫西林胶囊片", "阿司匹林"}));
}

TEST(PickerList, LettersCompareWithoutRegardToCase) {
    CPickerList list;
    EXPECT_TRUE(list.Add("VC银翘片"));
    EXPECT_FALSE(list.Add("vc"));
    EXPECT_FALSE(list.Add("Vc银"));
    EXPECT_TRUE(list.HasItemBeginningWith("vC银翘"));
    EXPECT_FALSE(list.HasItemBeginningWith("VC银翘片剂"));
}

TEST(PickerList, ItemsAreSortedLikeAGbkListBox) {
    CPickerList list;
    for (const char* text : {"张明", "b", "李华", "A", "王芳", "c"})
        list.Add(QString::fromUtf8(text));
    // Latin letters without regard to case, then Chinese in GBK (pinyin) order.
    EXPECT_EQ(list.Items(), (QStringList{"A", "b", "c", "李华", "王芳", "张明"}));
}

TEST(PickerList, AColumnIsTakenInResultOrder) {
    CResultTable rows;
    rows.SetColumns({{"名称", 1}, {"产地", 1}});
    const char* cells[][2] = {{"阿莫西林", "甲"}, {"阿莫西林胶囊", "乙"}, {"阿莫西林", "甲厂"}};
    for (const auto& row : cells) {
        const int r = rows.AppendRow();
        rows.SetCell(r, 0, QString::fromUtf8(row[0]));
        rows.SetCell(r, 1, QString::fromUtf8(row[1]));
    }
    // 阿莫西林 came first, so the longer name is still added after it.
    EXPECT_EQ(CPickerList::FromColumn(rows, 0), (QStringList{"阿莫西林", "阿莫西林胶囊"}));
    EXPECT_EQ(CPickerList::FromColumn(rows, 1), (QStringList{"甲", "甲厂", "乙"}));
    EXPECT_TRUE(CPickerList::FromColumn(rows, 2).isEmpty());
}

TEST(PickerList, TenThousandCardsComeOutSorted) {
    CResultTable rows;
    rows.SetColumns({{"名称", 1}});
    for (int i = 0; i < 10000; ++i)
        rows.SetCell(rows.AppendRow(), 0,
                     QStringLiteral("药品%1").arg(9999 - i, 5, 10, QLatin1Char('0')));
    const QStringList items = CPickerList::FromColumn(rows, 0);
    ASSERT_EQ(items.size(), 10000);
    EXPECT_EQ(items.front(), "药品00000");
    EXPECT_EQ(items.back(), "药品09999");
}

} // namespace
