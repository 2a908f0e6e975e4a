// The shell's rules without widgets: detail statements at the date boundaries, the clock text,
// the feedback mail, and the login's table of outcomes.
#include "detail_statements.h"
#include "feedback.h"
#include "login_check.h"
#include "result_table.h"
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

// The operators as a fixed-width database would hand them over, after the grid's cell rules.
CLoginCheck Operators(std::vector<COperator> rows) {
    return CLoginCheck(std::move(rows));
}

using Outcome = CLoginCheck::Outcome;

TEST(LoginCheck, NameAndPasswordMustMatchExactly) {
    const CLoginCheck check = Operators({{"管理员", "737"}, {"Clerk", "Abc"}});
    struct Case {
        const char* name;
        const char* password;
        Outcome outcome;
    };
    const Case cases[] = {
        {"管理员", "737", Outcome::Admitted},     {"管理员", "7370", Outcome::WrongPassword},
        {"管理员", "", Outcome::WrongPassword},   {"管理员", " 737", Outcome::WrongPassword},
        {"管理员 ", "737", Outcome::UnknownUser}, // a typed trailing blank is part of the name
        {" 管理员", "737", Outcome::UnknownUser}, {"Clerk", "Abc", Outcome::Admitted},
        {"clerk", "Abc", Outcome::UnknownUser},   // case-sensitive name
        {"Clerk", "abc", Outcome::WrongPassword}, // and password
        {"", "737", Outcome::UnknownUser},        {"店员", "737", Outcome::UnknownUser},
    };
    for (const Case& c : cases)
        EXPECT_EQ(check.Check(QString::fromUtf8(c.name), QString::fromUtf8(c.password)), c.outcome)
            << c.name << " / " << c.password;
}

TEST(LoginCheck, FirstRowWithTheNameDecides) {
    const CLoginCheck check = Operators({{"王", "1"}, {"李", "2"}, {"王", "3"}});
    EXPECT_EQ(check.Check("王", "1"), Outcome::Admitted);
    EXPECT_EQ(check.Check("王", "3"), Outcome::WrongPassword);
    EXPECT_EQ(check.Check("李", "2"), Outcome::Admitted);
}

TEST(LoginCheck, EmptyNameMatchesAnOperatorWithEmptyName) {
    const CLoginCheck check = Operators({{"管理员", "737"}, {"", "x"}});
    EXPECT_EQ(check.Check("", "x"), Outcome::Admitted);
    EXPECT_EQ(check.Check("", ""), Outcome::WrongPassword);
}

TEST(LoginCheck, NobodyIsAdmittedWithoutOperators) {
    const CLoginCheck check;
    EXPECT_EQ(check.Check("", ""), Outcome::UnknownUser);
    EXPECT_EQ(check.Check("管理员", "737"), Outcome::UnknownUser);
    EXPECT_TRUE(check.SortedNames().isEmpty());
}

TEST(LoginCheck, EachOutcomeHasItsStatusFieldAndFocus) {
    using Focus = CLoginCheck::Focus;
    const auto unknown = CLoginCheck::StepFor(Outcome::UnknownUser);
    EXPECT_EQ(unknown.status, QStringLiteral("用户不存在！"));
    EXPECT_TRUE(unknown.clearPassword);
    EXPECT_EQ(unknown.focus, Focus::UserBox);
    EXPECT_FALSE(unknown.admit);

    const auto wrong = CLoginCheck::StepFor(Outcome::WrongPassword);
    EXPECT_EQ(wrong.status, QStringLiteral("密码错误！"));
    EXPECT_TRUE(wrong.clearPassword);
    EXPECT_EQ(wrong.focus, Focus::PasswordBox);
    EXPECT_FALSE(wrong.admit);

    const auto admitted = CLoginCheck::StepFor(Outcome::Admitted);
    EXPECT_EQ(admitted.status, QStringLiteral("登陆成功！"));
    EXPECT_TRUE(admitted.admit);

    EXPECT_EQ(CLoginCheck::OpeningStatus(), QStringLiteral("输入用户名和密码"));
}

TEST(LoginCheck, NamesAreSortedForTheBoxButCheckedInLoadOrder) {
    const CLoginCheck check =
        Operators({{"张三", "1"}, {"管理员", "2"}, {"李四", "3"}, {"阿明", "4"}});
    EXPECT_EQ(check.SortedNames(),
              (QStringList{"阿明", "管理员", "李四", "张三"})); // GBK order: a, g, l, z
    EXPECT_EQ(check.Operators().front().name, QStringLiteral("张三"));
}

TEST(LoginCheck, ReadsNameAndPasswordByPosition) {
    CResultTable rows;
    rows.SetColumns({{"账号", 12}, {"口令", 12}, {"备注", 12}});
    const int r = rows.AppendRow();
    rows.SetCell(r, 0, u"管理员");
    rows.SetCell(r, 1, u"737");
    rows.SetCell(r, 2, u"737x");
    const CLoginCheck check = CLoginCheck::FromResult(rows);
    EXPECT_EQ(check.Check("管理员", "737"), Outcome::Admitted);

    // A table of one column: every password is empty.
    CResultTable single;
    single.SetColumns({{"账号", 12}});
    single.SetCell(single.AppendRow(), 0, u"甲");
    EXPECT_EQ(CLoginCheck::FromResult(single).Check("甲", ""), Outcome::Admitted);
}

} // namespace
