#pragma once
// GS1's mod-10 check digit, shared by the EAN-13 on a box and the GTIN-14 in a data matrix:
// weights 3 and 1 alternate from the right, so a misread digit and most swapped neighbours are
// caught whatever the code's length.
#include <QStringView>
#include <optional>

namespace gs1 {

// The check digit that follows `digits`; nullopt when they are empty or not all ASCII digits.
std::optional<int> CheckDigit(QStringView digits);
// True when `code` is digits whose last is the check digit of those before it.
bool HasValidCheckDigit(QStringView code);

} // namespace gs1
