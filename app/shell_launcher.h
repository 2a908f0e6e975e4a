#pragma once
// Starting outside documents and programs: the help file, the calculator, a new mail.
// Failures stay silent. Tests install a launcher that records instead.
#include <QString>
#include <QUrl>

class CShellLauncher {
public:
    virtual ~CShellLauncher() = default;
    // Opens a document or URL with the program the desktop associates with it.
    virtual void OpenUrl(const QUrl& url) = 0;
    // Starts a program in its own window, detached from this one.
    virtual void StartProgram(const QString& path) = 0;
};

// Through QDesktopServices and QProcess.
class CDesktopLauncher final : public CShellLauncher {
public:
    void OpenUrl(const QUrl& url) override;
    void StartProgram(const QString& path) override;
};

// The directory of the running executable, ending with a slash.
QString GetAppDirectory();
// help/apricot.html beside the executable.
QUrl HelpFileUrl();
// tools/calc beside the executable.
QString CalculatorPath();
