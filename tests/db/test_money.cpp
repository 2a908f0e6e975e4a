#include "money.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Rounding {
    double yuan;
    const char* shown;
};

class MoneyRounding : public testing::TestWithParam<Rounding> {};

// Half away from zero on the decimal the user sees, not on the binary value below it.
TEST_P(MoneyRounding, RoundsTheShownDecimalToTheFen) {
    EXPECT_EQ(money::Amount(GetParam().yuan), QString::fromLatin1(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(Cases, MoneyRounding,
                         testing::Values(Rounding{1.005, "1.01"}, Rounding{2.675, "2.68"},
                                         Rounding{0.125, "0.13"}, Rounding{-1.005, "-1.01"},
                                         Rounding{0.1 + 0.2, "0.30"}, Rounding{1e-9, "0.00"},
                                         Rounding{12345678.905, "12345678.91"},
                                         Rounding{1.005 * 3, "3.02"}));

// Digits a previous call left on the stack are never read as part of the exponent.
[[gnu::noinline]] void LeaveDigitsOnTheStack() {
    volatile char leftovers[512];
    for (volatile char& c : leftovers)
        c = '6';
}

TEST(MoneyRounding, StackLeftoversNeverChangeTheFen) {
    for (const double yuan : {131.75, 0.5, 99999.99}) {
        LeaveDigitsOnTheStack();
        EXPECT_EQ(money::Cents(yuan), std::llround(yuan * 100)) << yuan;
    }
}

} // namespace
