// The sales entry on both backends: the picker lists, what 添加 checks, what a sale writes, and
// that a failed sale leaves the books as they were, with the connection back in auto-commit.
#include "entry_books.h"
#include "recording_prompts.h"

#include "CDBException.h"
#include "entry_statements.h"
#include "loss_statements.h"

#include <stdexcept>

namespace {

using namespace entrytest;

class SalesEntryTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        // One card of 10 boxes at 8.
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(Batch("8", "10")).recorded);
        m_entry = CSalesEntry(&Db());
    }
    CEntryOutcome Add(const CSalesEntry::Form& form) {
        CEntryOutcome outcome = m_entry.Add(form);
        EXPECT_TRUE(Db().IsAutoCommit());
        return outcome;
    }
    void Record(const CSalesEntry::Form& form) {
        const CEntryOutcome outcome = Add(form);
        ASSERT_TRUE(outcome.recorded) << outcome.status.toStdString();
    }
    std::vector<QStringList> Sales() {
        return QueryRows(Db(),
                         "SELECT 零售价,数量,销售类型,实收金额,坏帐 FROM 销 ORDER BY 日期时间");
    }
    QString Stock() { return QueryValue(Db(), "SELECT 现有存货量 FROM 存"); }
    // 阿莫西林胶囊 of Batch in the catalogue under `code`: 12.5 a box, 0.6 a piece, 24 a box.
    void CatalogueAmoxicillin(const char* code) {
        Exec("DELETE FROM 药品");
        Exec(QStringLiteral("INSERT INTO 药品(名称,产地,规格型号,条形码,每盒总量,零售价,拆零价) "
                            "VALUES('阿莫西林胶囊','石药集团','0.25g*24粒','%1',24,12.5,0.6)")
                 .arg(QString::fromUtf8(code)));
    }

    CRecordingPrompts m_prompts;
    CSalesEntry m_entry{nullptr};
};

TEST_P(SalesEntryTest, SplitPackSaleWritesAFractionOfABox) {
    const CEntryOutcome outcome = Add(SaleOf("3", "20", "0.5"));
    EXPECT_TRUE(outcome.recorded);
    EXPECT_EQ(outcome.status, "新的销售记录已经被系统接纳");
    EXPECT_EQ(outcome.focus, CSalesEntry::IdName);
    EXPECT_EQ(Sales(), (std::vector<QStringList>{{"0.5", "0.15", "拆零销售", "1.5", "0"}}));
    // Committed: another connection sees it.
    EXPECT_EQ(QueryValue(*Books().OpenAnotherConnection(), "SELECT 现有存货量 FROM 存"), "9.85");
    EXPECT_EQ(QueryValue(Db(), "SELECT 日期时间 FROM 销").left(19), "2003-05-02 10:15:30");
}

TEST_P(SalesEntryTest, WholeBoxSaleOfTwoAtThirty) {
    const CSalesEntry::Form form = SaleOf("2", "1", "30");
    EXPECT_EQ(form.amount, "60.00");
    Record(form);
    EXPECT_EQ(Sales(), (std::vector<QStringList>{{"30", "2", "整盒销售", "60", "0"}}));
    EXPECT_EQ(Stock(), "8");
}

TEST_P(SalesEntryTest, EachEntryNamesTheOperatorWhoMadeIt) {
    ASSERT_TRUE(CPurchaseEntry(&Db(), QStringLiteral("李四")).Add(Batch("8", "5")).recorded);
    ASSERT_TRUE(CSalesEntry(&Db(), QStringLiteral("张三")).Add(SaleOf("1", "1", "30")).recorded);
    EXPECT_EQ(QueryRows(Db(), "SELECT 录入员 FROM 进 ORDER BY 数量"),
              (std::vector<QStringList>{{"李四"}, {""}}));
    EXPECT_EQ(QueryValue(Db(), "SELECT 营业员 FROM 销"), "张三");
    // Each with its log row, written in the entry's transaction; a refused sale writes none.
    // (A purchase of a new drug also enters the catalogue, with a row of its own.)
    const QString entries =
        QStringLiteral("SELECT 操作员, 动作, 对象 FROM 日志 WHERE 对象<>'药品' ORDER BY 序号");
    const std::vector<QStringList> log{
        {"", "进货", "进"}, {"李四", "进货", "进"}, {"张三", "销售", "销"}};
    EXPECT_EQ(QueryRows(Db(), entries), log);
    // Each carrying the digest of the row it wrote.
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志 WHERE 行校验=''"), "0");
    CSalesEntry::Form noCard = SaleOf("1", "1", "30");
    noCard.card.expiry = QStringLiteral("2005-05-01");
    EXPECT_FALSE(CSalesEntry(&Db(), QStringLiteral("张三")).Add(noCard).recorded);
    EXPECT_EQ(QueryRows(Db(), entries), log);
    EXPECT_TRUE(QueryValue(Db(), "SELECT 内容 FROM 日志 WHERE 动作='销售'")
                    .startsWith(QStringLiteral(
                        "阿莫西林胶囊（石药集团，0.25g*24粒，有效期至 2005-04-30）1 盒")));
}

