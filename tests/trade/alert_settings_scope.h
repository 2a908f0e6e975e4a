#pragma once
// The alert settings a dialog test opens with, in a settings file of its own: never the user's.
// QSettings' user scope points into a temporary folder for as long as this lives.
#include "alert_settings.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace entrytest {

class CAlertSettingsScope {
public:
    CAlertSettingsScope() { SetUserPath(m_dir.path()); }
    ~CAlertSettingsScope() {
        SetUserPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
    CAlertSettingsScope(const CAlertSettingsScope&) = delete;
    CAlertSettingsScope& operator=(const CAlertSettingsScope&) = delete;

    void SetExpiredLocked(bool locked) {
        CAlertSettings settings = CAlertSettings::Load();
        settings.expiredLocked = locked;
        settings.Save();
    }
    // Nothing saved: the defaults hold.
    void Clear() { QSettings().remove(QStringLiteral("Alerts")); }

private:
    static void SetUserPath(const QString& path) {
        for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, path);
    }

    QTemporaryDir m_dir;
};

} // namespace entrytest
