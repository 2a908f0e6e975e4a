#pragma once
// Text forms of values read back from the database, and byte limits of texts.
#include <QString>

namespace textforms {

// The shortest text that converts back to the same double: 0.15, 2, 0.6666666666666666.
QString ShortestDouble(double value);
QString ShortestFloat(float value);
// The blanks the cell texts lose at their end: space, tab, line breaks, vertical tab, form feed.
constexpr bool IsBlank(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}
// `text` without its trailing blanks, as a grid shows it and as the books store what is typed.
QString WithoutTrailingBlanks(const QString& text);
// At most `maxBytes` bytes of UTF-8, never cutting a character in two.
QString CutUtf8(const QString& text, int maxBytes);
// A driver's message, whose lines each end with a break, on one line: " / " between them.
QString OneLine(const QString& text);

} // namespace textforms
