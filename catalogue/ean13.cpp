#include "ean13.h"

namespace ean13 {

namespace {

bool AllDigits(const QString& text) {
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

std::optional<int> CheckDigit(const QString& first12) {
    if (first12.size() != 12 || !AllDigits(first12))
        return std::nullopt;
    // Weights 1 and 3 alternate from the left.
    int sum = 0;
    for (qsizetype i = 0; i < 12; ++i)
        sum += (first12[i].unicode() - '0') * (i % 2 == 0 ? 1 : 3);
    return (10 - sum % 10) % 10;
}

bool IsValid(const QString& code) {
    if (code.size() != 13 || !AllDigits(code))
        return false;
    return CheckDigit(code.left(12)) == code[12].unicode() - '0';
}

} // namespace ean13
