#pragma once
// An advisory lock that says who works on a set of SQLite books: every running program holds it
// shared, a restore needs it alone. It lives in a file of its own beside the books
// ("apricot.db.lock"), because closing any other descriptor of the books' file would drop
// SQLite's own locks.
#include <QString>
#include <memory>

class CBooksLock {
public:
    enum class Mode { Shared, Exclusive };

    ~CBooksLock();
    CBooksLock(const CBooksLock&) = delete;
    CBooksLock& operator=(const CBooksLock&) = delete;

    // The lock file of the books at `booksPath`.
    static QString LockPath(const QString& booksPath);
    // Takes the lock without waiting; nullptr when another holder keeps it from us (`held` is
    // then set) or the lock file cannot be made (a read-only folder).
    static std::unique_ptr<CBooksLock> Take(const QString& booksPath, Mode mode,
                                            bool* held = nullptr);

private:
    explicit CBooksLock(int fd) : m_fd(fd) {}
    int m_fd;
};
