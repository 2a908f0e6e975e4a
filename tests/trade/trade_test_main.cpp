// The dialogs run on the offscreen platform. Started with --entry-child, the program is instead
// the child process of the atomicity test: it runs one entry and is killed inside it.
#include "entry_child.h"

#include <QApplication>
#include <QStyleFactory>
#include <cstring>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], kEntryChildFlag) == 0)
        return RunEntryChild(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
