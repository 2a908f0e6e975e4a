// 报损/退货 offscreen on both backends: a scanner's burst wherever the focus is goes to the code
// list, never into 数量, and 添加 takes the listed codes out with the write-off.
#include "CWriteOffDlg.h"
#include "dialog_driver.h"
#include "entry_books.h"
#include "recording_prompts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

using namespace entrytest;

class WriteOffDlgTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(Batch("8", "10")).recorded);
    }
    template <class T = QWidget> T* Control(int id) const {
        return m_dialog->findChild<T*>(QString::number(id));
    }
    // A scanner's burst on the focused control: the digits 4 ms apart and Enter.
    void Scanned(const char* code) {
        m_ms += 300;
        const auto key = [this](Qt::Key k, const QString& text) {
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent event(type, k, Qt::NoModifier, text);
                event.setTimestamp(m_ms);
                QApplication::sendEvent(Focused(), &event);
            }
        };
        for (const char* c = code; *c; ++c, m_ms += 4)
            key(Qt::Key(Qt::Key_0 + (*c - '0')), QString(QLatin1Char(*c)));
        key(Qt::Key_Return, QStringLiteral("\r"));
    }

    CRecordingPrompts m_prompts;
    std::unique_ptr<CWriteOffDlg> m_dialog;
    ulong m_ms = 10'000'000;
};

TEST_P(WriteOffDlgTest, ABurstInQuantityIsABoxCodeAndAddTakesItOut) {
    const losssql::Card card = {"阿莫西林胶囊", "石药集团", "0.25g*24粒", "2005-04-30"};
    QString failure;
    const std::optional<CWriteOff::Form> preset =
        CWriteOff(&Db()).ForCard(card, QDate::currentDate(), &failure);
    ASSERT_TRUE(preset) << failure.toStdString();
    m_dialog = std::make_unique<CWriteOffDlg>(&Db(), nullptr, QStringLiteral("李店长"), preset);
    ShowActive(m_dialog.get());
    ASSERT_TRUE(FocusIn(m_dialog.get(), CWriteOff::IdQuantity));
    Control<QLineEdit>(CWriteOff::IdQuantity)->setText(QStringLiteral("2"));

    Scanned("81000000000000000001");
    // A barcode is no box's code: listed nowhere, and 数量 keeps its 2 either way.
    Scanned("6901234567892");
    EXPECT_EQ(Control<QLineEdit>(CWriteOff::IdQuantity)->text(), "2");
    const auto* list = Control<QListWidget>(CWriteOff::IdTraceCodes);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), "81000000000000000001");
    EXPECT_EQ(Control<QLabel>(CWriteOff::IdTraceCount)->text(), "追溯码 已扫 1/2");

    m_dialog->findChild<QPushButton*>("1")->click();
    EXPECT_EQ(QueryRows(Db(), "SELECT 状态, 出库单号 FROM 追溯码"),
              (std::vector<QStringList>{{"报损", QueryValue(Db(), "SELECT 单号 FROM 损")}}));
}

APRICOT_INSTANTIATE_BACKENDS(WriteOffDlgTest);

} // namespace
