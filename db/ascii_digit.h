#pragma once
// 0 to 9 only: QChar::isDigit also takes full-width and other scripts' digits, which no code,
// number or ID the books keep is written in.
#include <QChar>

inline bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
