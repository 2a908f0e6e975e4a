#pragma once
// Receipt settings and the user's data folder of a test, both in a temporary folder: never the
// user's. QSettings' user scope and XDG_DATA_HOME point there for as long as this lives.
#include "receipt_settings.h"

#include <QByteArray>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace receipttest {

class CReceiptScope {
public:
    CReceiptScope()
        : m_oldData(qgetenv("XDG_DATA_HOME")),
          m_hadData(qEnvironmentVariableIsSet("XDG_DATA_HOME")) {
        SetUserPath(m_dir.filePath(QStringLiteral("config")));
        qputenv("XDG_DATA_HOME", DataFolder().toUtf8());
    }
    ~CReceiptScope() {
        if (m_hadData)
            qputenv("XDG_DATA_HOME", m_oldData);
        else
            qunsetenv("XDG_DATA_HOME");
        SetUserPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
    CReceiptScope(const CReceiptScope&) = delete;
    CReceiptScope& operator=(const CReceiptScope&) = delete;

    QString DataFolder() const { return m_dir.filePath(QStringLiteral("data")); }

private:
    static void SetUserPath(const QString& path) {
        for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, path);
    }

    QTemporaryDir m_dir;
    QByteArray m_oldData;
    bool m_hadData;
};

} // namespace receipttest