TEST_P(SalesEntryTest, SellingMoreThanOnHandRecordsAllAndEndsAtZero) {
    Exec("INSERT INTO 存(名称,产地,规格型号,有效截止日期,平均成本单价,现有存货量) "
         "VALUES('别的药','甲','乙','2006-01-01',1,-3)");
    Record(SaleOf("12", "1", "9.9"));
    EXPECT_EQ(Sales(), (std::vector<QStringList>{{"9.9", "12", "整盒销售", "118.8", "0"}}));
    EXPECT_EQ(Stock(), "0");
    // Every negative card is set to 0, not only the one sold from.
    EXPECT_EQ(QueryValue(Db(), "SELECT 现有存货量 FROM 存 WHERE 名称='别的药'"), "0");
}

TEST_P(SalesEntryTest, QuantityZeroRecordsASaleOfNothing) {
    const CSalesEntry::Form form = SaleOf("0", "1", "12.5");
    EXPECT_EQ(form.amount, "0.00");
    Record(form);
    EXPECT_EQ(Sales(), (std::vector<QStringList>{{"12.5", "0", "整盒销售", "0", "0"}}));
    EXPECT_EQ(Stock(), "10");
}

TEST_P(SalesEntryTest, DoublesKeepEveryDigit) {
    Record(SaleOf("3", "1", "1234.56"));
    EXPECT_EQ(Sales(), (std::vector<QStringList>{{"1234.56", "3", "整盒销售", "3703.68", "0"}}));
}

TEST_P(SalesEntryTest, TheAmountGoesInAsShown) {
    // After clearing the form shows "0", not "0.00".
    CSalesEntry::Form form = SaleOf("1", "1", "0");
    form.amount = "0";
    Record(form);
    EXPECT_EQ(QueryValue(Db(), "SELECT 实收金额 FROM 销"), "0");
}

TEST_P(SalesEntryTest, PiecesPerBoxZeroIsRefusedAndWritesNothing) {
    const auto before = AllBooks(Db());
    const CEntryOutcome outcome = Add(SaleOf("3", "0", "0.5"));
    EXPECT_FALSE(outcome.recorded);
    EXPECT_EQ(outcome.status, CSalesEntry::kPiecesPerBoxZero);
    EXPECT_EQ(outcome.focus, CSalesEntry::IdPiecesPerBox);
    EXPECT_EQ(AllBooks(Db()), before);
}

// Sales are told apart by their numbers, not their seconds: one typed stamp twice is two
// sales, and a stamp left to the program is the clock's when 添加 is pressed.
TEST_P(SalesEntryTest, SalesOfOneSecondAreAllRecordedAndAnUntypedStampIsTheTimeOfAdding) {
    Record(SaleOf("1", "1", "10"));
    Record(SaleOf("2", "1", "10"));
    CSalesEntry::Form untyped = SaleOf("1", "1", "10"); // as the form was cleared, long ago
    untyped.timestampTyped = false;
    untyped.expiredAccepted = true; // sold today from the card that expired in 2005
    m_entry.SetExpiredLocked(false);
    const QDateTime before = QDateTime::currentDateTime().addMSecs(-1000);
    Record(untyped);
    const QDateTime after = QDateTime::currentDateTime();
    const std::vector<QStringList> rows =
        QueryRows(Db(), "SELECT 日期时间,数量,单号 FROM 销 ORDER BY 日期时间,数量");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][0].left(19), "2003-05-02 10:15:30");
    EXPECT_EQ(rows[1][0].left(19), "2003-05-02 10:15:30");
    const QDateTime stamp = QDateTime::fromString(rows[2][0].left(19), "yyyy-MM-dd HH:mm:ss");
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, after);
    EXPECT_NE(rows[0][2], rows[1][2]);
    // Each log row carries the number of the sale it records.
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志 WHERE 动作='销售' AND 单号 IN "
                               "(SELECT 单号 FROM 销)"),
              "3");
    EXPECT_EQ(Stock(), "6");
}

