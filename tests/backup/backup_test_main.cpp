// The backup tests keep their settings in a folder of their own, so that the user's "backups
// kept" never leaks in and nothing of the tests stays behind.
#include "widget_tests.h"

#include <QCoreApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QCoreApplication::setOrganizationName(QStringLiteral("apricot"));
    QCoreApplication::setApplicationName(QStringLiteral("apricot"));
    return RunWidgetTests(argc, argv);
}
