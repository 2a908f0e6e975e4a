#pragma once
// EAN-13, the barcode printed on a box ("69…" for goods registered in China): twelve digits and
// a check digit, which catches a misread digit and most swapped neighbours.
#include <QString>
#include <optional>

namespace ean13 {

// The check digit of twelve digits; nullopt when `first12` is not twelve ASCII digits.
std::optional<int> CheckDigit(const QString& first12);
// True when `code` is thirteen digits whose last is the check digit of the other twelve.
bool IsValid(const QString& code);

} // namespace ean13