TEST_P(SalesEntryTest, ATypedStampIsReadAsTheBooksReadItBeforeTheExpiredLock) {
    // The card expired on 2005-04-30: a sale typed for the next day in another form is refused.
    const auto books = AllBooks(Db());
    const CEntryOutcome late = Add(SaleOf("1", "1", "12", "2005/5/1 10:00"));
    EXPECT_EQ(late.status, CSalesEntry::ExpiredLockedText("2005-04-30"));
    const CEntryOutcome junk = Add(SaleOf("1", "1", "12", "2005-04-31 10:00"));
    EXPECT_EQ(junk.status, CSalesEntry::kStampInvalid);
    EXPECT_EQ(junk.focus, CSalesEntry::IdTimestamp);
    EXPECT_EQ(AllBooks(Db()), books);
    Record(SaleOf("1", "1", "12", "2005/4/30 10:00"));
    EXPECT_EQ(QueryValue(Db(), "SELECT 日期时间 FROM 销").left(19), "2005-04-30 10:00:00");
}

TEST_P(SalesEntryTest, ACardTypedWithTrailingBlanksIsFoundAndSold) {
    // The purchase stores the name as the pickers will offer it.
    CPurchaseEntry::Form batch = Batch("5", "4");
    batch.name = QStringLiteral("板蓝根颗粒 ");
    batch.origin = QStringLiteral(" 白云山\t");
    ASSERT_TRUE(CPurchaseEntry(&Db()).Add(batch).recorded);
    const CSalesEntry::Card typed{QStringLiteral("板蓝根颗粒  "), QString(), QString(), QString()};
    const std::optional<CSalesEntry::Lists> lists = m_entry.PickerLists(typed, nullptr);
    ASSERT_TRUE(lists.has_value());
    EXPECT_TRUE(lists->names.contains("板蓝根颗粒"));
    EXPECT_EQ(lists->origins, QStringList{" 白云山"});

    CSalesEntry::Form form = SaleOf("1", "1", "9");
    form.card = {typed.name, lists->origins[0] + QStringLiteral(" "), lists->packModels[0],
                 lists->expiries[0]};
    Record(form);
    EXPECT_EQ(QueryValue(Db(), "SELECT 现有存货量 FROM 存 WHERE 名称='板蓝根颗粒'"), "3");
}

TEST_P(SalesEntryTest, CardHintNamesTheBatchToSellFirst) {
    // The card of Batch (2005-04-30, 10 boxes) and three more of the same drug.
    for (const char* card : {"'2004-11-30', 8, 3", "'2004-09-30', 8, 0", "'2004-01-31', 8, 5"})
        Exec(QStringLiteral("INSERT INTO 存 VALUES ('阿莫西林胶囊','石药集团','0.25g*24粒',%1)")
                 .arg(QString::fromUtf8(card)));
    const QDate today(2004, 5, 1);
    CSalesEntry::Card card = SaleOf("1", "1", "10").card;
    // Sold out and expired batches are passed over; the earliest with stock comes first.
    EXPECT_EQ(m_entry.CardHint(card, today),
              "库存 10 盒 · 2005-04-30 到期（还有 364 天） · 先售 2004-11-30 批（余 3 盒）");
    card.expiry = "2004-11-30 ";
    EXPECT_EQ(m_entry.CardHint(card, today), "库存 3 盒 · 2004-11-30 到期（还有 213 天）");
    card.expiry = "2004-01-31";
    // An expired card: no batch of it expires earlier.
    EXPECT_EQ(m_entry.CardHint(card, today), "库存 5 盒 · 2004-01-31 到期（已过期 91 天）");
    card.packModel.clear();
    EXPECT_TRUE(m_entry.CardHint(card, today).isEmpty());
}

TEST_P(SalesEntryTest, UnlockedACardExpiredBeforeTheSaleDayAsksBeforeWriting) {
    m_entry.SetExpiredLocked(false);
    // The card's last day still sells without a question.
    Record(SaleOf("1", "1", "12", "2005-04-30 23:59:59"));
    CSalesEntry::Form late = SaleOf("1", "1", "12", "2005-05-01 00:00:00");
    const CEntryOutcome asked = Add(late);
    EXPECT_FALSE(asked.recorded);
    EXPECT_EQ(asked.question, "该批药品已于 2005-04-30 过期，确定要销售吗？");
    EXPECT_EQ(asked.declined, "已取消：该批药品已过期");
    EXPECT_EQ(Sales().size(), 1u);
    late.expiredAccepted = true;
    Record(late);
    EXPECT_EQ(Stock(), "8");
}

