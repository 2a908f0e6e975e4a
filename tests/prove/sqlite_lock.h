#pragma once
// Another program writing to the same SQLite file: a child process that holds a lock on it.
#include <QProcess>
#include <QString>

namespace provetest {

// The command-line flag that makes the test program the lock-holding child.
inline constexpr char kHoldLockFlag[] = "--hold-sqlite-lock";

// Runs the child: opens `path`, runs `begin` ("BEGIN EXCLUSIVE" or "BEGIN IMMEDIATE"), says
// "locked" on stdout, and rolls back when stdin closes or after `holdMs` milliseconds (0: until
// stdin closes). Returns the exit code.
int RunLockHolder(int argc, char** argv);

class CSqliteLock {
public:
    // Blocks until the child holds the lock; throws std::runtime_error when it cannot.
    CSqliteLock(const QString& path, const QString& begin, int holdMs = 0);
    ~CSqliteLock();
    CSqliteLock(const CSqliteLock&) = delete;
    CSqliteLock& operator=(const CSqliteLock&) = delete;

    // Rolls back and waits for the child to end.
    void Release();

private:
    QProcess m_child;
};

} // namespace provetest
