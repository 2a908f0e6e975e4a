// The condition dialogs: captions, prompts, labels, default dates, the texts their OK routine
// takes from the pickers, and closing without a change.
#include "CDayReportDlg.h"
#include "CPeriodReportDlg.h"
#include "CPurchaseQueryDlg.h"
#include "CSalesQueryDlg.h"
#include "CSalesTrendWnd.h"
#include "CStockQueryDlg.h"
#include "qt_printers.h"
#include "recording_prompts.h"
#include "typing.h"

#include <QCalendarWidget>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QValueAxis>
#include <gtest/gtest.h>
#include <tuple>

namespace {

const QDateTime kNow(QDate(2003, 5, 10), QTime(14, 30, 5));

QDateEdit* Picker(QDialog& dialog, const char* id) {
    return dialog.findChild<QDateEdit*>(QString::fromLatin1(id));
}

QStringList LabelTexts(QDialog& dialog) {
    QStringList out;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (!label->text().isEmpty())
            out << label->text();
    return out;
}

void Click(QDialog& dialog, const char* id) {
    auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(id));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

// The frame every condition dialog shares.
void ExpectFrame(CConditionDlg& dialog, const QString& okText) {
    EXPECT_NE(dialog.findChild<QLabel*>(QStringLiteral("186")), nullptr);
    EXPECT_FALSE(dialog.findChild<QLabel*>(QStringLiteral("186"))->pixmap().isNull());
    EXPECT_EQ(dialog.OkButton()->text(), okText);
    EXPECT_TRUE(dialog.OkButton()->isDefault());
    EXPECT_EQ(dialog.CloseButton()->text(), QStringLiteral("关闭"));
}

void ExpectShortDatePicker(QDateEdit* picker) {
    ASSERT_NE(picker, nullptr);
    EXPECT_TRUE(picker->calendarPopup());
    EXPECT_EQ(picker->displayFormat(), QStringLiteral("yyyy-MM-dd"));
    EXPECT_EQ(picker->calendarWidget()->locale().language(), QLocale::Chinese);
}

TEST(DateRangeDialogs, PurchaseQueryOpensOn356DaysBackToToday) {
    CPurchaseQueryDlg dialog(kNow);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("189"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("采购查询"));
    ExpectFrame(dialog, QStringLiteral("搜索"));
    ExpectShortDatePicker(Picker(dialog, "1047"));
    ExpectShortDatePicker(Picker(dialog, "1048"));
    EXPECT_TRUE(LabelTexts(dialog).contains(
        QStringLiteral("请在下面输入要检索的采购记录的信息，然后按【搜索】按钮进行搜索:")));
    EXPECT_TRUE(LabelTexts(dialog).contains(QStringLiteral("开始时间：")));
    EXPECT_TRUE(LabelTexts(dialog).contains(QStringLiteral("结束时间：")));
    EXPECT_EQ(Picker(dialog, "1047")->text(), QStringLiteral("2002-05-19"));
    EXPECT_EQ(Picker(dialog, "1048")->text(), QStringLiteral("2003-05-10"));
}

TEST(DateRangeDialogs, SalesQueryOpensOnYesterdayAndToday) {
    CSalesQueryDlg dialog(kNow);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("190"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("销售查询"));
    ExpectFrame(dialog, QStringLiteral("搜索"));
    EXPECT_TRUE(LabelTexts(dialog).contains(
        QStringLiteral("请在下面输入要检索的销售记录的信息，然后按【搜索】按钮进行搜索:")));
    EXPECT_TRUE(LabelTexts(dialog).contains(QStringLiteral("开始时间：")));
    EXPECT_EQ(Picker(dialog, "1047")->text(), QStringLiteral("2003-05-09"));
    EXPECT_EQ(Picker(dialog, "1048")->text(), QStringLiteral("2003-05-10"));
}

TEST(DateRangeDialogs, SearchTakesTheTextsThePickersShow) {
    CSalesQueryDlg dialog(kNow);
    EXPECT_TRUE(dialog.StartText().isEmpty());
    Picker(dialog, "1047")->setDate(QDate(2001, 2, 3));
    Picker(dialog, "1048")->setDate(QDate(1999, 12, 31)); // not validated
    Click(dialog, "1");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.StartText(), QStringLiteral("2001-02-03"));
    EXPECT_EQ(dialog.EndText(), QStringLiteral("1999-12-31"));
    EXPECT_EQ(dialog.StartDate().date(), QDate(2001, 2, 3));
    EXPECT_EQ(dialog.EndDate().date(), QDate(1999, 12, 31));
}

TEST(DateRangeDialogs, CloseTakesNothing) {
    CPurchaseQueryDlg dialog(kNow);
    Picker(dialog, "1047")->setDate(QDate(2001, 2, 3));
    Click(dialog, "2");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.StartText().isEmpty());
    EXPECT_TRUE(dialog.EndText().isEmpty());
}

