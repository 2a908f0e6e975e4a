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

TEST_P(PurchaseEntryTest, ANewDrugEntersTheCatalogueOnceWithItsCode) {
    CPurchaseEntry::Form scanned = Batch("8.5", "10");
    scanned.barcode = "6901234567892";
    Record(scanned);
    Record(Batch("9", "5"));
    EXPECT_EQ(QueryRows(Db(), "SELECT 名称,产地,规格型号,条形码,每盒总量,拆零单位 FROM 药品"),
              (std::vector<QStringList>{
                  {"阿莫西林胶囊", "石药集团", "0.25g*24粒", "6901234567892", "24", "粒"}}));
    // The drug's own log row marks the row it wrote; the purchase's row tells of it too.
    const std::vector<QStringList> log =
        QueryRows(Db(), "SELECT 动作,对象,CASE WHEN 行校验<>'' THEN 'marked' END,内容 FROM 日志 "
                        "ORDER BY 序号");
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].mid(0, 3), (QStringList{"添加", "药品", "marked"}));
    EXPECT_TRUE(log[0][3].contains("新药品已加入药品目录，条形码 6901234567892"))
        << log[0][3].toStdString();
    EXPECT_FALSE(log[2][3].contains("药品目录"));

    // The code now fills the form, with 大类 and 小类 of the drug's last purchase.
    CPurchaseEntry::Form typed = CPurchaseEntry::Opening(QDate(2003, 5, 1));
    typed.barcode = " 6901234567892 ";
    const CPurchaseEntry::CodeLookup found = CPurchaseEntry(&Db()).LookUpCode(typed);
    ASSERT_TRUE(found.found) << found.status.toStdString();
    EXPECT_EQ((QStringList{found.form.name, found.form.origin, found.form.packModel,
                           found.form.category, found.form.subCategory}),
              (QStringList{"阿莫西林胶囊", "石药集团", "0.25g*24粒", "西药", "抗生素"}));
}

TEST_P(PurchaseEntryTest, ACodeNamesOneDrugOnly) {
    CPurchaseEntry::Form first = Batch("8.5", "10");
    first.barcode = "6901234567892";
    Record(first);
    const auto before = AllBooks(Db());
    const QString logRows = Count(Db(), "日志");

    // Another drug under the same code is refused, naming the drug that has it.
    CPurchaseEntry::Form other = Batch("3", "2");
    other.name = "板蓝根颗粒";
    other.barcode = "6901234567892";
    const CEntryOutcome refused = Add(other);
    EXPECT_FALSE(refused.recorded);
    EXPECT_EQ(refused.focus, CPurchaseEntry::IdBarcode);
    EXPECT_TRUE(refused.status.contains("阿莫西林胶囊 石药集团 0.25g*24粒"))
        << refused.status.toStdString();
    // A code whose check digit is wrong was misread.
    other.barcode = "6901234567893";
    EXPECT_TRUE(Add(other).status.contains("校验位"));
    EXPECT_EQ(AllBooks(Db()), before);
    EXPECT_EQ(Count(Db(), "日志"), logRows);
    EXPECT_EQ(Count(Db(), "药品"), "1");

    // A second code of the same drug joins its further codes and finds it.
    CPurchaseEntry::Form again = Batch("8.5", "10");
    again.barcode = "4006381333931";
    Record(again);
    EXPECT_EQ(QueryRows(Db(), "SELECT 条形码,名称 FROM 药品条码"),
              (std::vector<QStringList>{{"4006381333931", "阿莫西林胶囊"}}));
    CPurchaseEntry entry(&Db());
    CPurchaseEntry::Form typed = CPurchaseEntry::Opening(QDate(2003, 5, 1));
    typed.barcode = "4006381333931";
    EXPECT_EQ(entry.LookUpCode(typed).form.name, "阿莫西林胶囊");
    // An unknown code says so and leaves the form as it was.
    typed.barcode = "6920000000012";
    typed.name = "typed";
    const CPurchaseEntry::CodeLookup unknown = entry.LookUpCode(typed);
    EXPECT_FALSE(unknown.found);
    EXPECT_EQ(unknown.status, "条形码 6920000000012 未登记");
    EXPECT_EQ(unknown.form.name, "typed");
}

// A box comes in once: more codes than boxes, or a code the books hold, and nothing is written.
TEST_P(PurchaseEntryTest, TraceCodesComeInOnceAndNeverMoreThanTheBoxes) {
    const QStringList codes{"81234567890123456781", "81234567890123456782"};
    CPurchaseEntry::Form form = Batch("8", "1");
    form.traceCodes = codes;
    const CEntryOutcome tooMany = Add(form);
    EXPECT_FALSE(tooMany.recorded);
    EXPECT_TRUE(tooMany.status.contains(QStringLiteral("多于数量 1 盒")))
        << tooMany.status.toStdString();
    EXPECT_EQ(Count(Db(), "进"), "0");

    form.quantity = QStringLiteral("2");
    Record(form);
    const QString first = QueryValue(Db(), "SELECT 单号 FROM 进");
    EXPECT_EQ(
        QueryRows(Db(),
                  "SELECT 追溯码,状态,批号,有效截止日期,进货单号 FROM 追溯码 ORDER BY 追溯码"),
        (std::vector<QStringList>{{codes[0], "在库", "24031501", "2005-04-30", first},
                                  {codes[1], "在库", "24031501", "2005-04-30", first}}));
    EXPECT_TRUE(QueryValue(Db(), "SELECT 内容 FROM 日志 WHERE 动作='进货'")
                    .contains(QStringLiteral("编号 YP001，追溯码 2 个")));

    // A second delivery carrying one of those boxes again: refused naming the first, all of it.
    const std::vector<QStringList> before = AllBooks(Db());
    const QString logRows = Count(Db(), "日志");
    CPurchaseEntry::Form again = Batch("9", "3");
    again.traceCodes = {"81234567890123456783", codes[1]};
    const CEntryOutcome refused = Add(again);
    EXPECT_FALSE(refused.recorded);
    EXPECT_TRUE(refused.status.contains(codes[1]) && refused.status.contains(first) &&
                refused.status.contains(QStringLiteral("不能重复入库")))
        << refused.status.toStdString();
    EXPECT_EQ(AllBooks(Db()), before);
    EXPECT_EQ(Count(Db(), "追溯码"), "2");
    EXPECT_EQ(Count(Db(), "日志"), logRows);
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
