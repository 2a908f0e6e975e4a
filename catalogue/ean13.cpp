#include "ean13.h"

#include "gs1_check_digit.h"

namespace ean13 {

std::optional<int> CheckDigit(const QString& first12) {
    if (first12.size() != 12)
        return std::nullopt;
    return gs1::CheckDigit(first12);
}

bool IsValid(const QString& code) {
    return code.size() == 13 && gs1::HasValidCheckDigit(code);
}

} // namespace ean13
