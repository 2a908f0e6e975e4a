#include "typed_amount.h"

#include "money.h"

#include <QRegularExpression>

namespace {

// More than any till holds: a slip of the finger, not a sum.
constexpr long long kMostCents = 100000000;

} // namespace

namespace typedamount {

std::optional<long long> Cents(const QString& text, const QString& what, QString* failure) {
    static const QRegularExpression form(QStringLiteral("^\\d+(\\.\\d{0,2})?$"));
    const QString typed = text.trimmed();
    const auto fail = [&](const QString& why) -> std::optional<long long> {
        if (failure)
            *failure = why;
        return std::nullopt;
    };
    if (typed.isEmpty())
        return fail(QStringLiteral("请填写%1。").arg(what));
    if (!form.match(typed).hasMatch())
        return fail(QStringLiteral("%1“%2”不是金额：只能是数字，最多两位小数。").arg(what, typed));
    const long long cents = money::Cents(typed.toDouble());
    if (cents > kMostCents)
        return fail(QStringLiteral("%1 %2 元太大了，请核对。").arg(what, money::Yuan(cents)));
    return cents;
}

} // namespace typedamount