TEST_P(SalesEntryTest, LockedByDefaultACardExpiredBeforeTheSaleDayIsRefusedAndWritesNothing) {
    // The card's last day still sells.
    Record(SaleOf("1", "1", "12", "2005-04-30 23:59:59"));
    const auto books = AllBooks(Db());
    const QString log = Count(Db(), "日志");
    CSalesEntry::Form late = SaleOf("1", "1", "12", "2005-05-01 00:00:00");
    // Not even a Yes to the question that no longer comes lets it through.
    for (bool accepted : {false, true}) {
        late.expiredAccepted = accepted;
        const CEntryOutcome refused = Add(late);
        EXPECT_FALSE(refused.recorded);
        EXPECT_TRUE(refused.question.isEmpty());
        EXPECT_EQ(refused.message, "该批药品已于 2005-04-30 过期，已禁止销售，请报损处理");
        EXPECT_EQ(refused.message, CSalesEntry::ExpiredLockedText("2005-04-30"));
        EXPECT_EQ(refused.status, refused.message);
        EXPECT_EQ(refused.focus, CSalesEntry::IdExpiry);
        EXPECT_EQ(AllBooks(Db()), books);
        EXPECT_EQ(Count(Db(), "日志"), log);
    }
    EXPECT_EQ(Stock(), "9");
}

TEST_P(SalesEntryTest, FieldsAreCheckedInOrder) {
    CSalesEntry::Form form = SaleOf("x", "y", "z");
    CEntryOutcome outcome = Add(form);
    EXPECT_EQ(outcome.message, "Please enter a number.");
    EXPECT_EQ(outcome.focus, CSalesEntry::IdPrice);
    EXPECT_TRUE(outcome.status.isNull());
    form.price = " 0.5 ";
    outcome = Add(form);
    EXPECT_EQ(outcome.message, "Please enter a positive integer.");
    EXPECT_EQ(outcome.focus, CSalesEntry::IdQuantity);
    form.quantity = "-3";
    EXPECT_EQ(Add(form).focus, CSalesEntry::IdQuantity);
    form.quantity = " 3";
    outcome = Add(form);
    EXPECT_EQ(outcome.message, "Please enter a positive integer.");
    EXPECT_EQ(outcome.focus, CSalesEntry::IdPiecesPerBox);
    form.piecesPerBox = "20 ";
    form.amount = "1.50";

    for (auto clear : {&CSalesEntry::Card::name, &CSalesEntry::Card::origin,
                       &CSalesEntry::Card::packModel, &CSalesEntry::Card::expiry}) {
        CSalesEntry::Form missing = form;
        missing.card.*clear = QString();
        missing.amount.clear();
        outcome = Add(missing);
        EXPECT_TRUE(outcome.message.isEmpty());
        EXPECT_EQ(outcome.status, "名称，产地，规格型号,有效截止日期 必须填写");
    }
    CSalesEntry::Form noAmount = form;
    noAmount.amount.clear();
    EXPECT_EQ(Add(noAmount).status, "应付金额 无效");
    EXPECT_EQ(Count(Db(), "销"), "0");
    Record(form);
}

TEST_P(SalesEntryTest, ACardThatDoesNotExistIsReportedAndNothingWritten) {
    CSalesEntry::Form form = SaleOf("1", "1", "10");
    form.card.expiry = "2005-05-01";
    const auto before = AllBooks(Db());
    EXPECT_EQ(Add(form).status,
              "库存中无此药品，仔细审改后重新输入,或者重下拉列表中选择一个有效的项");
    EXPECT_EQ(AllBooks(Db()), before);
}

TEST_P(SalesEntryTest, ALookupThatCannotRunIsReported) {
    CDatabase closed;
    CSalesEntry offline(&closed);
    const CEntryOutcome refused = offline.Add(SaleOf("1", "1", "10"));
    EXPECT_EQ(refused.status, "打开数据库表[库存]发生错误，可能是输入有误");
    EXPECT_TRUE(refused.message.isEmpty());
    Exec("DROP TABLE 存");
    const CEntryOutcome failed = Add(SaleOf("1", "1", "10"));
    EXPECT_EQ(failed.status, "打开数据库表[库存]发生错误，可能是输入有误");
    // The driver's text comes first, to be shown as the record grid shows it.
    EXPECT_FALSE(failed.message.isEmpty());
    EXPECT_EQ(Count(Db(), "销"), "0");
}

