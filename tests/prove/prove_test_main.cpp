// Widget tests run on the offscreen platform. Started with --hold-sqlite-lock, the program is
// instead the other writer of the locking tests: it holds a lock on an SQLite file.
#include "sqlite_lock.h"
#include "widget_tests.h"

#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], provetest::kHoldLockFlag) == 0)
        return provetest::RunLockHolder(argc, argv);
    return RunWidgetTests(argc, argv, true);
}
