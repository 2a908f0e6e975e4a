#include "books_lock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

CBooksLock::~CBooksLock() {
    ::close(m_fd); // releases the lock
}

QString CBooksLock::LockPath(const QString& booksPath) {
    return booksPath + QStringLiteral(".lock");
}

std::unique_ptr<CBooksLock> CBooksLock::Take(const QString& booksPath, Mode mode, bool* held) {
    if (held)
        *held = false;
    const QByteArray path = QFile::encodeName(LockPath(booksPath));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return nullptr;
    if (::flock(fd, (mode == Mode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
        if (held)
            *held = errno == EWOULDBLOCK;
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<CBooksLock>(new CBooksLock(fd));
}