TEST_P(SalesEntryTest, AStockUpdateMatchingNoCardRollsTheSaleBack) {
    // The card goes between the lookup and the sale (another counter deleted it).
    bool deleted = false;
    Db().SetStatementHook([&](const QString& sql) {
        if (!deleted && sql.startsWith(QStringLiteral("SELECT 名称,产地,规格型号,有效截止日期"))) {
            deleted = true;
            Db().ExecuteSQL(QStringLiteral("DELETE FROM 存"));
        }
    });
    const CEntryOutcome outcome = Add(SaleOf("1", "1", "10"));
    Db().SetStatementHook({});
    ASSERT_TRUE(deleted);
    EXPECT_FALSE(outcome.recorded);
    EXPECT_EQ(outcome.status, CSalesEntry::kNoSuchCard);
    EXPECT_EQ(Count(Db(), "销"), "0");
}

TEST_P(SalesEntryTest, StockSoldBeyondTheCardsIsWrittenAsSurplusBeforeTheClamp) {
    // A second card left below 0 by a peer that clamps in a statement of its own.
    CPurchaseEntry::Form later = Batch("6", "5");
    later.expiry = QDate(2006, 4, 30);
    ASSERT_TRUE(CPurchaseEntry(&Db()).Add(later).recorded);
    Exec("UPDATE 存 SET 现有存货量=-1 WHERE 有效截止日期='2006-04-30'");
    const CEntryOutcome outcome = Add(SaleOf("12", "1", "10"));
    ASSERT_TRUE(outcome.recorded) << outcome.status.toStdString();
    EXPECT_EQ(outcome.status, CSalesEntry::kRecorded + "，超出库存的 3 盒已记为盘盈");
    const QString number = outcome.recordedNumber;
    EXPECT_EQ(QueryRows(Db(), "SELECT 现有存货量 FROM 存 ORDER BY 有效截止日期"),
              (std::vector<QStringList>{{"0"}, {"0"}}));
    // Each card's stock found at its cost, under the sale's number and a part of it.
    EXPECT_EQ(QueryRows(Db(), "SELECT 有效截止日期, 数量, 成本单价, 原因, 备注, 单号 FROM 损 "
                              "ORDER BY 有效截止日期"),
              (std::vector<QStringList>{
                  {"2005-04-30", "-2", "8", "盘盈", "销售超出账面库存", number},
                  {"2006-04-30", "-1", "6", "盘盈", "销售超出账面库存", number + "-2"}}));
    // Each with its log row, carrying the digest of the row it wrote.
    EXPECT_EQ(QueryRows(Db(), "SELECT 单号 FROM 日志 WHERE 对象='损' AND 行校验<>'' ORDER BY 单号"),
              (std::vector<QStringList>{{number}, {number + "-2"}}));
}

TEST_P(SalesEntryTest, AFailedClampKeepsTheSaleAndTheReduction) {
    Db().SetStatementHook([](const QString& sql) {
        if (sql == losssql::ClampNegativeStock().sql)
            throw CDBException(QStringLiteral("clamp refused\n"));
    });
    const CEntryOutcome outcome = Add(SaleOf("12", "1", "10"));
    Db().SetStatementHook({});
    // Recorded all the same, and told so: pressed again, it would be a second sale.
    EXPECT_EQ(outcome.status, CSalesEntry::kRecorded + "；clamp refused\n");
    EXPECT_TRUE(outcome.recorded);
    EXPECT_EQ(Count(*Books().OpenAnotherConnection(), "销"), "1");
    // The clamp's own work is undone, the surplus written before it too: the card stays below
    // zero, as it was left.
    EXPECT_EQ(Stock(), "-2");
    EXPECT_EQ(Count(Db(), "损"), "0");
}

