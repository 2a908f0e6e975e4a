#include "money.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace money {

namespace {

constexpr int kDigits = 15;
// Below this every fen fits a long long and 15 digits reach past the fen.
constexpr double kLargest = 1e15;

long long Saturated(double yuan) {
    if (std::isnan(yuan))
        return 0;
    return yuan > 0 ? std::numeric_limits<long long>::max() : std::numeric_limits<long long>::min();
}

long long Power10(int n) {
    long long p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

} // namespace

long long Cents(double yuan) {
    if (!(std::fabs(yuan) < kLargest))
        return Saturated(yuan);
    // "d.dddddddddddddde±x": the 15 digits as an integer, and where the point goes.
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, std::fabs(yuan),
                                   std::chars_format::scientific, kDigits - 1)
                         .ptr;
    long long digits = 0;
    const char* p = text;
    for (; p != end && *p != 'e'; ++p)
        if (*p != '.')
            digits = digits * 10 + (*p - '0');
    // to_chars writes no terminator: read the exponent within [p, end) only.
    int exponent = 0;
    if (p != end) {
        const char* q = p + 1;
        const bool negative = q != end && *q == '-';
        if (q != end && (*q == '-' || *q == '+'))
            ++q;
        std::from_chars(q, end, exponent);
        if (negative)
            exponent = -exponent;
    }
    // value = digits × 10^-scale
    const int scale = kDigits - 1 - exponent;
    long long fen = 0;
    if (scale <= 2) {
        fen = digits * Power10(2 - scale);
    } else if (scale - 2 <= kDigits) {
        const long long unit = Power10(scale - 2);
        fen = digits / unit + ((digits % unit) * 2 >= unit ? 1 : 0);
    } // else far below half a fen: 0
    return yuan < 0 ? -fen : fen;
}

QString Yuan(long long cents) {
    const unsigned long long magnitude = cents < 0 ? 0ULL - static_cast<unsigned long long>(cents)
                                                   : static_cast<unsigned long long>(cents);
    return QString::asprintf("%s%llu.%02llu", cents < 0 ? "-" : "", magnitude / 100,
                             magnitude % 100);
}

QString Amount(double yuan) {
    // No fen left to round up there, and no saturated figure shown in place of the true one.
    if (!(std::fabs(yuan) < kLargest))
        return QString::number(yuan, 'f', 2);
    return Yuan(Cents(yuan));
}

} // namespace money
