// Widget tests run on the offscreen platform, with settings in a folder of their own so that
// neither the user's bar layout nor feedback address leaks in.
#include "CApricotApp.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", config.filePath(QStringLiteral("system")).toLocal8Bit());
    QApplication app(argc, argv);
    SetUpApplication();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