TEST_P(SalesEntryTest, AnExceptionInsideTheSaleLeavesNothingAndAutoCommitOn) {
    const auto before = AllBooks(Db());
    for (const char* after : {"INSERT INTO 销", "UPDATE 存 SET", "UPDATE 存 set"}) {
        Db().SetStatementHook([after](const QString& sql) {
            if (sql.startsWith(QString::fromUtf8(after)))
                throw std::runtime_error("fault");
        });
        EXPECT_THROW(m_entry.Add(SaleOf("1", "1", "10")), std::runtime_error);
        Db().SetStatementHook({});
        EXPECT_TRUE(Db().IsAutoCommit());
        EXPECT_EQ(AllBooks(Db()), before) << after;
    }
    Db().SetStatementHook([](const QString& sql) {
        if (sql.startsWith(QStringLiteral("UPDATE 存 SET")))
            throw CDBException(QStringLiteral("gone\n"));
    });
    EXPECT_EQ(Add(SaleOf("1", "1", "10")).status, "gone\n");
    Db().SetStatementHook({});
    EXPECT_EQ(AllBooks(Db()), before);
    Record(SaleOf("1", "1", "10"));
    EXPECT_EQ(Stock(), "9");
}

TEST_P(SalesEntryTest, QuotesStayInsideTheirTexts) {
    CPurchaseEntry::Form card = Batch("1", "5");
    card.name = "O'Neil's";
    ASSERT_TRUE(CPurchaseEntry(&Db()).Add(card).recorded);
    CSalesEntry::Form form = SaleOf("1", "1", "2");
    form.card.name = card.name;
    Record(form);
    EXPECT_EQ(QueryValue(Db(), "SELECT 名称 FROM 销"), "O'Neil's");
    EXPECT_EQ(QueryValue(Db(), "SELECT 现有存货量 FROM 存 WHERE 名称='O''Neil''s'"), "4");
    const auto lists = m_entry.PickerLists({card.name, "", "", ""}, nullptr);
    ASSERT_TRUE(lists);
    EXPECT_EQ(lists->origins, QStringList{card.origin});
}

// 销售须扫追溯码 ticked: a whole-box sale of n boxes needs n codes, which leave the books with
// it; a code the ledger refuses takes the sale back; unticked, no code is demanded.
TEST_P(SalesEntryTest, WholeBoxSalesNeedACodeABoxOnlyWhileRequired) {
    const QStringList codes{"81234567890123456781", "81234567890123456782"};
    CPurchaseEntry::Form boxes = Batch("8", "2");
    boxes.traceCodes = codes;
    ASSERT_TRUE(CPurchaseEntry(&Db()).Add(boxes).recorded);
    m_entry = CSalesEntry(&Db(), QStringLiteral("张三"));
    m_entry.SetCodesRequired(true);
    const auto books = [this] {
        std::vector<QStringList> rows = AllBooks(Db());
        for (QStringList& row : QueryRows(Db(), "SELECT * FROM 追溯码 ORDER BY 追溯码"))
            rows.push_back(std::move(row));
        rows.push_back({Count(Db(), "追溯码去向"), Count(Db(), "日志")});
        return rows;
    };

    CSalesEntry::Form sale = SaleOf("2", "1", "12.5");
    sale.traceCodes = {codes[0]};
    std::vector<QStringList> before = books();
    const CEntryOutcome short1 = Add(sale);
    EXPECT_FALSE(short1.recorded);
    EXPECT_EQ(short1.status, "整盒销售 2 盒需扫 2 个追溯码，已扫 1 个");
    EXPECT_EQ(books(), before);

    sale.traceCodes = codes;
    Record(sale);
    EXPECT_EQ(QueryRows(Db(), "SELECT 状态,出库操作员 FROM 追溯码 ORDER BY 追溯码"),
              (std::vector<QStringList>{{"已售", "张三"}, {"已售", "张三"}}));
    EXPECT_TRUE(QueryValue(Db(), "SELECT 内容 FROM 日志 WHERE 动作='销售'")
                    .endsWith(QStringLiteral("；追溯码 ") + codes.join(QStringLiteral("、"))));

    // Unticked: a box without a code sells; one already sold is refused and takes the sale back.
    m_entry.SetCodesRequired(false);
    Record(SaleOf("1", "1", "12.5", "2003-05-02 10:20:00"));
    CSalesEntry::Form resold = SaleOf("1", "1", "12.5", "2003-05-02 10:25:00");
    resold.traceCodes = {codes[1]};
    before = books();
    const CEntryOutcome twice = Add(resold);
    EXPECT_FALSE(twice.recorded);
    EXPECT_TRUE(
        twice.status.startsWith(QStringLiteral("该追溯码已于 2003-05-02 10:15 由 张三 售出")))
        << twice.status.toStdString();
    EXPECT_EQ(books(), before);
}

