// 入库登记表 offscreen on both backends: a batch typed in by keyboard, what the dialog shows
// before and after, and that a refused batch keeps every field.
#include "CPurchaseEntryDlg.h"
#include "dialog_driver.h"
#include "entry_books.h"
#include "entry_dialog_test.h"
#include "recording_prompts.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QPushButton>

namespace {

using namespace entrytest;

class PurchaseEntryDlgTest : public CEntryDialogTest<CPurchaseEntryDlg> {
protected:
    QString Status() const { return Control<QLabel>(CPurchaseEntry::IdStatus)->text(); }

    // The pharmacist's way through the form, from 采购人 on.
    void TypeBatch(const QString& price, const QString& quantity) {
        Control(CPurchaseEntry::IdPurchaser)->setFocus();
        Fill("张明");
        Fill("西药");
        Fill("抗生素");
        Fill("YP001");
        Fill("阿莫西林胶囊");
        Fill("石药集团");
        Fill("0.25g*24粒");
        Fill("24031501");
        ASSERT_TRUE(FocusOn(CPurchaseEntry::IdExpiry));
        Press(Qt::Key_Tab);
        Fill(price);
        ASSERT_TRUE(FocusOn(CPurchaseEntry::IdQuantity));
        Type(quantity);
    }
};

TEST_P(PurchaseEntryDlgTest, OpensWithTodayAndAnExpiryIn356Days) {
    Open();
    EXPECT_EQ(m_dialog->windowTitle(), "入库登记表");
    EXPECT_EQ(Status(), "请尽可能详细的填写【入库登记卡】，以便以后查阅");
    auto* bought = Control<QDateEdit>(CPurchaseEntry::IdPurchaseDate);
    auto* expiry = Control<QDateEdit>(CPurchaseEntry::IdExpiry);
    EXPECT_EQ(bought->date(), QDate::currentDate());
    EXPECT_EQ(expiry->date(), QDate::currentDate().addDays(356));
    EXPECT_TRUE(bought->calendarPopup());
    EXPECT_EQ(expiry->text(), QDate::currentDate().addDays(356).toString("yyyy-MM-dd"));
    EXPECT_EQ(Text(CPurchaseEntry::IdPrice), "0");
    EXPECT_EQ(Text(CPurchaseEntry::IdQuantity), "0");
    EXPECT_TRUE(Text(CPurchaseEntry::IdPurchaser).isEmpty());
    EXPECT_TRUE(FocusOn(CPurchaseEntry::IdPurchaseDate));
    auto* add = Control<QPushButton>(1);
    EXPECT_EQ(add->text(), "添加");
    EXPECT_TRUE(add->isDefault());
    EXPECT_EQ(Control<QPushButton>(2)->text(), "关闭");
    const QStringList labels = LabelTexts(m_dialog.get());
    for (const char* text :
         {"条形码：", "采购日期：", "采购人：", "大类：", "小类：", "编号：", "名称：", "产地：",
          "规格型号：", "批号：", "有效截止日期：", "进价：", "数量："})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
    EXPECT_TRUE(Control<QLabel>(CPurchaseEntry::IdStatus)->wordWrap());
}

TEST_P(PurchaseEntryDlgTest, ListsComeFromEarlierPurchasesSortedAndByPrefix) {
    for (const char* purchaser : {"张明", "李华", "张明明"}) {
        CPurchaseEntry::Form form = Batch("1", "1");
        form.purchaser = QString::fromUtf8(purchaser);
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(form).recorded);
    }
    Open();
    const QStringList purchasers = Items(Control<QComboBox>(CPurchaseEntry::IdPurchaser));
    // GROUP BY decides whether 张明 comes before 张明明; either way the list is sorted.
    EXPECT_TRUE(purchasers == (QStringList{"李华", "张明", "张明明"}) ||
                purchasers == (QStringList{"李华", "张明明"}))
        << purchasers.join(',').toStdString();
    EXPECT_EQ(Items(Control<QComboBox>(CPurchaseEntry::IdCategory)), QStringList{"西药"});
    EXPECT_EQ(Items(Control<QComboBox>(CPurchaseEntry::IdSubCategory)), QStringList{"抗生素"});
    // Filling the lists leaves the boxes empty.
    EXPECT_TRUE(Text(CPurchaseEntry::IdPurchaser).isEmpty());
}

