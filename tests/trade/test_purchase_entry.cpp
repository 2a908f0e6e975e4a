// The purchase entry on both backends: what 添加 checks, what it writes, and that a failed
// entry leaves the books as they were, with the connection back in auto-commit.
#include "entry_books.h"
#include "recording_prompts.h"

#include "CDBException.h"
#include "entry_fields.h"

#include <stdexcept>

namespace {

using namespace entrytest;

class PurchaseEntryTest : public CBooksTest {
protected:
    CEntryOutcome Add(const CPurchaseEntry::Form& form) {
        CEntryOutcome outcome = CPurchaseEntry(&Db()).Add(form);
        EXPECT_TRUE(Db().IsAutoCommit());
        return outcome;
    }
    void Record(const CPurchaseEntry::Form& form) {
        const CEntryOutcome outcome = Add(form);
        ASSERT_TRUE(outcome.recorded) << outcome.status.toStdString();
    }
    CRecordingPrompts m_prompts;
};

TEST_P(PurchaseEntryTest, FirstBatchMakesACardAtItsPriceAndIsCommitted) {
    const CEntryOutcome outcome = Add(Batch("8.5", "10"));
    EXPECT_TRUE(outcome.recorded);
    EXPECT_EQ(outcome.status, "录入成功,登记卡信息已经被系统接纳");
    EXPECT_EQ(outcome.focus, CPurchaseEntry::IdPurchaser);
    EXPECT_TRUE(outcome.message.isEmpty());
    // Seen by another connection: the entry is committed, not left open.
    auto other = Books().OpenAnotherConnection();
    EXPECT_EQ(Cards(*other), (std::vector<QStringList>{{"8.5", "10"}}));
    EXPECT_EQ(QueryRows(*other, "SELECT 采购人,大类,小类,编号,名称,产地,规格型号,批号,进价,数量 "
                                "FROM 进"),
              (std::vector<QStringList>{{"张明", "西药", "抗生素", "YP001", "阿莫西林胶囊",
                                         "石药集团", "0.25g*24粒", "24031501", "8.5", "10"}}));
}

TEST_P(PurchaseEntryTest, SecondBatchReaveragesTheCard) {
    Record(Batch("1.0", "10"));
    Record(Batch("2.0", "10"));
    EXPECT_EQ(Cards(Db()), (std::vector<QStringList>{{"1.5", "20"}}));
    EXPECT_EQ(Count(Db(), "进"), "2");
}

TEST_P(PurchaseEntryTest, BatchOnACardOfStockZeroTakesTheNewPrice) {
    Record(Batch("1.0", "4"));
    Exec("UPDATE 存 SET 现有存货量=0");
    Record(Batch("2.5", "6"));
    EXPECT_EQ(Cards(Db()), (std::vector<QStringList>{{"2.5", "6"}}));
}

TEST_P(PurchaseEntryTest, AnotherExpiryDateMakesASecondCard) {
    Record(Batch("1.0", "4"));
    CPurchaseEntry::Form later = Batch("3.0", "5");
    later.expiry = QDate(2006, 1, 1);
    Record(later);
    EXPECT_EQ(Cards(Db()), (std::vector<QStringList>{{"1", "4"}, {"3", "5"}}));
}

TEST_P(PurchaseEntryTest, AnExpiryBeforeThePurchaseDateAsksBeforeWriting) {
    // Expiring on the day it is bought asks nothing.
    CPurchaseEntry::Form form = Batch("1.0", "4");
    form.purchaseDate = form.expiry;
    Record(form);
    form.purchaseDate = form.expiry.addDays(1);
    const CEntryOutcome asked = Add(form);
    EXPECT_FALSE(asked.recorded);
    EXPECT_EQ(asked.question, "有效截止日期已过，确定入库吗？");
    EXPECT_EQ(asked.declined, "已取消：有效截止日期已过");
    EXPECT_EQ(Count(Db(), "进"), "1");
    form.pastExpiryAccepted = true;
    Record(form);
    EXPECT_EQ(Cards(Db()), (std::vector<QStringList>{{"1", "8"}}));
}

TEST_P(PurchaseEntryTest, DivisionByZeroRollsBackAndKeepsAnIdenticalEarlierPurchase) {
    // The earlier purchase is identical in all twelve columns to the one that fails.
    Record(Batch("2.0", "0"));
    Exec("UPDATE 存 SET 现有存货量=0");
    const auto before = AllBooks(Db());
    const CEntryOutcome outcome = Add(Batch("2.0", "0"));
    EXPECT_FALSE(outcome.recorded);
    EXPECT_EQ(outcome.status, "无法对库存进行更新，当前的库存登记卡无效，再次审改后，重新输入");
    EXPECT_EQ(AllBooks(Db()), before);
    EXPECT_EQ(Count(Db(), "进"), "1");
}

TEST_P(PurchaseEntryTest, NameTooLongForTheCardIsRefusedByThePurchaseRow) {
    // The purchase row is no wider than the card: the database's own message, nothing stored.
    CPurchaseEntry::Form form = Batch("8.5", "10");
    form.name = QString(150, QChar(0x836F));
    const CEntryOutcome outcome = Add(form);
    EXPECT_FALSE(outcome.recorded);
    EXPECT_FALSE(outcome.status.isEmpty());
    EXPECT_NE(outcome.status, CPurchaseEntry::kCardInvalid);
    EXPECT_EQ(Count(Db(), "进"), "0");
    EXPECT_EQ(Count(Db(), "存"), "0");
}

TEST_P(PurchaseEntryTest, RejectedPurchaseRowShowsTheDriversTextWithinTheLimit) {
    CPurchaseEntry::Form form = Batch("8.5", "10");
    form.purchaser = QString(300, QChar(0x5F20)); // too long for 进
    const CEntryOutcome outcome = Add(form);
    EXPECT_FALSE(outcome.recorded);
    EXPECT_FALSE(outcome.status.isEmpty());
    EXPECT_LE(outcome.status.toUtf8().size(), 254);
    EXPECT_NE(outcome.status, CPurchaseEntry::kCardInvalid);
    EXPECT_EQ(Count(Db(), "进"), "0");
    EXPECT_EQ(Count(Db(), "存"), "0");
}

TEST_P(PurchaseEntryTest, DoublesKeepEveryDigit) {
    Record(Batch("1234.56", "12345.67"));
    EXPECT_EQ(QueryRows(Db(), "SELECT 进价,数量 FROM 进"),
              (std::vector<QStringList>{{"1234.56", "12345.67"}}));
    EXPECT_EQ(Cards(Db()), (std::vector<QStringList>{{"1234.56", "12345.67"}}));
}

TEST_P(PurchaseEntryTest, QuotesStayInsideTheirTexts) {
    CPurchaseEntry::Form form = Batch("1", "1");
    form.name = "x'); DELETE FROM 操作员; --";
    form.batch = "O'Neil";
    Record(form);
    EXPECT_EQ(QueryRows(Db(), "SELECT 名称,批号 FROM 进"),
              (std::vector<QStringList>{{form.name, form.batch}}));
    EXPECT_EQ(QueryValue(Db(), "SELECT 名称 FROM 存"), form.name);
    EXPECT_EQ(Count(Db(), "操作员"), "1");
}

TEST_P(PurchaseEntryTest, FieldsAreCheckedInOrderBeforeAnythingIsWritten) {
    // The number fields first, with the framework's message and the focus on the field.
    CEntryOutcome outcome = Add(Batch("abc", "x"));
    EXPECT_EQ(outcome.message, "Please enter a number.");
    EXPECT_EQ(outcome.focus, CPurchaseEntry::IdPrice);
    EXPECT_TRUE(outcome.status.isNull());
    outcome = Add(Batch(" 2.5 ", ""));
    EXPECT_EQ(outcome.message, "Please enter a number.");
    EXPECT_EQ(outcome.focus, CPurchaseEntry::IdQuantity);

    for (auto clear : {&CPurchaseEntry::Form::name, &CPurchaseEntry::Form::origin,
                       &CPurchaseEntry::Form::packModel}) {
        CPurchaseEntry::Form form = Batch("x", "1");
        form.*clear = QString();
        // A bad number still comes first.
        EXPECT_EQ(Add(form).message, "Please enter a number.");
        form.price = "1";
        outcome = Add(form);
        EXPECT_TRUE(outcome.message.isEmpty());
        EXPECT_EQ(outcome.status, "名称、产地、规格型号不能为空，请填写。");
        EXPECT_FALSE(outcome.recorded);
    }
    EXPECT_EQ(Count(Db(), "进"), "0");

    // The other texts may be empty.
    CPurchaseEntry::Form sparse = Batch("1", "1");
    sparse.purchaser = sparse.category = sparse.subCategory = sparse.code = sparse.batch = "";
    Record(sparse);
}

TEST_P(PurchaseEntryTest, ClosedConnectionIsReportedAfterTheFields) {
    CDatabase closed;
    CEntryOutcome outcome = CPurchaseEntry(&closed).Add(Batch("1", "1"));
    EXPECT_EQ(outcome.status, "通讯连接错误，数据库已经关闭");
    outcome = CPurchaseEntry(nullptr).Add(Batch("1", "1"));
    EXPECT_EQ(outcome.status, "通讯连接错误，数据库已经关闭");
    CPurchaseEntry::Form noName = Batch("1", "1");
    noName.name.clear();
    EXPECT_EQ(CPurchaseEntry(&closed).Add(noName).status, CPurchaseEntry::kNameMissing);
}

TEST_P(PurchaseEntryTest, AnExceptionInsideTheEntryLeavesNothingAndAutoCommitOn) {
    Record(Batch("1", "10"));
    const auto before = AllBooks(Db());
    // A fault after the purchase row was written, and another after the card update.
    for (const char* after : {"INSERT INTO 进", "UPDATE 存"}) {
        Db().SetStatementHook([after](const QString& sql) {
            if (sql.startsWith(QString::fromUtf8(after)))
                throw std::runtime_error("fault");
        });
        EXPECT_THROW(CPurchaseEntry(&Db()).Add(Batch("2", "10")), std::runtime_error);
        Db().SetStatementHook({});
        EXPECT_TRUE(Db().IsAutoCommit());
        EXPECT_EQ(AllBooks(Db()), before) << after;
    }
    // A failing statement reported by the driver after the row was written rolls back too.
    Db().SetStatementHook([](const QString& sql) {
        if (sql.startsWith(QStringLiteral("INSERT INTO 进")))
            throw CDBException(QStringLiteral("connection lost\n"));
    });
    EXPECT_EQ(Add(Batch("2", "10")).status, "connection lost\n");
    Db().SetStatementHook({});
    EXPECT_EQ(AllBooks(Db()), before);
    // And the connection is fit for the next entry.
    Record(Batch("2", "10"));
    EXPECT_EQ(Cards(*Books().OpenAnotherConnection()), (std::vector<QStringList>{{"1.5", "20"}}));
}

TEST_P(PurchaseEntryTest, AFailureAfterTheCommitStillReportsTheBatchRecorded) {
    // A retried batch would be stored twice: what committed is reported as recorded.
    bool failed = false;
    Db().SetAutoCommitHook([&failed](bool on) {
        if (on && !failed) {
            failed = true;
            throw CDBException(QStringLiteral("connection reset\n"));
        }
    });
    const CEntryOutcome outcome = Add(Batch("8.5", "10"));
    Db().SetAutoCommitHook({});
    EXPECT_TRUE(outcome.recorded);
    EXPECT_TRUE(outcome.status.startsWith(CPurchaseEntry::kRecorded))
        << outcome.status.toStdString();
    EXPECT_TRUE(outcome.status.contains(QStringLiteral("connection reset")));
    EXPECT_EQ(Count(*Books().OpenAnotherConnection(), "进"), "1");
    EXPECT_TRUE(Db().IsAutoCommit());
}

TEST_P(PurchaseEntryTest, OpeningListsHoldEveryValueOnceWithoutBlanks) {
    const std::pair<const char*, const char*> people[] = {{"张明", "西药"},   {"李华", "中成药"},
                                                          {"张明", "中成药"}, {"", "西药"},
                                                          {"ABC", ""},        {"abc", ""}};
    for (const auto& [purchaser, category] : people) {
        CPurchaseEntry::Form form = Batch("1", "1");
        form.purchaser = QString::fromUtf8(purchaser);
        form.category = QString::fromUtf8(category);
        Record(form);
    }
    const CPurchaseEntry::Lists lists = CPurchaseEntry(&Db()).OpeningLists(nullptr);
    // ABC and abc begin one another without regard to case: whichever comes first stays.
    ASSERT_EQ(lists.purchasers.size(), 3);
    EXPECT_EQ(lists.purchasers[0].toLower(), "abc");
    EXPECT_EQ(lists.purchasers.mid(1), (QStringList{"李华", "张明"}));
    EXPECT_EQ(lists.categories, (QStringList{"西药", "中成药"}));
    EXPECT_EQ(lists.subCategories, (QStringList{"抗生素"}));
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(PurchaseEntryTest, OpeningListsStayEmptyWhenTheQueryFails) {
    Exec("DROP TABLE 进");
    QString failure;
    const CPurchaseEntry::Lists lists = CPurchaseEntry(&Db()).OpeningLists(&failure);
    EXPECT_TRUE(lists.purchasers.isEmpty() && lists.categories.isEmpty() &&
                lists.subCategories.isEmpty());
    // The driver's text, for the dialog to show as the record grid does.
    EXPECT_FALSE(failure.isEmpty());
    CDatabase closed;
    failure.clear();
    EXPECT_TRUE(CPurchaseEntry(&closed).OpeningLists(&failure).purchasers.isEmpty());
    EXPECT_TRUE(failure.isEmpty());
}

TEST(PurchaseForm, OpensTodayExpiringIn356DaysAndClearsAllButTheDates) {
    const CPurchaseEntry::Form opening = CPurchaseEntry::Opening(QDate(2003, 5, 1));
    EXPECT_EQ(opening.purchaseDate, QDate(2003, 5, 1));
    EXPECT_EQ(opening.expiry, QDate(2004, 4, 21));
    EXPECT_EQ(opening.price, "0");
    EXPECT_EQ(opening.quantity, "0");
    EXPECT_TRUE(opening.purchaser.isEmpty() && opening.name.isEmpty());

    CPurchaseEntry::Form filled = entrytest::Batch("8.5", "10");
    const CPurchaseEntry::Form cleared = CPurchaseEntry::Cleared(filled);
    EXPECT_EQ(cleared.purchaseDate, filled.purchaseDate);
    EXPECT_EQ(cleared.expiry, filled.expiry);
    for (const QString* text :
         {&cleared.purchaser, &cleared.category, &cleared.subCategory, &cleared.code, &cleared.name,
          &cleared.origin, &cleared.packModel, &cleared.batch})
        EXPECT_TRUE(text->isEmpty());
    EXPECT_EQ(cleared.price, "0");
    EXPECT_EQ(cleared.quantity, "0");
}

APRICOT_INSTANTIATE_BACKENDS(PurchaseEntryTest);

} // namespace
