#include "shell_launcher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>

void CDesktopLauncher::OpenUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

void CDesktopLauncher::StartProgram(const QString& path) {
    QProcess::startDetached(path, {});
}

QString GetAppDirectory() {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

QUrl HelpFileUrl() {
    return QUrl::fromLocalFile(GetAppDirectory() + QStringLiteral("help/apricot.html"));
}

QString CalculatorPath() {
    return GetAppDirectory() + QStringLiteral("tools/calc");
}
