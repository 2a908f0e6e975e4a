#pragma once

#include <optional>
#include <string>
#include <string_view>

// Number <-> display text for the calculator. Both ignore the C locale, so a
// desktop set to a decimal comma still reads and shows "12.5".

// At most 15 significant digits (what a double holds reliably), no trailing
// zeros: 12.5, 0.3 for 0.1 + 0.2, 1e+20 for very large values.
std::string formatCalculatorNumber(double value);

// Reads the text shown on the display ("-0.5", "12.", "1e+20"); nothing if it
// is no number.
std::optional<double> parseCalculatorNumber(std::string_view text);
