#include "alert_settings.h"

#include "text_forms.h"

#include <QSettings>
#include <cmath>

namespace {

const QString kDaysKey = QStringLiteral("Alerts/NearExpiryDays");
const QString kBoxesKey = QStringLiteral("Alerts/ShortageBoxes");
const QString kLockedKey = QStringLiteral("Alerts/ExpiredLocked");
// A window beyond this many days would take in every card on the books.
constexpr int kMaxDays = 36500;

std::optional<int> Days(const QString& text) {
    bool ok = false;
    const int days = text.trimmed().toInt(&ok);
    return ok && days >= 0 && days <= kMaxDays ? std::optional<int>(days) : std::nullopt;
}

std::optional<double> Boxes(const QString& text) {
    bool ok = false;
    const double boxes = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(boxes) && boxes >= 0 ? std::optional<double>(boxes) : std::nullopt;
}

// Off only when plainly saved so: a value edited into nonsense must not unlock expired stock.
bool Locked(const QString& text) {
    const QString value = text.trimmed().toLower();
    return value != QLatin1String("false") && value != QLatin1String("0");
}

} // namespace

CAlertSettings CAlertSettings::Load() {
    CAlertSettings settings;
    const QSettings stored;
    if (const std::optional<int> days = Days(stored.value(kDaysKey).toString()))
        settings.nearExpiryDays = *days;
    if (const std::optional<double> boxes = Boxes(stored.value(kBoxesKey).toString()))
        settings.shortageBoxes = *boxes;
    settings.expiredLocked = Locked(stored.value(kLockedKey).toString());
    return settings;
}

void CAlertSettings::Save() const {
    QSettings stored;
    stored.setValue(kDaysKey, DaysText());
    stored.setValue(kBoxesKey, BoxesText());
    stored.setValue(kLockedKey, expiredLocked ? QStringLiteral("true") : QStringLiteral("false"));
}

std::optional<CAlertSettings> CAlertSettings::Parse(const QString& days, const QString& boxes,
                                                    QString* failure) {
    const std::optional<int> parsedDays = Days(days);
    if (!parsedDays) {
        if (failure)
            *failure =
                QStringLiteral("“近效期（天）”必须是 0 到 %1 之间的整数天数。").arg(kMaxDays);
        return std::nullopt;
    }
    const std::optional<double> parsedBoxes = Boxes(boxes);
    if (!parsedBoxes) {
        if (failure)
            *failure = QStringLiteral("“缺货下限（盒）”必须是不小于 0 的盒数，例如 5 或 2.5。");
        return std::nullopt;
    }
    CAlertSettings settings;
    settings.nearExpiryDays = *parsedDays;
    settings.shortageBoxes = *parsedBoxes;
    return settings;
}

QString CAlertSettings::DaysText() const {
    return QString::number(nearExpiryDays);
}

QString CAlertSettings::BoxesText() const {
    return textforms::ShortestDouble(shortageBoxes);
}

QString CAlertSettings::LockedText() const {
    return expiredLocked ? QStringLiteral("是") : QStringLiteral("否");
}

CAlertSettings::Card CAlertSettings::CardAlert(const QString& expiry, const QString& onHand,
                                               const QDate& today) const {
    bool ok = false;
    if (onHand.toDouble(&ok) <= 0 || !ok)
        return Card::None;
    const QDate date = QDate::fromString(expiry, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return Card::None;
    if (date < today)
        return Card::Expired;
    return date <= today.addDays(nearExpiryDays) ? Card::NearExpiry : Card::None;
}
