#include "backup_settings.h"

#include <QSettings>

namespace {

const QString kKeepKey = QStringLiteral("Backup/Keep");
constexpr int kMaxKeep = 100000;

std::optional<int> Keep(const QString& text) {
    bool ok = false;
    const int keep = text.trimmed().toInt(&ok);
    return ok && keep >= 1 && keep <= kMaxKeep ? std::optional<int>(keep) : std::nullopt;
}

} // namespace

CBackupSettings CBackupSettings::Load() {
    CBackupSettings settings;
    const QSettings stored;
    if (const std::optional<int> keep = Keep(stored.value(kKeepKey).toString()))
        settings.keep = *keep;
    return settings;
}

void CBackupSettings::Save() const {
    QSettings stored;
    stored.setValue(kKeepKey, QString::number(keep));
}

std::optional<int> CBackupSettings::ParseKeep(const QString& text, QString* failure) {
    const std::optional<int> keep = Keep(text);
    if (!keep && failure)
        *failure = QStringLiteral("“保留备份（份）”必须是 1 到 %1 之间的整数。").arg(kMaxKeep);
    return keep;
}
