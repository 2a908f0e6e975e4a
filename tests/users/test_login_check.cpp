// The login's table of outcomes, without a display.
#include "login_check.h"
#include "password_hash.h"
#include "result_table.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

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

TEST(LoginCheck, NoStoredPasswordAdmitsNothingAndTheHintFollowsTheInitialPassword) {
    const QString hashed737 = passwordhash::Hash(QStringLiteral("737")).value_or(QString());
    const QString hashedOther = passwordhash::Hash(QStringLiteral("n3w")).value_or(QString());
    struct Case {
        QString stored; // 管理员's
        bool hint;
    };
    const Case cases[] = {
        {"737", true}, {hashed737, true}, {"n3w", false}, {hashedOther, false}, {"", false}};
    for (const Case& c : cases) {
        const CLoginCheck check = Operators({{"管理员", c.stored}, {"新人", ""}});
        EXPECT_EQ(check.InitialPasswordInUse(), c.hint) << c.stored.toStdString();
        for (const char* typed : {"", "737", " "})
            EXPECT_EQ(check.Check("新人", typed), Outcome::NoPassword) << typed;
    }
    EXPECT_FALSE(Operators({{"店长", "737"}}).InitialPasswordInUse());
    const auto refused = CLoginCheck::StepFor(Outcome::NoPassword);
    EXPECT_EQ(refused.status, CLoginCheck::kNoPasswordStatus);
    EXPECT_TRUE(refused.clearPassword);
    EXPECT_FALSE(refused.admit);
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

    // A table of one column: every password is empty, so nobody gets in.
    CResultTable single;
    single.SetColumns({{"账号", 12}});
    single.SetCell(single.AppendRow(), 0, u"甲");
    EXPECT_EQ(CLoginCheck::FromResult(single).Check("甲", ""), Outcome::NoPassword);
}

TEST(LoginCheck, HashedPasswordsAdmitAndPlainOnesAreToBeHashedRolesByColumnName) {
    CResultTable rows;
    rows.SetColumns({{"用户名", 12}, {"密码", 12}, {"角色", 12}});
    const std::pair<const char*, const char*> operators[] = {{"店长甲", "店长"},
                                                             {"营业员乙", "营业员"}};
    for (const auto& [name, role] : operators) {
        const int r = rows.AppendRow();
        rows.SetCell(r, 0, QString::fromUtf8(name));
        rows.SetCell(r, 2, QString::fromUtf8(role));
    }
    rows.SetCell(0, 1, passwordhash::Hash(QStringLiteral("甲的密码")).value_or(QString()));
    rows.SetCell(1, 1, u"737");
    const CLoginCheck check = CLoginCheck::FromResult(rows);
    EXPECT_EQ(check.Check("店长甲", "甲的密码"), Outcome::Admitted);
    EXPECT_EQ(check.Check("店长甲", rows.CellText(0, 1)), Outcome::WrongPassword);
    EXPECT_FALSE(check.StoredInPlain("店长甲"));
    EXPECT_EQ(check.Check("营业员乙", "737"), Outcome::Admitted);
    EXPECT_TRUE(check.StoredInPlain("营业员乙"));
    EXPECT_EQ(check.RoleOf("店长甲"), ERole::Manager);
    EXPECT_EQ(check.RoleOf("营业员乙"), ERole::Clerk);
    // Books without the column, or a role nobody knows, grant no more than a 营业员's.
    EXPECT_EQ(Operators({{"管理员", "737", "主管"}}).RoleOf("管理员"), ERole::Clerk);
}

} // namespace
