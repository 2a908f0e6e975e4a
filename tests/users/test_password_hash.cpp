// Passwords as the books keep them: a salted hash that names its own method, and a password
// still kept in plain text accepted once, to be replaced.
#include "password_hash.h"

#include <gtest/gtest.h>

namespace {

using passwordhash::Match;

TEST(PasswordHashTest, AHashIsSaltedSelfDescribingAndFitsTheColumn) {
    const std::optional<QString> first = passwordhash::Hash(QStringLiteral("店长737"));
    const std::optional<QString> second = passwordhash::Hash(QStringLiteral("店长737"));
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->startsWith(QStringLiteral("$argon2id$"))) << first->toStdString();
    EXPECT_NE(*first, *second);
    EXPECT_LE(first->size(), 128);
    EXPECT_EQ(passwordhash::Verify(*first, QStringLiteral("店长737")), Match::Yes);
    EXPECT_EQ(passwordhash::Verify(*second, QStringLiteral("店长737")), Match::Yes);
    EXPECT_EQ(passwordhash::Verify(*first, QStringLiteral("店长738")), Match::No);
    EXPECT_EQ(passwordhash::Verify(*first, QString()), Match::No);
}

TEST(PasswordHashTest, APlainPasswordMatchesOnlyItselfAndAsksToBeReplaced) {
    EXPECT_FALSE(passwordhash::IsHash(QStringLiteral("737")));
    EXPECT_EQ(passwordhash::Verify(QStringLiteral("737"), QStringLiteral("737")),
              Match::YesButPlain);
    EXPECT_EQ(passwordhash::Verify(QStringLiteral("737"), QStringLiteral("7370")), Match::No);
    // A text that only looks like a hash is no password anyone can type.
    EXPECT_EQ(passwordhash::Verify(QStringLiteral("$argon2id$broken"),
                                   QStringLiteral("$argon2id$broken")),
              Match::No);
}

} // namespace
