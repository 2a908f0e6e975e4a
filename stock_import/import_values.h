#pragma once
// The dates and numbers of an opening-stock file as people type them into a spreadsheet.
#include <QDate>
#include <QString>
#include <optional>

namespace importvalues {

struct CExpiry {
    QDate date;
    bool monthOnly = false; // the text gave a month: the date is its last day
};

// 2027-05-31, 2027/5/31, 2027.05.31, 20270531 (a midnight time after it is allowed); a month
// alone, 2027-05, 2027/5 or 2027.05, is its last day. Full-width digits are read as digits.
// nullopt when the text is none of these or not a real day.
std::optional<CExpiry> ParseExpiry(const QString& text);

// "1,234.5", "１２．５", "-3"; with `money`, a leading ¥ or ￥ as well. Thousands separators
// must stand every three digits. nullopt when the text is not a number.
std::optional<double> ParseNumber(const QString& text, bool money = false);

// The digits after the point that `text` writes, trailing zeros aside ("1.2500" → 2).
int Decimals(const QString& text);

// Full-width digits, point, comma and signs as their ASCII forms; blanks removed.
QString Halfwidth(const QString& text);

} // namespace importvalues
