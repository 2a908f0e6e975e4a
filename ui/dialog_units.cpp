#include "dialog_units.h"

#include <QFontMetrics>

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average of the 52 Latin letters, as dialog templates measure it.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_charWidth = qMax(1, (metrics.horizontalAdvance(letters) / 26 + 1) / 2);
    m_charHeight = qMax(1, metrics.height());
}
