#include "gs1_check_digit.h"

namespace gs1 {

std::optional<int> CheckDigit(QStringView digits) {
    if (digits.isEmpty())
        return std::nullopt;
    int sum = 0;
    const qsizetype last = digits.size() - 1;
    for (qsizetype i = 0; i <= last; ++i) {
        const char16_t c = digits[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        // The digit next to the check digit weighs 3.
        sum += (c - u'0') * ((last - i) % 2 == 0 ? 3 : 1);
    }
    return (10 - sum % 10) % 10;
}

bool HasValidCheckDigit(QStringView code) {
    if (code.size() < 2)
        return false;
    const char16_t check = code.back().unicode();
    if (check < u'0' || check > u'9')
        return false;
    return CheckDigit(code.chopped(1)) == int(check - u'0');
}

} // namespace gs1
