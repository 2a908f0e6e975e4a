#include "sqlite_lock.h"

#include <QCoreApplication>
#include <cstdio>
#include <poll.h>
#include <sqlite3.h>
#include <stdexcept>
#include <unistd.h>

namespace provetest {

int RunLockHolder(int argc, char** argv) {
    if (argc != 5)
        return 2;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[2], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s: %s\n", argv[2], sqlite3_errmsg(db));
        sqlite3_close(db);
        return 3;
    }
    char* error = nullptr;
    if (sqlite3_exec(db, argv[3], nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s failed: %s\n", argv[3], error ? error : "?");
        sqlite3_free(error);
        sqlite3_close(db);
        return 4;
    }
    std::printf("locked\n");
    std::fflush(stdout);
    // Until the parent closes our stdin, or the time is up.
    const int holdMs = std::atoi(argv[4]);
    pollfd in{STDIN_FILENO, POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&in, 1, holdMs > 0 ? holdMs : -1);
        if (ready <= 0)
            break;
        char byte = 0;
        if (::read(STDIN_FILENO, &byte, 1) <= 0)
            break;
    }
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return 0;
}

CSqliteLock::CSqliteLock(const QString& path, const QString& begin, int holdMs) {
    m_child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_child.start(QCoreApplication::applicationFilePath(),
                  {QString::fromLatin1(kHoldLockFlag), path, begin, QString::number(holdMs)});
    if (!m_child.waitForStarted(10000))
        throw std::runtime_error("the lock-holding child did not start");
    while (!m_child.canReadLine()) {
        if (!m_child.waitForReadyRead(10000))
            throw std::runtime_error("the lock-holding child did not take the lock");
    }
    if (m_child.readLine().trimmed() != "locked")
        throw std::runtime_error("the lock-holding child said something unexpected");
}

CSqliteLock::~CSqliteLock() {
    Release();
}

void CSqliteLock::Release() {
    if (m_child.state() == QProcess::NotRunning)
        return;
    m_child.closeWriteChannel();
    if (!m_child.waitForFinished(10000)) {
        m_child.kill();
        m_child.waitForFinished(5000);
    }
}

} // namespace provetest
