#pragma once
// A launcher that records what would have been opened or started.
#include "shell_launcher.h"

#include <QStringList>
#include <QUrl>
#include <vector>

class CRecordingLauncher final : public CShellLauncher {
public:
    void OpenUrl(const QUrl& url) override { urls.push_back(url); }
    void StartProgram(const QString& path) override { programs << path; }

    std::vector<QUrl> urls;
    QStringList programs;
};
