#include "widget_tests.h"

#include <QApplication>
#include <QStyleFactory>
#include <gtest/gtest.h>

int RunWidgetTests(int argc, char** argv, bool fusionStyle) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (fusionStyle)
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
