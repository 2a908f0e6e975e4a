#include "calc_number_text.h"

#include <array>
#include <charconv>
#include <system_error>

namespace {
constexpr int kSignificantDigits = 15;
}

std::string formatCalculatorNumber(double value) {
    if (value == 0.0)
        value = 0.0; // never show "-0"
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::general, kSignificantDigits);
    if (ec != std::errc())
        return "0";
    std::string text(buffer.data(), end);
    if (text == "-0")
        return "0"; // a tiny negative value rounded away
    return text;
}

std::optional<double> parseCalculatorNumber(std::string_view text) {
    if (!text.empty() && text.back() == '.')
        text.remove_suffix(1); // "12." while the user is still typing
    if (text.empty())
        return std::nullopt;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}