TEST_P(PurchaseEntryDlgTest, ABatchTypedAndEnteredIsRecordedAndTheFormCleared) {
    Open();
    auto* bought = Control<QDateEdit>(CPurchaseEntry::IdPurchaseDate);
    auto* expiry = Control<QDateEdit>(CPurchaseEntry::IdExpiry);
    bought->setDate(QDate(2003, 5, 1));
    expiry->setDate(QDate(2005, 4, 30));
    TypeBatch("12.5", "10");
    // The decimal point stays as typed.
    EXPECT_EQ(Text(CPurchaseEntry::IdPrice), "12.5");
    Press(Qt::Key_Return);

    EXPECT_EQ(Status(), "录入成功,登记卡信息已经被系统接纳");
    EXPECT_TRUE(m_prompts.Messages().empty());
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_EQ(
        QueryRows(Db(), "SELECT 采购人,大类,小类,编号,名称,产地,规格型号,批号,有效截止日期,"
                        "进价,数量 FROM 进"),
        (std::vector<QStringList>{{"张明", "西药", "抗生素", "YP001", "阿莫西林胶囊", "石药集团",
                                   "0.25g*24粒", "24031501", "2005-04-30", "12.5", "10"}}));
    EXPECT_EQ(Cards(Db()), (std::vector<QStringList>{{"12.5", "10"}}));

    // Cleared for the next batch, the dates as set, the focus in 采购人.
    for (int id : {CPurchaseEntry::IdPurchaser, CPurchaseEntry::IdCategory,
                   CPurchaseEntry::IdSubCategory, CPurchaseEntry::IdCode, CPurchaseEntry::IdName,
                   CPurchaseEntry::IdOrigin, CPurchaseEntry::IdPackModel, CPurchaseEntry::IdBatch})
        EXPECT_TRUE(Text(id).isEmpty()) << id;
    EXPECT_EQ(Text(CPurchaseEntry::IdPrice), "0");
    EXPECT_EQ(Text(CPurchaseEntry::IdQuantity), "0");
    EXPECT_EQ(bought->date(), QDate(2003, 5, 1));
    EXPECT_EQ(expiry->date(), QDate(2005, 4, 30));
    EXPECT_TRUE(FocusOn(CPurchaseEntry::IdPurchaser));
    // The lists are filled on opening only.
    EXPECT_TRUE(Items(Control<QComboBox>(CPurchaseEntry::IdPurchaser)).isEmpty());
}

