// What 删除 in the settings dialog does: the texts, and never leaving the books without an
// operator.
#include "operator_deletion.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

using Step = COperatorDeletion::Step;

TEST(OperatorDeletionTest, NoSelectionAsksToChooseAnAccount) {
    const auto decision = COperatorDeletion::Decide(-1, QString(), 3, false);
    EXPECT_EQ(decision.step, Step::Refuse);
    EXPECT_EQ(decision.text, QStringLiteral("请选择一个不在使用的帐号。"));
}

TEST(OperatorDeletionTest, QuestionNamesTheAccountExactly) {
    const auto decision = COperatorDeletion::Decide(0, QStringLiteral("管理员"), 2, false);
    EXPECT_EQ(decision.step, Step::Ask);
    // No blank after the colon; two blanks before the question mark.
    EXPECT_EQ(decision.text, QStringLiteral("确认删除帐号:管理员  ?"));
    EXPECT_EQ(COperatorDeletion::Decide(4, QString(), 2, false).text,
              QStringLiteral("确认删除帐号:  ?"));
}

TEST(OperatorDeletionTest, TheLastOperatorInTheBooksStays) {
    for (int operators : {1, 0}) {
        const auto decision =
            COperatorDeletion::Decide(0, QStringLiteral("管理员"), operators, false);
        EXPECT_EQ(decision.step, Step::Refuse) << operators;
        EXPECT_TRUE(decision.text.contains(QStringLiteral("管理员")));
        EXPECT_TRUE(decision.text.contains(QStringLiteral("最后一个帐号")));
    }
}

TEST(OperatorDeletionTest, AnUnsavedRowCanGoEvenBesideTheLastOperator) {
    EXPECT_EQ(COperatorDeletion::Decide(1, QStringLiteral("新人"), 1, true).step, Step::Ask);
}

} // namespace
