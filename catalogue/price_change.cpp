#include "price_change.h"

#include "money.h"

namespace drugcatalogue {

QString PriceChangeContent(const QStringList& names, const QStringList& oldValues,
                           const QStringList& newValues) {
    static const QStringList prices{QStringLiteral("零售价"), QStringLiteral("拆零价")};
    QStringList changes;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString was = oldValues.value(i);
        const QString now = newValues.value(i);
        if (was == now)
            continue;
        if (!prices.contains(names[i]))
            return {};
        changes << QStringLiteral("%1 %2 → %3 元")
                       .arg(names[i], money::Amount(was.toDouble()), money::Amount(now.toDouble()));
    }
    const auto at = [&](const char* column) {
        return oldValues.value(names.indexOf(QString::fromUtf8(column)));
    };
    if (changes.isEmpty() || at("名称").isEmpty())
        return {};
    return QStringLiteral("%1（%2，%3）%4")
        .arg(at("名称"), at("产地"), at("规格型号"), changes.join(QStringLiteral("，")));
}

} // namespace drugcatalogue