TEST_P(SalesEntryTest, AScanTakesTheFirstCardToExpireThatCanBeSold) {
    CatalogueAmoxicillin("6920000000015");
    // Around the card to sell first (2004-11-30): an expired one, a sold-out one, one holding
    // only what split packs leave in binary fractions, a later one (Batch's, 2005-04-30).
    for (const char* card : {"'2004-01-31', 8, 5", "'2004-09-30', 8, 0",
                             "'2004-10-31', 8, 1.30007116183606e-13", "'2004-11-30', 8, 3"})
        Exec(QStringLiteral("INSERT INTO 存 VALUES ('阿莫西林胶囊','石药集团','0.25g*24粒',%1)")
                 .arg(QString::fromUtf8(card)));
    const QDate day(2004, 5, 1);
    const QDateTime now(day, QTime(9, 0));
    const auto books = AllBooks(Db());
    const CSalesEntry::Form box = m_entry.Cleared(CSalesEntry::kWholeBox, now);
    const CSalesEntry::Scanned scanned = m_entry.Scan(box, " 6920000000015 ", day);
    ASSERT_TRUE(scanned.filled) << scanned.status.toStdString();
    const CSalesEntry::Form& form = scanned.form;
    EXPECT_EQ(
        QStringList({form.card.name, form.card.origin, form.card.packModel, form.card.expiry}),
        QStringList({"阿莫西林胶囊", "石药集团", "0.25g*24粒", "2004-11-30"}));
    EXPECT_EQ(QStringList({form.price, form.quantity, form.piecesPerBox, form.amount}),
              QStringList({"12.5", "1", "1", "12.50"}));
    // A split pack: the price of a piece and the catalogue's pieces to a box.
    const CSalesEntry::Scanned split =
        m_entry.Scan(m_entry.Cleared(CSalesEntry::kSplitPack, now), "6920000000015", day);
    EXPECT_EQ(QStringList({split.form.card.expiry, split.form.price, split.form.piecesPerBox,
                           split.form.amount}),
              QStringList({"2004-11-30", "0.6", "24", "0.60"}));

    // A year on every batch with stock has expired: none is taken, each is named.
    const CSalesEntry::Scanned late = m_entry.Scan(box, "6920000000015", QDate(2005, 5, 1));
    EXPECT_FALSE(late.filled);
    EXPECT_EQ(late.status, "条形码 6920000000015 的药品只有已过期的批次：2004-01-31（5 盒）、"
                           "2004-11-30（3 盒）、2005-04-30（10 盒），不能销售");
    EXPECT_TRUE(late.form.card.name.isEmpty());
    EXPECT_EQ(late.form.price, "0");
    // A code the catalogue does not know leaves the form as it was.
    CSalesEntry::Form typed = SaleOf("3", "1", "9");
    const CSalesEntry::Scanned unknown = m_entry.Scan(typed, "6901234567892", day);
    EXPECT_FALSE(unknown.filled);
    EXPECT_EQ(unknown.status, "条形码 6901234567892 未登记");
    EXPECT_EQ(QStringList({unknown.form.card.name, unknown.form.card.expiry, unknown.form.price,
                           unknown.form.quantity}),
              QStringList({typed.card.name, typed.card.expiry, "9", "3"}));

    // Initials (拼音码) that name one drug are taken as its code; several are named, nothing
    // taken; none says so.
    Exec("UPDATE 药品 SET 拼音码='amxljn emxljn'");
    EXPECT_EQ(m_entry.Scan(box, "EMXL", day).form.card.expiry, "2004-11-30");
    Exec("INSERT INTO 药品(名称,产地,规格型号,拼音码) VALUES('阿莫西林胶囊','联邦制药','0.5g*12粒',"
         "'amxljn emxljn')");
    const CSalesEntry::Scanned several = m_entry.Scan(typed, "amxl", day);
    EXPECT_FALSE(several.filled);
    EXPECT_TRUE(several.status.startsWith("拼音码 amxl 有 2 种药品："))
        << several.status.toStdString();
    EXPECT_EQ(several.form.price, "9");
    EXPECT_EQ(m_entry.Scan(typed, "xyz", day).status, "拼音码 xyz 没有对应的药品");
    EXPECT_EQ(AllBooks(Db()), books);
}

