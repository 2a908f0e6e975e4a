// 前台销售登记表 offscreen on both backends: pickers that narrow as the user moves on, the
// sale-type rule, the amount as the user types, a split-pack sale typed in by keyboard, the
// lock on expired stock, and scanning.
#include "CPaymentDlg.h"
#include "CSalesEntryDlg.h"
#include "alert_settings_scope.h"
#include "dialog_driver.h"
#include "entry_books.h"
#include "entry_dialog_test.h"
#include "receipt_scope.h"
#include "recording_prompts.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace {

using namespace entrytest;

class SalesEntryDlgTest : public CEntryDialogTest<CSalesEntryDlg> {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        // The cards expired long ago: unless a test locks them, the question comes.
        m_settings.SetExpiredLocked(false);
        const char* cards[][4] = {{"阿莫西林胶囊", "石药集团", "0.25g*24粒", "2005-04-30"},
                                  {"阿莫西林胶囊", "联邦制药", "0.5g*12粒", "2005-10-01"},
                                  {"板蓝根颗粒", "白云山", "10g*20袋", "2006-01-31"}};
        for (const auto& c : cards) {
            Exec(QStringLiteral("INSERT INTO 存 VALUES('%1','%2','%3','%4',8,10)")
                     .arg(QString::fromUtf8(c[0]), QString::fromUtf8(c[1]), QString::fromUtf8(c[2]),
                          QString::fromUtf8(c[3])));
        }
    }
    QStringList List(int id) const { return Items(Control<QComboBox>(id)); }
    QString Status() const { return Control<QLabel>(CSalesEntry::IdStatus)->text(); }
    bool PiecesShown() const {
        return Control(CSalesEntry::IdPiecesPerBox)->isVisible() &&
               Control(CSalesEntry::IdPiecesPerBoxLabel)->isVisible();
    }
    void ChooseSaleType(const QString& type) {
        auto* box = Control<QComboBox>(CSalesEntry::IdSaleType);
        box->setFocus();
        // Down and up on a closed list pick the next and the previous item.
        Press(type == CSalesEntry::kSplitPack ? Qt::Key_Down : Qt::Key_Up);
        ASSERT_EQ(box->currentText(), type);
    }
    // The card from the pickers, by keyboard, from 名称 on.
    void TypeCard(const char* name, const char* origin, const char* packModel, const char* expiry) {
        Control(CSalesEntry::IdName)->setFocus();
        Fill(QString::fromUtf8(name));
        Fill(QString::fromUtf8(origin));
        Fill(QString::fromUtf8(packModel));
        Fill(QString::fromUtf8(expiry));
        ASSERT_TRUE(FocusOn(CSalesEntry::IdPrice));
    }

    bool ScanHasTheFocus() const {
        return Focused() && Focused() == m_dialog->findChild<QLineEdit*>("scan");
    }
    // A drug in the catalogue under `code` at `price` a box, with a card that expires in 2099.
    void Catalogue(const char* name, const char* origin, const char* packModel, const char* code,
                   const char* price) {
        const QStringList drug{QString::fromUtf8(name), QString::fromUtf8(origin),
                               QString::fromUtf8(packModel)};
        Exec(QStringLiteral("DELETE FROM 药品 WHERE 名称='%1' AND 产地='%2' AND 规格型号='%3'")
                 .arg(drug[0], drug[1], drug[2]));
        Exec(
            QStringLiteral("INSERT INTO 药品(名称,产地,规格型号,条形码,零售价) VALUES"
                           "('%1','%2','%3','%4',%5)")
                .arg(drug[0], drug[1], drug[2], QString::fromUtf8(code), QString::fromUtf8(price)));
        Exec(QStringLiteral("INSERT INTO 存 VALUES('%1','%2','%3','2099-12-31',8,10)")
                 .arg(drug[0], drug[1], drug[2]));
    }
    // One key pressed and let go at `m_ms` on the focused control, as the platform stamps it.
    void KeyAt(Qt::Key key, const QString& text) {
        ASSERT_TRUE(Focused());
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, key, Qt::NoModifier, text);
            event.setTimestamp(m_ms);
            QApplication::sendEvent(Focused(), &event);
        }
    }
    // A person's key: well after the one before.
    void Typed(char digit) {
        m_ms += 150;
        KeyAt(Qt::Key(Qt::Key_0 + (digit - '0')), QString(QLatin1Char(digit)));
    }
    // A scanner's burst: the digits 4 ms apart and Enter, wherever the focus is.
    void Scanned(const char* code) {
        m_ms += 300;
        for (const char* c = code; *c; ++c) {
            KeyAt(Qt::Key(Qt::Key_0 + (*c - '0')), QString(QLatin1Char(*c)));
            m_ms += 4;
        }
        KeyAt(Qt::Key_Return, QStringLiteral("\r"));
    }

    CAlertSettingsScope m_settings;
    ulong m_ms = 10'000'000;
};

