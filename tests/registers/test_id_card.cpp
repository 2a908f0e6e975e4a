// The buyer's ID number: what is refused and why, and what is shown of it.
#include "id_card.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

const QDate kToday(2024, 6, 1);

struct IdCase {
    const char* typed;
    const char* problemPart; // "": valid
    const char* normalized;  // for a valid one
};

class IdCardTest : public ::testing::TestWithParam<IdCase> {};

TEST_P(IdCardTest, OnlyAWholeRealNumberPassesAndARefusalSaysWhy) {
    const QString typed = QString::fromUtf8(GetParam().typed);
    const QString problem = idcard::Problem(typed, kToday);
    const QString part = QString::fromUtf8(GetParam().problemPart);
    if (part.isEmpty()) {
        EXPECT_EQ(problem, QString());
        EXPECT_EQ(idcard::Normalized(typed), QString::fromUtf8(GetParam().normalized));
        return;
    }
    EXPECT_TRUE(problem.contains(part)) << problem.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, IdCardTest,
    ::testing::Values(IdCase{"11010519491231002X", "", "11010519491231002X"},
                      IdCase{" 11010519491231002x ", "", "11010519491231002X"},
                      IdCase{"440304200002291236", "", "440304200002291236"}, // a leap day
                      IdCase{"310115190001014563", "", "310115190001014563"}, // the earliest
                      IdCase{"510107202406017896", "", "510107202406017896"}, // born today
                      IdCase{"", "请输入", ""}, IdCase{"11010519491231002", "应为 18 位", ""},
                      IdCase{"11010519491231002X1", "应为 18 位", ""},
                      IdCase{"1101051949123A002X", "第 14 位“A”不是数字", ""},
                      IdCase{"11010519491231002Y", "应为数字或 X", ""},
                      IdCase{"000000194912310027", "地区码", ""},
                      IdCase{"110105194902300021", "19490230 不是有效日期", ""},
                      IdCase{"110105190002290021", "19000229 不是有效日期", ""},
                      IdCase{"110105189912310021", "早于 1900", ""},
                      IdCase{"510107202406027893", "晚于今天", ""},
                      IdCase{"110105194912310021", "校验位不对", ""}));

TEST(IdCardCheckTest, AWrongCheckCharacterIsNotGivenAway) {
    const QString problem = idcard::Problem(QStringLiteral("110105194912310021"), kToday);
    EXPECT_FALSE(problem.contains(QLatin1Char('X'))) << problem.toStdString();
}

TEST(IdCardMaskTest, OnlyTheAreaAndTheLastFourAreShownAndTheLogNeverHoldsItWhole) {
    EXPECT_EQ(idcard::Masked(QStringLiteral("110101199003070011")),
              QStringLiteral("110101********0011"));
    EXPECT_EQ(idcard::Masked(QStringLiteral("11010519491231002x")),
              QStringLiteral("110105********002X"));
    EXPECT_EQ(idcard::Masked(QStringLiteral("110101900307001")), QStringLiteral("***********7001"));
    EXPECT_EQ(idcard::Masked(QStringLiteral("1234")), QStringLiteral("****"));
    EXPECT_EQ(idcard::Masked(QString()), QString());
    EXPECT_EQ(idcard::LogForm(QStringLiteral("110101199003070011")),
              QStringLiteral("110101********0011"));
}

} // namespace
