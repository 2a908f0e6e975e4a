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

// "%g": six significant digits, 0 as "0", 12.5 as "12.5".
QString NumberText(double value);
QString UnsignedText(unsigned value);

} // namespace entryfields
