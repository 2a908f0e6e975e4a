#include "scan_burst.h"

namespace scanburst {

Shape ShapeOf(const QString& text) {
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return Shape::None;
    if (text.size() >= 8 && text.size() <= 14)
        return Shape::Barcode;
    if (text.size() == 20)
        return Shape::TraceCode;
    return Shape::None;
}

CBurst::Step CBurst::Key(const QString& text, bool enter, qint64 ms) {
    // A clock that went back is no proof of speed.
    const bool fast = m_bAny && ms >= m_nLast && ms - m_nLast <= kMaxGapMs;
    m_bAny = true;
    m_nLast = ms;
    if (enter) {
        const bool scan = fast && ShapeOf(m_strDigits) != Shape::None;
        if (scan)
            m_strCode = m_strDigits;
        m_strDigits.clear();
        return scan ? Step::Code : Step::Other;
    }
    const bool digit =
        text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9');
    if (!digit) {
        m_strDigits.clear();
        return Step::Other;
    }
    // After a pause, a new run begins: the digits before it were typed.
    const bool follows = fast && !m_strDigits.isEmpty();
    if (!follows)
        m_strDigits.clear();
    m_strDigits += text;
    return follows ? Step::Digit : Step::FirstDigit;
}

} // namespace scanburst