TEST(DateRangeDialogs, PeriodDialogShowsTheDatesAndHintItWasGiven) {
    CPeriodReportDlg dialog;
    EXPECT_EQ(dialog.objectName(), QStringLiteral("210"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("报表－汇总条件"));
    ExpectFrame(dialog, QStringLiteral("查看"));
    EXPECT_TRUE(LabelTexts(dialog).contains(
        QStringLiteral("请在下面输入要查看的报表的起始日期和结束日期：")));
    EXPECT_TRUE(LabelTexts(dialog).contains(QStringLiteral("起始日期：")));
    EXPECT_TRUE(LabelTexts(dialog).contains(QStringLiteral("结束日期：")));
    dialog.SetDates(QDateTime(QDate(2003, 5, 1), QTime(0, 0)), kNow);
    dialog.SetHint(QStringLiteral("默认为本月"));
    auto* hint = dialog.findChild<QLabel*>(QStringLiteral("1063"));
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->text(), QStringLiteral("默认为本月"));
    EXPECT_EQ(Picker(dialog, "1047")->text(), QStringLiteral("2003-05-01"));
    EXPECT_EQ(Picker(dialog, "1048")->text(), QStringLiteral("2003-05-10"));
    // The same OK routine as the queries.
    Picker(dialog, "1048")->setDate(QDate(2003, 5, 31));
    Click(dialog, "1");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.StartText(), QStringLiteral("2003-05-01"));
    EXPECT_EQ(dialog.EndText(), QStringLiteral("2003-05-31"));
}

TEST(DatePicker, CalendarDropsDownFromThePickersRightEdge) {
    CPeriodReportDlg dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QDateEdit* picker = Picker(dialog, "1048");
    QTest::mouseClick(picker, Qt::LeftButton, {},
                      QPoint(picker->width() - 5, picker->height() / 2));
    QWidget* popup = picker->calendarWidget()->window();
    ASSERT_TRUE(popup->isVisible());
    const int pickerRight = picker->mapToGlobal(QPoint(picker->width() - 1, 0)).x();
    EXPECT_EQ(popup->geometry().right(), pickerRight);
    EXPECT_GT(popup->width(), picker->width() / 4);
    popup->hide();
}

TEST(DayReportDialog, OpensOnTodayAndTakesThePickersText) {
    CDayReportDlg dialog(kNow);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("209"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("日销售报表－汇总条件"));
    ExpectFrame(dialog, QStringLiteral("查看"));
    ExpectShortDatePicker(Picker(dialog, "1047"));
    EXPECT_EQ(Picker(dialog, "1048"), nullptr);
    EXPECT_TRUE(LabelTexts(dialog).contains(
        QStringLiteral("请在下面输入要查看的销售报表的日期：(默认为当天)")));
    EXPECT_TRUE(LabelTexts(dialog).contains(QStringLiteral("日期：")));
    EXPECT_EQ(Picker(dialog, "1047")->text(), QStringLiteral("2003-05-10"));
    Picker(dialog, "1047")->setDate(QDate(2003, 4, 30));
    Click(dialog, "1");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ReportDateText(), QStringLiteral("2003-04-30"));
    EXPECT_EQ(dialog.ReportDate().date(), QDate(2003, 4, 30));
}

TEST(StockQueryDialog, OpensEmptyAndTakesTheFieldsAsTyped) {
    CStockQueryDlg dialog;
    EXPECT_EQ(dialog.objectName(), QStringLiteral("191"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("采购库存"));
    ExpectFrame(dialog, QStringLiteral("搜索"));
    const QStringList labels = LabelTexts(dialog);
    EXPECT_TRUE(labels.contains(QStringLiteral(
        "请在下面输入要检索的库存记录的信息，然后按【搜索】按钮进行搜索: (支持模糊匹配)")));
    for (const char* label :
         {"名称：", "产地：", "规格型号：", "有效截止日期：", "格式:1990-01-20"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(label))) << label;
    const char* const ids[] = {"1061", "1053", "1054", "1055"};
    for (const char* id : ids) {
        auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(id));
        ASSERT_NE(edit, nullptr) << id;
        EXPECT_TRUE(edit->text().isEmpty());
    }
    TypeText(dialog.findChild<QLineEdit*>("1061"), QStringLiteral(" 板蓝 "));
    TypeText(dialog.findChild<QLineEdit*>("1054"), QStringLiteral("10g_20"));
    TypeText(dialog.findChild<QLineEdit*>("1055"), QStringLiteral("2004-%"));
    Click(dialog, "1");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Patterns().name, QStringLiteral(" 板蓝 "));
    EXPECT_EQ(dialog.Patterns().origin, QString());
    EXPECT_EQ(dialog.Patterns().packModel, QStringLiteral("10g_20"));
    EXPECT_EQ(dialog.Patterns().expiry, QStringLiteral("2004-%"));
}