TEST_P(SalesEntryDlgTest, OpensStampedWithAllCardsAndAWholeBoxSale) {
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    Open();
    EXPECT_EQ(m_dialog->windowTitle(), "前台销售登记表");
    EXPECT_EQ(Status(), "请尽可能详细填写【销售登记卡】,以便以后查阅");
    const QDateTime stamp =
        QDateTime::fromString(Text(CSalesEntry::IdTimestamp), "yyyy-MM-dd HH:mm:ss");
    EXPECT_TRUE(stamp.isValid()) << Text(CSalesEntry::IdTimestamp).toStdString();
    EXPECT_GE(stamp, before);
    EXPECT_TRUE(ScanHasTheFocus());
    EXPECT_EQ(Text(CSalesEntry::IdSaleType), "整盒销售");
    EXPECT_EQ(List(CSalesEntry::IdSaleType), (QStringList{"整盒销售", "拆零销售"}));
    EXPECT_FALSE(Control<QComboBox>(CSalesEntry::IdSaleType)->isEditable());
    EXPECT_FALSE(PiecesShown());
    EXPECT_EQ(Text(CSalesEntry::IdPiecesPerBox), "1");
    EXPECT_EQ(Text(CSalesEntry::IdQuantity), "1");
    EXPECT_EQ(Text(CSalesEntry::IdPrice), "0");
    EXPECT_EQ(Text(CSalesEntry::IdAmount), "0.00");
    auto* amount = Control<QLineEdit>(CSalesEntry::IdAmount);
    EXPECT_TRUE(amount->isReadOnly());
    EXPECT_EQ(amount->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(List(CSalesEntry::IdName), (QStringList{"阿莫西林胶囊", "板蓝根颗粒"}));
    EXPECT_EQ(List(CSalesEntry::IdOrigin), (QStringList{"白云山", "联邦制药", "石药集团"}));
    EXPECT_TRUE(Text(CSalesEntry::IdName).isEmpty());
    const QStringList labels = LabelTexts(m_dialog.get());
    for (const char* text : {"扫码：", "日期时间：", "名称：", "产地：", "规格型号：",
                             "有效截止日期：", "(格式:1990-12-12)", "零售价：", "元", "销售类型：",
                             "数量：", "每盒总量：", "应付金额："})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
    EXPECT_TRUE(Control<QPushButton>(1)->isDefault());
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(SalesEntryDlgTest, LeavingAPickerNarrowsTheListsAndKeepsWhatWasTyped) {
    Open();
    Control(CSalesEntry::IdName)->setFocus();
    Fill("阿莫西林胶囊");
    EXPECT_EQ(Text(CSalesEntry::IdName), "阿莫西林胶囊");
    EXPECT_EQ(List(CSalesEntry::IdOrigin), (QStringList{"联邦制药", "石药集团"}));
    EXPECT_EQ(List(CSalesEntry::IdExpiry), (QStringList{"2005-04-30", "2005-10-01"}));
    // Half a word typed into 产地 survives the rebuild when the user moves on.
    Fill("联邦");
    EXPECT_EQ(Text(CSalesEntry::IdOrigin), "联邦");
    EXPECT_TRUE(List(CSalesEntry::IdPackModel).isEmpty());
    // A list is narrowed by the pickers before it only.
    EXPECT_EQ(List(CSalesEntry::IdName), (QStringList{"阿莫西林胶囊", "板蓝根颗粒"}));
    // Corrected, the lists come back to that drug's card.
    Press(Qt::Key_Backtab);
    Fill("联邦制药");
    EXPECT_EQ(List(CSalesEntry::IdExpiry), QStringList{"2005-10-01"});
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(SalesEntryDlgTest, TheAmountFollowsTypingWithoutRewritingTheField) {
    Open();
    Control(CSalesEntry::IdPrice)->setFocus();
    Control<QLineEdit>(CSalesEntry::IdPrice)->selectAll();
    Type("1.");
    EXPECT_EQ(Text(CSalesEntry::IdPrice), "1.");
    EXPECT_EQ(Text(CSalesEntry::IdAmount), "1.00");
    Type("25");
    EXPECT_EQ(Text(CSalesEntry::IdAmount), "1.25");
    // What does not parse leaves the amount at the last good figure, and shows no message.
    Type("x");
    EXPECT_EQ(Text(CSalesEntry::IdPrice), "1.25x");
    EXPECT_EQ(Text(CSalesEntry::IdAmount), "1.25");
    Press(Qt::Key_Backspace);
    Control(CSalesEntry::IdQuantity)->setFocus();
    Control<QLineEdit>(CSalesEntry::IdQuantity)->selectAll();
    Type("4");
    EXPECT_EQ(Text(CSalesEntry::IdAmount), "5.00");
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(SalesEntryDlgTest, SwitchingTheSaleTypeChangesOnlyPiecesPerBox) {
    Open();
    Control(CSalesEntry::IdPrice)->setFocus();
    Fill("0.5");
    Control(CSalesEntry::IdQuantity)->setFocus();
    Fill("3");
    ChooseSaleType(CSalesEntry::kSplitPack);
    EXPECT_TRUE(PiecesShown());
    EXPECT_EQ(Text(CSalesEntry::IdPiecesPerBox), "20");
    EXPECT_EQ(Text(CSalesEntry::IdPrice), "0.5");
    EXPECT_EQ(Text(CSalesEntry::IdQuantity), "3");
    // 20 again, whatever was typed before.
    Control(CSalesEntry::IdPiecesPerBox)->setFocus();
    Fill("10");
    ChooseSaleType(CSalesEntry::kWholeBox);
    EXPECT_FALSE(PiecesShown());
    EXPECT_EQ(Text(CSalesEntry::IdPiecesPerBox), "1");
    ChooseSaleType(CSalesEntry::kSplitPack);
    EXPECT_EQ(Text(CSalesEntry::IdPiecesPerBox), "20");
    EXPECT_EQ(Text(CSalesEntry::IdQuantity), "3");
}

TEST_P(SalesEntryDlgTest, ASplitPackSaleTypedAndEnteredIsRecordedAndTheFormCleared) {
    Open();
    const QString stamp = Text(CSalesEntry::IdTimestamp);
    TypeCard("阿莫西林胶囊", "石药集团", "0.25g*24粒", "2005-04-30");
    Fill("0.5");
    ASSERT_TRUE(FocusOn(CSalesEntry::IdSaleType));
    Press(Qt::Key_Down);
    Press(Qt::Key_Tab);
    ASSERT_TRUE(FocusOn(CSalesEntry::IdQuantity));
    Fill("3");
    ASSERT_TRUE(FocusOn(CSalesEntry::IdPiecesPerBox));
    EXPECT_EQ(Text(CSalesEntry::IdPiecesPerBox), "20");
    EXPECT_EQ(Text(CSalesEntry::IdAmount), "1.50");
    // Stamped today, the card expired long ago: the sale goes ahead only after Yes.
    m_prompts.AnswerNext(CPrompts::Answer::Yes);
    Press(Qt::Key_Return);

    EXPECT_EQ(Status(), "新的销售记录已经被系统接纳");
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Texts(), QStringList{"该批药品已于 2005-04-30 过期，确定要销售吗？"});
    EXPECT_EQ(m_prompts.Messages()[0].buttons, CPrompts::Buttons::YesNoDefaultNo);
    EXPECT_EQ(QueryRows(Db(),
                        "SELECT 名称,产地,规格型号,有效截止日期,零售价,数量,销售类型,实收金额,"
                        "坏帐 FROM 销"),
              (std::vector<QStringList>{{"阿莫西林胶囊", "石药集团", "0.25g*24粒", "2005-04-30",
                                         "0.5", "0.15", "拆零销售", "1.5", "0"}}));
    // Stamped when it was added, not when the form was cleared.
    const QString stored = QueryValue(Db(), "SELECT 日期时间 FROM 销").left(19);
    EXPECT_GE(stored, stamp);
    EXPECT_LE(stored, QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss"));
    EXPECT_EQ(QueryValue(Db(), "SELECT 现有存货量 FROM 存 WHERE 产地='石药集团'"), "9.85");

    // Cleared: the sale type kept with 20 a box, 数量 1, 零售价 0, 应付金额 0, focus in 名称.
    EXPECT_EQ(Text(CSalesEntry::IdSaleType), "拆零销售");
    EXPECT_TRUE(PiecesShown());
    EXPECT_EQ(Text(CSalesEntry::IdPiecesPerBox), "20");
    EXPECT_EQ(Text(CSalesEntry::IdQuantity), "1");
    EXPECT_EQ(Text(CSalesEntry::IdPrice), "0");
    EXPECT_EQ(Text(CSalesEntry::IdAmount), "0");
    for (int id : {CSalesEntry::IdName, CSalesEntry::IdOrigin, CSalesEntry::IdPackModel,
                   CSalesEntry::IdExpiry})
        EXPECT_TRUE(Text(id).isEmpty()) << id;
    EXPECT_TRUE(Control<QLabel>(CSalesEntry::IdCardHint)->text().isEmpty());
    EXPECT_TRUE(ScanHasTheFocus());
    EXPECT_TRUE(
        QDateTime::fromString(Text(CSalesEntry::IdTimestamp), "yyyy-MM-dd HH:mm:ss").isValid());
}

TEST_P(SalesEntryDlgTest, AFailedSaleKeepsTheFormAndItsTimeStamp) {
    Open();
    Control(CSalesEntry::IdTimestamp)->setFocus();
    Fill("2003-05-02 10:15:30");
    TypeCard("阿莫西林胶囊", "石药集团", "0.25g*24粒", "2005-04-30");
    Fill("2");
    Press(Qt::Key_Return);
    EXPECT_EQ(Status(), CSalesEntry::kRecorded);
    EXPECT_EQ(QueryValue(Db(), "SELECT 日期时间 FROM 销").left(19), "2003-05-02 10:15:30");
    // A stamp that is no date-time is refused, and the form keeps what was typed.
    Control(CSalesEntry::IdTimestamp)->setFocus();
    Fill("2003-05-02 25:15:30");
    TypeCard("阿莫西林胶囊", "石药集团", "0.25g*24粒", "2005-04-30");
    Fill("2");
    Press(Qt::Key_Return);
    EXPECT_EQ(Status(), CSalesEntry::kStampInvalid);
    EXPECT_EQ(Text(CSalesEntry::IdTimestamp), "2003-05-02 25:15:30");
    EXPECT_EQ(Text(CSalesEntry::IdName), "阿莫西林胶囊");
    EXPECT_EQ(Text(CSalesEntry::IdPrice), "2");
    EXPECT_EQ(Count(Db(), "销"), "1");

    // A name that matches no card empties the lists, and 添加 says the card does not exist.
    Control(CSalesEntry::IdTimestamp)->setFocus();
    Fill("2003-05-02 10:15:31");
    Control(CSalesEntry::IdName)->setFocus();
    Fill("阿莫西林");
    EXPECT_TRUE(List(CSalesEntry::IdOrigin).isEmpty());
    QTest::mouseClick(Control<QPushButton>(1), Qt::LeftButton);
    EXPECT_EQ(Status(), CSalesEntry::kNoSuchCard);
    EXPECT_EQ(Text(CSalesEntry::IdName), "阿莫西林");
}

// Answers 结账's question, once it is asked: `key` picks the method (Esc cancels), then cash
// handed over as `tendered`.
void AnswerPayment(Qt::Key key, const char* tendered = "") {
    QTimer::singleShot(0, [key, tendered] {
        auto* asked = qobject_cast<CPaymentDlg*>(QApplication::activeModalWidget());
        if (!asked) {
            ADD_FAILURE() << "结账 did not ask how the customer pays";
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
            return;
        }
        const auto control = [asked](int id) {
            return asked->findChild<QWidget*>(QString::number(id));
        };
        QTest::keyClick(control(CPaymentDlg::IdMethods), key);
        if (!asked->isVisible())
            return;
        QTest::keyClick(control(CPaymentDlg::IdMethods), Qt::Key_Return);
        QTest::keyClicks(control(CPaymentDlg::IdTendered), tendered);
        QTest::keyClick(control(CPaymentDlg::IdTendered), Qt::Key_Return);
    });
}

TEST_P(SalesEntryDlgTest, CheckoutPrintsTheBasketsReceiptAndClosingAsksAboutAnUnprintedOne) {
    receipttest::CReceiptScope receipts; // saved as PDF, in a folder of the test's own
    m_settings.SetExpiredLocked(false);
    Open();
    const auto sell = [&] {
        TypeCard("阿莫西林胶囊", "石药集团", "0.25g*24粒", "2005-04-30");
        Fill("2");
        m_prompts.AnswerNext(CPrompts::Answer::Yes);
        Press(Qt::Key_Return);
        ASSERT_EQ(Status(), CSalesEntry::kRecorded);
    };
    const auto basket = [&] { return Control<QLabel>(CSalesEntryDlg::IdBasket)->text(); };
    EXPECT_EQ(basket(), "本单 0 笔 · 合计 0.00 元");
    sell();
    sell();
    EXPECT_EQ(basket(), "本单 2 笔 · 合计 4.00 元");
    // Esc cancels 结账: nothing is paid, 本单 stays.
    AnswerPayment(Qt::Key_Escape);
    Press(Qt::Key_F9);
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    EXPECT_EQ(Status(), "结账已取消，本单不变");
    EXPECT_EQ(basket(), "本单 2 笔 · 合计 4.00 元");
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 销 WHERE 支付方式<>''"), "0");
    AnswerPayment(Qt::Key_1, "10");
    Press(Qt::Key_F9);
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    const QString saved = QStringLiteral("现金 实收 10.00 元，找零 6.00 元；小票已保存：");
    ASSERT_TRUE(Status().startsWith(saved)) << Status().toStdString();
    EXPECT_TRUE(QFileInfo::exists(Status().mid(saved.size())));
    EXPECT_EQ(basket(), "本单 0 笔 · 合计 0.00 元");
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 销 WHERE 支付方式='现金'"), "2");
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志 WHERE 动作='打印小票'"), "1");
    // A sale left in 本单: closing asks first; No closes without a receipt.
    sell();
    m_prompts.Clear();
    Press(Qt::Key_Escape);
    EXPECT_EQ(m_prompts.Texts(), QStringList{"本单还有 1 笔销售没有打印小票。现在结账打印吗？"});
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志 WHERE 动作='打印小票'"), "1");
}

TEST_P(SalesEntryDlgTest, AStampNotTypedIsTakenWhenTheSaleIsAdded) {
    Open();
    // The form as it stands after hours open: stamped when it was cleared.
    Control<QLineEdit>(CSalesEntry::IdTimestamp)->setText("2003-05-02 10:15:30");
    TypeCard("阿莫西林胶囊", "石药集团", "0.25g*24粒", "2005-04-30");
    Fill("2");
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    m_prompts.AnswerNext(CPrompts::Answer::Yes);
    Press(Qt::Key_Return);
    ASSERT_EQ(Status(), CSalesEntry::kRecorded);
    const QDateTime stamp = QDateTime::fromString(
        QueryValue(Db(), "SELECT 日期时间 FROM 销").left(19), "yyyy-MM-dd hh:mm:ss");
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, QDateTime::currentDateTime());
}

TEST_P(SalesEntryDlgTest, EnterOnTheExpiredCardQuestionAnswersNoAndRecordsNothing) {
    Open();
    TypeCard("阿莫西林胶囊", "石药集团", "0.25g*24粒", "2005-04-30");
    Fill("2");
    // The real message box this time, answered by Enter as a hurried user would.
    SetPrompts(nullptr);
    QString asked;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        asked = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    Press(Qt::Key_Return);
    SetPrompts(&m_prompts);
    EXPECT_EQ(asked, "该批药品已于 2005-04-30 过期，确定要销售吗？");
    EXPECT_EQ(Status(), CSalesEntry::kExpiredDeclined);
    EXPECT_EQ(Count(Db(), "销"), "0");
    EXPECT_EQ(Text(CSalesEntry::IdName), "阿莫西林胶囊");
}

TEST_P(SalesEntryDlgTest, NothingSavedLocksExpiredStockAndAddRefusesKeepingTheForm) {
    m_settings.Clear();
    Open();
    TypeCard("阿莫西林胶囊", "石药集团", "0.25g*24粒", "2005-04-30");
    Fill("2");
    m_prompts.AnswerNext(CPrompts::Answer::Yes);
    Press(Qt::Key_Return);
    const QString refusal = QStringLiteral("该批药品已于 2005-04-30 过期，已禁止销售，请报损处理");
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text, refusal);
    EXPECT_EQ(m_prompts.Messages()[0].icon, CPrompts::Icon::Warning);
    EXPECT_EQ(m_prompts.Messages()[0].buttons, CPrompts::Buttons::Ok);
    EXPECT_EQ(Status(), refusal);
    EXPECT_EQ(Count(Db(), "销"), "0");
    EXPECT_EQ(Count(Db(), "日志"), "0");
    EXPECT_EQ(QueryValue(Db(), "SELECT 现有存货量 FROM 存 WHERE 产地='石药集团'"), "10");
    EXPECT_EQ(Text(CSalesEntry::IdName), "阿莫西林胶囊");
    EXPECT_EQ(Text(CSalesEntry::IdExpiry), "2005-04-30");
    EXPECT_EQ(Text(CSalesEntry::IdPrice), "2");
    EXPECT_TRUE(FocusOn(CSalesEntry::IdExpiry));
}

TEST_P(SalesEntryDlgTest, ACountThatDoesNotParseIsShownOnAddAndTakesTheFocus) {
    Open();
    TypeCard("板蓝根颗粒", "白云山", "10g*20袋", "2006-01-31");
    Control(CSalesEntry::IdQuantity)->setFocus();
    Control<QLineEdit>(CSalesEntry::IdQuantity)->selectAll();
    Type("-1");
    EXPECT_TRUE(m_prompts.Messages().empty());
    Press(Qt::Key_Return);
    EXPECT_EQ(m_prompts.Texts(), QStringList{"Please enter a positive integer."});
    EXPECT_TRUE(FocusOn(CSalesEntry::IdQuantity));
    EXPECT_EQ(Text(CSalesEntry::IdQuantity), "-1");
    EXPECT_EQ(Status(), CSalesEntry::kOpeningStatus);
    EXPECT_EQ(Count(Db(), "销"), "0");
}

TEST_P(SalesEntryDlgTest, EscapeClosesWithoutWriting) {
    Open();
    TypeCard("板蓝根颗粒", "白云山", "10g*20袋", "2006-01-31");
    Press(Qt::Key_Escape);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
    EXPECT_EQ(Count(Db(), "销"), "0");
}

TEST_P(SalesEntryDlgTest, AScanFillsTheFirstCardToExpireAndOneEnterRecordsItOnce) {
    Catalogue("板蓝根颗粒", "白云山", "10g*20袋", "6901234567801", "12.5");
    Open();
    ASSERT_TRUE(ScanHasTheFocus());
    Scanned("6901234567801");
    // The 2006 card has expired; the 2099 one is sold.
    EXPECT_EQ(
        QStringList({Text(CSalesEntry::IdName), Text(CSalesEntry::IdOrigin),
                     Text(CSalesEntry::IdPackModel), Text(CSalesEntry::IdExpiry),
                     Text(CSalesEntry::IdPrice), Text(CSalesEntry::IdQuantity),
                     Text(CSalesEntry::IdAmount)}),
        QStringList({"板蓝根颗粒", "白云山", "10g*20袋", "2099-12-31", "12.5", "1", "12.50"}));
    ASSERT_TRUE(FocusOn(CSalesEntry::IdQuantity));
    EXPECT_EQ(Control<QLineEdit>(CSalesEntry::IdQuantity)->selectedText(), "1");
    EXPECT_TRUE(m_dialog->findChild<QLineEdit*>("scan")->text().isEmpty());
    Press(Qt::Key_Return);
    EXPECT_EQ(Status(), CSalesEntry::kRecorded);
    EXPECT_EQ(QueryRows(Db(), "SELECT 有效截止日期,数量,实收金额 FROM 销"),
              (std::vector<QStringList>{{"2099-12-31", "1", "12.5"}}));
    // A second Enter, the scanner's or the clerk's, finds the form waiting for the next item.
    ASSERT_TRUE(ScanHasTheFocus());
    Press(Qt::Key_Return);
    EXPECT_EQ(Count(Db(), "销"), "1");
    EXPECT_EQ(Status(), CSalesEntry::kRecorded);
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(SalesEntryDlgTest, AScanWhileQuantityHasTheFocusIsTheNextItemAndAnUnknownOneChangesNothing) {
    Catalogue("板蓝根颗粒", "白云山", "10g*20袋", "6901234567801", "12.5");
    Catalogue("阿莫西林胶囊", "石药集团", "0.25g*24粒", "6901234567818", "20");
    Open();
    Scanned("6901234567801");
    ASSERT_TRUE(FocusOn(CSalesEntry::IdQuantity));
    Typed('2');
    EXPECT_EQ(Text(CSalesEntry::IdQuantity), "2");
    // No Enter: the next scan records the first item with the 2 typed, then reads the second.
    Scanned("6901234567818");
    EXPECT_EQ(QueryRows(Db(), "SELECT 名称,数量,实收金额 FROM 销"),
              (std::vector<QStringList>{{"板蓝根颗粒", "2", "25"}}));
    EXPECT_EQ(Text(CSalesEntry::IdName), "阿莫西林胶囊");
    EXPECT_EQ(Text(CSalesEntry::IdQuantity), "1");
    ASSERT_TRUE(FocusOn(CSalesEntry::IdQuantity));
    Typed('3');
    // A code nobody registered: said so, and the form keeps the item and its 3.
    Scanned("6901234567892");
    EXPECT_EQ(Status(), "条形码 6901234567892 未登记");
    EXPECT_EQ(Text(CSalesEntry::IdName), "阿莫西林胶囊");
    EXPECT_EQ(Text(CSalesEntry::IdQuantity), "3");
    EXPECT_EQ(Text(CSalesEntry::IdAmount), "60.00");
    EXPECT_EQ(Count(Db(), "销"), "1");
    EXPECT_TRUE(ScanHasTheFocus());
    EXPECT_TRUE(m_prompts.Messages().empty());
}

// Boxes sold by their trace codes: the first takes its own card, the next raises 数量; a code
// sold already is refused at the scan, naming its sale, and changes nothing.
TEST_P(SalesEntryDlgTest, TraceCodesSellTheirBoxesAndASoldOneIsRefusedNamingItsSale) {
    Catalogue("阿莫西林胶囊", "石药集团", "0.25g*24粒", "6901234567818", "20");
    const QStringList codes{"81234567890123456781", "81234567890123456782", "81234567890123456783"};
    CPurchaseEntry::Form boxes = Batch("8", "3");
    boxes.expiry = QDate(2099, 12, 31);
    boxes.traceCodes = codes;
    ASSERT_TRUE(CPurchaseEntry(&Db()).Add(boxes).recorded);
    m_dialog = std::make_unique<CSalesEntryDlg>(&Db(), nullptr, QStringLiteral("张三"));
    ShowActive(m_dialog.get());
    Scanned("81234567890123456781");
    EXPECT_EQ(QStringList({Text(CSalesEntry::IdName), Text(CSalesEntry::IdExpiry),
                           Text(CSalesEntry::IdQuantity)}),
              QStringList({"阿莫西林胶囊", "2099-12-31", "1"}));
    Scanned("81234567890123456782");
    EXPECT_EQ(Text(CSalesEntry::IdQuantity), "2");
    EXPECT_EQ(Text(CSalesEntry::IdAmount), "40.00");
    EXPECT_TRUE(Status().contains("追溯码 已扫 2/2")) << Status().toStdString();
    ASSERT_TRUE(FocusOn(CSalesEntry::IdQuantity));
    Press(Qt::Key_Return);
    ASSERT_EQ(Status(), CSalesEntry::kRecorded);
    EXPECT_EQ(QueryRows(Db(), "SELECT 状态 FROM 追溯码 ORDER BY 追溯码"),
              (std::vector<QStringList>{{"已售"}, {"已售"}, {"在库"}}));

    const QStringList sold = QueryRows(Db(), "SELECT 日期时间,单号 FROM 销")[0];
    const std::vector<QStringList> before = AllBooks(Db());
    Scanned("81234567890123456781");
    EXPECT_EQ(Status(), QStringLiteral("该追溯码已于 %1 由 张三 售出（单号 %2），不能再次销售")
                            .arg(sold[0].left(16), sold[1]));
    EXPECT_TRUE(Text(CSalesEntry::IdName).isEmpty());
    EXPECT_EQ(AllBooks(Db()), before);
    EXPECT_EQ(QueryValue(Db(), "SELECT 状态 FROM 追溯码 WHERE 追溯码='81234567890123456783'"),
              "在库");
    EXPECT_TRUE(m_prompts.Messages().empty());
}

// A 店长 attaches an unknown code to the drug the form names; the code then sells it.
TEST_P(SalesEntryDlgTest, AManagerAttachesAnUnknownCodeToTheDrugOfTheForm) {
    Catalogue("阿莫西林胶囊", "石药集团", "0.25g*24粒", "6901234567818", "20");
    m_dialog = std::make_unique<CSalesEntryDlg>(&Db(), nullptr, QStringLiteral("店长甲"), true);
    ShowActive(m_dialog.get());
    Scanned("6901234567818");
    Press(Qt::Key_Return);
    ASSERT_EQ(Count(Db(), "销"), "1");
    TypeCard("阿莫西林胶囊", "石药集团", "0.25g*24粒", "2099-12-31");
    m_prompts.AnswerNext(CPrompts::Answer::Yes);
    Scanned("6901234567892");
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_TRUE(m_prompts.Messages()[0].text.contains("6901234567892 未登记"));
    EXPECT_EQ(QueryValue(Db(), "SELECT 名称 FROM 药品条码 WHERE 条形码='6901234567892'"),
              "阿莫西林胶囊");
    EXPECT_EQ(QueryValue(Db(), "SELECT 操作员 FROM 日志 WHERE 动作='登记条码'"), "店长甲");
    EXPECT_TRUE(Status().startsWith("已登记条形码 6901234567892")) << Status().toStdString();
    EXPECT_EQ(Text(CSalesEntry::IdQuantity), "1");
    ASSERT_TRUE(FocusOn(CSalesEntry::IdQuantity));
}

APRICOT_INSTANTIATE_BACKENDS(SalesEntryDlgTest);

} // namespace
