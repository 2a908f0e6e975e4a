#include "loss_text.h"

#include "money.h"

namespace losstext {

QStringList WriteOffReasons() {
    return {kExpired, kBroken, kReturn, kOther};
}

QString Boxes(double boxes) {
    QString text = QString::number(boxes, 'f', 2);
    while (text.contains(QLatin1Char('.')) &&
           (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.'))))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString Money(double amount) {
    return money::Amount(amount);
}

QString Cost(const losssql::Loss& loss) {
    return Money(loss.quantity * loss.unitCost);
}

} // namespace losstext
