// Widget tests run on the offscreen platform. Started with --hold-sqlite-lock, the program is
// instead the other writer of the locking tests: it holds a lock on an SQLite file.
#include "sqlite_lock.h"

#include <QApplication>
#include <QStyleFactory>
#include <cstring>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], provetest::kHoldLockFlag) == 0)
        return provetest::RunLockHolder(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
