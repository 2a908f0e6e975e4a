// 拼音码 from the packaged readings: the initials of a drug's name, every reading of a
// polyphonic character offered, and what a typed code matches.
#include "pinyin_code.h"

#include <gtest/gtest.h>

namespace {

TEST(PinyinCode, InitialsOfEveryReadingAndWhatTheyMatch) {
    EXPECT_EQ(pinyincode::Of(QStringLiteral("阿莫西林胶囊")), QStringLiteral("amxljn"));
    // 阿 is ā and ē; 行 xíng and háng: each reading is offered.
    EXPECT_TRUE(
        pinyincode::AllOf(QStringLiteral("阿莫西林胶囊")).contains(QStringLiteral("emxljn")));
    EXPECT_EQ(pinyincode::AllOf(QStringLiteral("银行")), QStringList({"yx", "yh"}));
    // Letters and digits stay, signs drop out.
    EXPECT_EQ(pinyincode::Of(QStringLiteral("维生素C片(100)")), QStringLiteral("wsscp100"));
    const QString stored = pinyincode::Stored(QStringLiteral("阿莫西林胶囊"));
    EXPECT_TRUE(pinyincode::Matches(stored, QStringLiteral("AMXL")));
    EXPECT_TRUE(pinyincode::Matches(stored, QStringLiteral("emx")));
    EXPECT_FALSE(pinyincode::Matches(stored, QStringLiteral("mxl")));
    EXPECT_FALSE(pinyincode::Matches(stored, QString()));
}

} // namespace