TEST_P(SalesEntryTest, TypedFieldsTakeTheCataloguesPriceOnlyWhereNothingWasTyped) {
    CatalogueAmoxicillin("");
    CSalesEntry::Form form = m_entry.Cleared(CSalesEntry::kSplitPack, QDateTime::currentDateTime());
    form.card = SaleOf("1", "1", "1").card;
    const CSalesEntry::Form filled = m_entry.WithCatalogue(form);
    EXPECT_EQ(QStringList({filled.price, filled.piecesPerBox, filled.amount}),
              QStringList({"0.6", "24", "0.60"}));
    form.price = "0.7";
    form.piecesPerBox = "10";
    const CSalesEntry::Form typed = m_entry.WithCatalogue(form);
    EXPECT_EQ(QStringList({typed.price, typed.piecesPerBox}), QStringList({"0.7", "10"}));
}

// Each list offers the cards that match the pickers before it: a batch typed (and refused)
// never hides the other batches of its drug.
TEST_P(SalesEntryTest, PickerListsNarrowToTheCardsMatchingThePickersBeforeThem) {
    const char* cards[][4] = {{"阿莫西林胶囊", "石药集团", "0.25g*24粒", "2006-01-31"},
                              {"阿莫西林胶囊", "联邦制药", "0.5g*12粒", "2005-10-01"},
                              {"板蓝根颗粒", "白云山", "10g*20袋", "2005-04-30"}};
    for (const auto& c : cards) {
        Exec(QStringLiteral("INSERT INTO 存 VALUES('%1','%2','%3','%4',1,1)")
                 .arg(QString::fromUtf8(c[0]), QString::fromUtf8(c[1]), QString::fromUtf8(c[2]),
                      QString::fromUtf8(c[3])));
    }
    auto all = m_entry.PickerLists({}, nullptr);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->names, (QStringList{"阿莫西林胶囊", "板蓝根颗粒"}));
    EXPECT_EQ(all->origins, (QStringList{"白云山", "联邦制药", "石药集团"}));
    EXPECT_EQ(all->expiries, (QStringList{"2005-04-30", "2005-10-01", "2006-01-31"}));

    auto amoxicillin = m_entry.PickerLists({"阿莫西林胶囊", "", "", ""}, nullptr);
    ASSERT_TRUE(amoxicillin);
    EXPECT_EQ(amoxicillin->names, (QStringList{"阿莫西林胶囊", "板蓝根颗粒"}));
    EXPECT_EQ(amoxicillin->origins, (QStringList{"联邦制药", "石药集团"}));
    EXPECT_EQ(amoxicillin->packModels, (QStringList{"0.25g*24粒", "0.5g*12粒"}));
    EXPECT_EQ(amoxicillin->expiries, (QStringList{"2005-04-30", "2005-10-01", "2006-01-31"}));

    auto one = m_entry.PickerLists({"阿莫西林胶囊", "联邦制药", "", ""}, nullptr);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->packModels, QStringList{"0.5g*12粒"});
    EXPECT_EQ(one->expiries, QStringList{"2005-10-01"});
    // The batch typed, say one refused as expired: every batch of the drug is still offered.
    auto batch =
        m_entry.PickerLists({"阿莫西林胶囊", "石药集团", "0.25g*24粒", "2005-04-30"}, nullptr);
    ASSERT_TRUE(batch);
    EXPECT_EQ(batch->origins, (QStringList{"联邦制药", "石药集团"}));
    EXPECT_EQ(batch->expiries, (QStringList{"2005-04-30", "2006-01-31"}));

    // Equality, not a pattern: a beginning of a name matches no card.
    auto none = m_entry.PickerLists({"阿莫西林", "", "", ""}, nullptr);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->origins.isEmpty() && none->packModels.isEmpty() && none->expiries.isEmpty());
    EXPECT_TRUE(m_entry.PickerLists({"%", "", "", ""}, nullptr)->origins.isEmpty());

    // Initials no card is named by offer the catalogue's drugs they stand for, each name once.
    Exec("DELETE FROM 药品");
    Exec("INSERT INTO 药品(名称,产地,规格型号,拼音码) VALUES('阿莫西林胶囊','石药集团',"
         "'0.25g*24粒','amxljn emxljn'),('阿莫西林胶囊','联邦制药','0.5g*12粒','amxljn emxljn'),"
         "('板蓝根颗粒','白云山','10g*20袋','blgkl')");
    EXPECT_EQ(m_entry.PickerLists({"AMXL", "", "", ""}, nullptr)->names,
              QStringList{"阿莫西林胶囊"});
    EXPECT_TRUE(m_prompts.Messages().empty());
}

APRICOT_INSTANTIATE_BACKENDS(SalesEntryTest);

} // namespace