TEST(StockQueryDialog, CloseTakesNothing) {
    CStockQueryDlg dialog;
    TypeText(dialog.findChild<QLineEdit*>("1061"), QStringLiteral("板蓝"));
    Click(dialog, "2");
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.Patterns().name.isEmpty());
}

// Runs `dialog` modally and presses `key` once it is up: a key on the widget that has the focus
// travels up to the dialog as a user's key does. A dialog still open after five seconds is
// closed as a failure rather than left hanging.
int ExecPressing(QDialog& dialog, Qt::Key key) {
    QTimer::singleShot(0, &dialog, [&dialog, key] {
        QWidget* target = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
        QTest::keyClick(target, key);
    });
    QTimer::singleShot(5000, &dialog, [&dialog] {
        ADD_FAILURE() << "the dialog did not close";
        dialog.done(-1);
    });
    return dialog.exec();
}

TEST(ModalConditionDialogs, EnterSearchesAndEscapeCloses) {
    CSalesQueryDlg search(kNow);
    EXPECT_EQ(ExecPressing(search, Qt::Key_Return), QDialog::Accepted);
    EXPECT_EQ(search.StartText(), QStringLiteral("2003-05-09"));

    CDayReportDlg closed(kNow);
    EXPECT_EQ(ExecPressing(closed, Qt::Key_Escape), QDialog::Rejected);
    EXPECT_TRUE(closed.ReportDateText().isEmpty());

    // Enter on the focused 关闭 presses 关闭, not the default button.
    CPeriodReportDlg period;
    QTimer::singleShot(0, &period, [&period] { period.CloseButton()->setFocus(); });
    QTimer::singleShot(10, &period,
                       [&period] { QTest::keyClick(period.CloseButton(), Qt::Key_Return); });
    QTimer::singleShot(5000, &period, [&period] { period.done(-1); });
    EXPECT_EQ(period.exec(), QDialog::Rejected);
}

TEST(SalesTrendWindow, AQuietPeriodSaysSoAndTheTitleCarriesTheTotals) {
    CSalesTrend quiet;
    quiet.points = {{QDate(2026, 12, 1)}, {QDate(2026, 12, 2)}};
    const CSalesTrendWnd empty(quiet, QDate(2026, 12, 1), QDate(2026, 12, 2));
    EXPECT_TRUE(empty.TrendView()->chart()->title().contains("这段时间没有销售记录"));
    EXPECT_TRUE(empty.DrugsView()->chart()->series().isEmpty());

    CSalesTrend busy = quiet;
    busy.points[1].turnover = busy.turnover = 20;
    busy.points[1].cost = busy.cost = 12.5;
    busy.topDrugs = {{"阿莫西林", "石药集团", "0.25g*24粒", 7.5}};
    const CSalesTrendWnd shown(busy, QDate(2026, 12, 1), QDate(2026, 12, 2));
    EXPECT_EQ(shown.windowTitle(), "销售趋势图");
    EXPECT_TRUE(shown.TrendView()->chart()->title().contains(
        "营业额 20.00 元 · 成本 12.50 元 · 净利润 7.50 元"));
    EXPECT_EQ(shown.TrendView()->chart()->series().size(), 3);
    // Both value axes step in whole round numbers over 0 .. 20 (turnover) and 0 .. 7.5 (profit).
    const auto* money =
        qobject_cast<QValueAxis*>(shown.TrendView()->chart()->axes(Qt::Vertical)[0]);
    ASSERT_TRUE(money);
    EXPECT_EQ(std::make_tuple(money->min(), money->max(), money->tickCount(), money->labelFormat()),
              std::make_tuple(0.0, 20.0, 5, QStringLiteral("%.0f")));
    const auto* profit =
        qobject_cast<QValueAxis*>(shown.DrugsView()->chart()->axes(Qt::Horizontal)[0]);
    ASSERT_TRUE(profit);
    EXPECT_EQ(
        std::make_tuple(profit->min(), profit->max(), profit->tickCount(), profit->labelFormat()),
        std::make_tuple(0.0, 8.0, 5, QStringLiteral("%.0f")));

    // 保存图片...: a name without an ending becomes a PNG file.
    CRecordingPrompts prompts;
    QTemporaryDir folder;
    prompts.ChooseFile(QDir(folder.path()).filePath("趋势"));
    CSalesTrendWnd saved(busy, QDate(2026, 12, 1), QDate(2026, 12, 2));
    ASSERT_TRUE(saved.SaveImage());
    EXPECT_EQ(prompts.Filters(), QStringList{"PNG 图片 (*.png)"});
    EXPECT_FALSE(QImage(QDir(folder.path()).filePath("趋势.png")).isNull());
}

} // namespace