TEST_P(PurchaseEntryDlgTest, EnterInTheCodeLooksTheDrugUpAndAddsNothing) {
    CPurchaseEntry::Form known = Batch("8.5", "10");
    known.barcode = "6901234567892";
    ASSERT_TRUE(CPurchaseEntry(&Db()).Add(known).recorded);
    Open();
    Control(CPurchaseEntry::IdBarcode)->setFocus();
    Type("6920000000012");
    Press(Qt::Key_Return);
    EXPECT_EQ(Status(), "条形码 6920000000012 未登记");
    EXPECT_TRUE(Text(CPurchaseEntry::IdName).isEmpty());
    EXPECT_TRUE(FocusOn(CPurchaseEntry::IdBarcode));

    Control<QLineEdit>(CPurchaseEntry::IdBarcode)->clear();
    Type("6901234567892");
    Press(Qt::Key_Return);
    EXPECT_EQ((QStringList{Text(CPurchaseEntry::IdName), Text(CPurchaseEntry::IdOrigin),
                           Text(CPurchaseEntry::IdPackModel), Text(CPurchaseEntry::IdCategory)}),
              (QStringList{"阿莫西林胶囊", "石药集团", "0.25g*24粒", "西药"}));
    EXPECT_TRUE(FocusOn(CPurchaseEntry::IdBatch));
    // Neither Enter pressed 添加.
    EXPECT_EQ(Count(Db(), "进"), "1");
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(PurchaseEntryDlgTest, ANumberThatDoesNotParseIsShownOnAddAndTakesTheFocus) {
    Open();
    TypeBatch("1.2.3", "10");
    // Typing it raised nothing.
    EXPECT_TRUE(m_prompts.Messages().empty());
    Press(Qt::Key_Return);
    ASSERT_EQ(m_prompts.Texts(), QStringList{"Please enter a number."});
    EXPECT_EQ(m_prompts.Messages()[0].icon, CPrompts::Icon::Warning);
    EXPECT_TRUE(FocusOn(CPurchaseEntry::IdPrice));
    EXPECT_EQ(Control<QLineEdit>(CPurchaseEntry::IdPrice)->selectedText(), "1.2.3");
    EXPECT_EQ(Status(), CPurchaseEntry::kOpeningStatus);
    EXPECT_EQ(Count(Db(), "进"), "0");
    EXPECT_EQ(Text(CPurchaseEntry::IdName), "阿莫西林胶囊");
}

TEST_P(PurchaseEntryDlgTest, APastExpiryAsksAndAFailedBatchKeepsEveryFieldForTheRetry) {
    ASSERT_TRUE(CPurchaseEntry(&Db()).Add(Batch("1", "0")).recorded);
    Open();
    Control<QDateEdit>(CPurchaseEntry::IdExpiry)->setDate(QDate(2005, 4, 30));
    TypeBatch("2", "0");
    // Bought today, expired long ago: No (the default) writes nothing.
    Press(Qt::Key_Return);
    EXPECT_EQ(Status(), CPurchaseEntry::kPastExpiryDeclined);
    ASSERT_EQ(m_prompts.Texts(), QStringList{"有效截止日期已过，确定入库吗？"});
    EXPECT_EQ(m_prompts.Messages()[0].buttons, CPrompts::Buttons::YesNoDefaultNo);
    EXPECT_EQ(Count(Db(), "进"), "1");
    m_prompts.AnswerNext(CPrompts::Answer::Yes);
    Press(Qt::Key_Return);
    EXPECT_EQ(Status(), CPurchaseEntry::kCardInvalid);
    EXPECT_EQ(Text(CPurchaseEntry::IdPurchaser), "张明");
    EXPECT_EQ(Text(CPurchaseEntry::IdName), "阿莫西林胶囊");
    EXPECT_EQ(Text(CPurchaseEntry::IdPrice), "2");
    EXPECT_EQ(Count(Db(), "进"), "1");

    // A missing name is reported in the status line, nothing cleared either.
    Control<QLineEdit>(CPurchaseEntry::IdName)->clear();
    QTest::mouseClick(Control<QPushButton>(1), Qt::LeftButton);
    EXPECT_EQ(Status(), CPurchaseEntry::kNameMissing);
    EXPECT_EQ(Text(CPurchaseEntry::IdOrigin), "石药集团");
}

TEST_P(PurchaseEntryDlgTest, EscapeClosesWithoutWriting) {
    Open();
    TypeBatch("1", "1");
    Press(Qt::Key_Escape);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    EXPECT_EQ(Count(Db(), "进"), "0");
}

TEST_P(PurchaseEntryDlgTest, AltDownDropsTheCalendarWithoutChangingTheDate) {
    Open();
    auto* bought = Control<QDateEdit>(CPurchaseEntry::IdPurchaseDate);
    const QDate date = bought->date();
    QTest::keyClick(Focused(), Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(bought->calendarWidget());
    EXPECT_TRUE(bought->calendarWidget()->isVisible());
    EXPECT_EQ(bought->date(), date);
    // Right-aligned with the picker.
    EXPECT_EQ(bought->calendarWidget()->window()->geometry().right(),
              bought->mapToGlobal(QPoint(bought->width() - 1, 0)).x());
    // Escape closes the calendar, not the dialog.
    QTest::keyClick(bought->calendarWidget(), Qt::Key_Escape);
    EXPECT_FALSE(bought->calendarWidget()->isVisible());
    EXPECT_TRUE(m_dialog->isVisible());
    // Typing the digits fills year, month and day in turn.
    bought->setFocus();
    Type("20030501");
    EXPECT_EQ(bought->date(), QDate(2003, 5, 1));
}

TEST_P(PurchaseEntryDlgTest, TabRunsDownTheLeftColumnThenTheRight) {
    Open();
    const int order[] = {CPurchaseEntry::IdPurchaser,
                         CPurchaseEntry::IdCategory,
                         CPurchaseEntry::IdSubCategory,
                         CPurchaseEntry::IdCode,
                         CPurchaseEntry::IdName,
                         CPurchaseEntry::IdOrigin,
                         CPurchaseEntry::IdPackModel,
                         CPurchaseEntry::IdBatch,
                         CPurchaseEntry::IdExpiry,
                         CPurchaseEntry::IdPrice,
                         CPurchaseEntry::IdQuantity,
                         CPurchaseEntry::IdTraceCode,
                         CPurchaseEntry::IdTraceList,
                         1,
                         2};
    for (int id : order) {
        Press(Qt::Key_Tab);
        EXPECT_TRUE(FocusOn(id)) << id;
    }
}

APRICOT_INSTANTIATE_BACKENDS(PurchaseEntryDlgTest);

} // namespace
