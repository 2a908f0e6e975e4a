// The shell's rules without widgets: detail statements at the date boundaries, the clock text
// and the feedback mail.
#include "command_ids.h"
#include "detail_statements.h"
#include "feedback.h"
#include "frame_resources.h"
#include "pharmacist_on_duty.h"
#include "status_clock.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

TEST(DetailStatements, TodaysSalesCoverTheWholeDay) {
    EXPECT_EQ(
        TodaySalesStatement(QDate(2003, 5, 1)),
        QStringLiteral("SELECT * FROM 销 WHERE 日期时间 BETWEEN '2003-05-01 00:00:00.000' AND "
                       "'2003-05-01 23:59:59.999' ORDER BY 日期时间 ASC"));
    // Leap day and the last day of the year keep their own date in both bounds.
    EXPECT_EQ(
        TodaySalesStatement(QDate(2024, 2, 29)),
        QStringLiteral("SELECT * FROM 销 WHERE 日期时间 BETWEEN '2024-02-29 00:00:00.000' AND "
                       "'2024-02-29 23:59:59.999' ORDER BY 日期时间 ASC"));
    EXPECT_EQ(
        TodaySalesStatement(QDate(2025, 12, 31)),
        QStringLiteral("SELECT * FROM 销 WHERE 日期时间 BETWEEN '2025-12-31 00:00:00.000' AND "
                       "'2025-12-31 23:59:59.999' ORDER BY 日期时间 ASC"));
}

TEST(DetailStatements, YearPurchasesRunToNewYearsDayOfTheNextYear) {
    const QString y2025 = QStringLiteral("SELECT * FROM 进 WHERE 采购日期 BETWEEN '2025-01-01' AND "
                                         "'2026-01-01' ORDER BY 采购日期 ASC");
    EXPECT_EQ(YearPurchasesStatement(QDate(2025, 1, 1)), y2025);
    EXPECT_EQ(YearPurchasesStatement(QDate(2025, 12, 31)), y2025);
    EXPECT_EQ(
        YearPurchasesStatement(QDate(999, 6, 1)),
        QStringLiteral("SELECT * FROM 进 WHERE 采购日期 BETWEEN '0999-01-01' AND '1000-01-01' "
                       "ORDER BY 采购日期 ASC"));
}

TEST(DetailStatements, StockListIsEveryCard) {
    EXPECT_EQ(StockListStatement(), QStringLiteral("SELECT * FROM 存"));
}

TEST(GridTitle, NamesTheCommandAndThePeriodOfItsStatement) {
    const std::pair<QString, QString> cases[] = {
        {TodaySalesStatement(QDate(2026, 12, 8)), "本日销售明细 2026-12-08"},
        {"SELECT * FROM 销 WHERE 日期时间 BETWEEN '2026-12-01 00:00:00.000' AND '2026-12-08 "
         "23:59:59.999'",
         "本日销售明细 2026-12-01 至 2026-12-08"},
        {StockListStatement(), "本日销售明细"},
    };
    for (const auto& [sql, title] : cases)
        EXPECT_EQ(GridTitle(CommandText(cmd::TodaySales), sql), title) << sql.toStdString();
    // A bound range: its marks come after those before it.
    EXPECT_EQ(
        GridTitle(CommandText(cmd::TraceSalesReport),
                  "SELECT CASE WHEN d.动作=? THEN ? END FROM d WHERE d.时间 BETWEEN ? AND ?",
                  {QStringLiteral("拆零"), QStringLiteral("是"),
                   QStringLiteral("2026-12-01 00:00:00"), QStringLiteral("2026-12-08 23:59:59")}),
        "追溯码销售明细 2026-12-01 至 2026-12-08");
    EXPECT_EQ(CommandText(cmd::Print), "打印");
    EXPECT_TRUE(CommandText(1).isEmpty());
}

TEST(ClockText, ShowsDateHourAndMinuteWithLeadingZeros) {
    EXPECT_EQ(ClockText(QDateTime(QDate(2003, 5, 1), QTime(9, 5, 0))),
              QStringLiteral("2003年05月01日09点05分"));
    EXPECT_EQ(ClockPlaceholder(), QStringLiteral("0000年00月00日00点00分"));
    EXPECT_EQ(ClockText(QDateTime(QDate(2003, 5, 1), QTime(0, 0))).size(),
              ClockPlaceholder().size());
}

TEST(ClockText, ChangesOncePerMinuteAndCrossesMidnight) {
    const QDateTime start(QDate(2025, 12, 31), QTime(23, 59, 0));
    EXPECT_EQ(ClockText(start), ClockText(start.addSecs(59)));
    EXPECT_EQ(ClockText(start), QStringLiteral("2025年12月31日23点59分"));
    EXPECT_EQ(ClockText(start.addSecs(60)), QStringLiteral("2026年01月01日00点00分"));
}

// The pharmacist leaves even when the log cannot say so; the failure is told, not swallowed.
TEST(PharmacistOnDuty, PaneNamesThePharmacistAndLeavingAlwaysClears) {
    CPharmacistOnDuty onDuty;
    EXPECT_EQ(onDuty.PaneText(), QStringLiteral("药师不在岗"));
    onDuty.Set(QStringLiteral("张三"));
    EXPECT_EQ(onDuty.PaneText(), QStringLiteral("在岗药师：张三"));
    EXPECT_FALSE(onDuty.GoOff(nullptr, QStringLiteral("李四"), QDateTime()).isEmpty());
    EXPECT_EQ(onDuty.PaneText(), QStringLiteral("药师不在岗"));
}

TEST(FeedbackMail, SubjectAndBodyArePercentEncoded) {
    const QString subject = QStringLiteral("信息反馈单");
    const QString body =
        QStringLiteral("这封邮件将直接发送给该系统的开发人员，请在下面说明你遇到的问题或者建议：");
    const QByteArray expected =
        "mailto:help@pharmacy.example?subject=" + QUrl::toPercentEncoding(subject) +
        "&body=" + QUrl::toPercentEncoding(body);
    const QUrl url = FeedbackMailUrl(QStringLiteral("help@pharmacy.example"));
    EXPECT_TRUE(url.isValid());
    EXPECT_EQ(url.toEncoded(), expected);
    EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(url.path(), QStringLiteral("help@pharmacy.example"));
}

TEST(FeedbackMail, LinkIsTheBareAddress) {
    EXPECT_EQ(FeedbackLinkUrl(QStringLiteral("a@b.example")).toString(),
              QStringLiteral("mailto:a@b.example"));
    EXPECT_FALSE(DefaultFeedbackAddress().isEmpty());
    EXPECT_TRUE(DefaultFeedbackAddress().contains(QLatin1Char('@')));
}

} // namespace
