#include "payment_settings.h"

#include <QRegularExpression>
#include <QSettings>

namespace {

const QString kMethodsKey = QStringLiteral("Payment/Methods");

} // namespace

const QString CPaymentSettings::kCash = QStringLiteral("现金");
const QString CPaymentSettings::kUnpaid = QStringLiteral("未结账");

QStringList CPaymentSettings::Defaults() {
    return {kCash, QStringLiteral("微信"), QStringLiteral("支付宝"), QStringLiteral("医保"),
            QStringLiteral("银行卡")};
}

CPaymentSettings CPaymentSettings::Load() {
    CPaymentSettings settings;
    const QSettings stored;
    // A list edited by hand into something the books cannot hold falls back to the defaults.
    if (const auto methods = Parse(stored.value(kMethodsKey).toString(), nullptr))
        settings.methods = *methods;
    return settings;
}

void CPaymentSettings::Save() const {
    QSettings stored;
    stored.setValue(kMethodsKey, Text());
}

QString CPaymentSettings::Text() const {
    return methods.join(QStringLiteral("、"));
}

std::optional<QStringList> CPaymentSettings::Parse(const QString& text, QString* failure) {
    static const QRegularExpression separators(QStringLiteral("[、,，;；\\s]+"));
    QStringList methods = text.split(separators, Qt::SkipEmptyParts);
    methods.removeDuplicates();
    const auto fail = [failure](const QString& why) {
        if (failure)
            *failure = why;
        return std::nullopt;
    };
    if (methods.isEmpty())
        return fail(QStringLiteral("支付方式至少要有一种。"));
    for (const QString& method : methods) {
        if (method.size() > kLongestName)
            return fail(QStringLiteral("支付方式“%1”太长：最多 %2 个字。")
                            .arg(method, QString::number(kLongestName)));
        if (method == kUnpaid)
            return fail(QStringLiteral("“%1”是报表对没有结账的销售的叫法，不能作为支付方式。")
                            .arg(kUnpaid));
    }
    return methods;
}
