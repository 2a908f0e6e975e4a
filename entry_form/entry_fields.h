#pragma once
// Reading and showing the number fields of the entry dialogs, as the framework's data exchange
// does: blanks around the value allowed, and its own two messages for what does not parse.
#include <QString>
#include <optional>

namespace entryfields {

inline const QString kNotANumber = QStringLiteral("Please enter a number.");
inline const QString kNotAPositiveInteger = QStringLiteral("Please enter a positive integer.");

// A decimal number with optional sign, fraction and exponent; nullopt for anything else,
// including a value too large for a double.
std::optional<double> ParseNumber(const QString& text);
// Unsigned decimal digits without a sign, at most 4294967295; 0 passes.
std::optional<unsigned> ParseUnsigned(const QString& text);

// Boxes a shop can have: at most this many, and none of them less than kFinestBox (a
// ten-thousandth of a box is less than any pack holds, and shows as 0 盒). A card's stock after
// split-pack sales (5/12 of a box) is a quantity all the same.
inline constexpr double kMostBoxes = 1000000;
inline constexpr double kFinestBox = 0.0001;
// Why `boxes` typed into the field `field` is no quantity of boxes ("数量 不能超过 1000000 盒");
// empty when it is one. A value refused here would be stored as something the screen and the
// log do not show.
QString BoxesProblem(double boxes, const QString& field);

// "%g": six significant digits, 0 as "0", 12.5 as "12.5".
QString NumberText(double value);
QString UnsignedText(unsigned value);

} // namespace entryfields
