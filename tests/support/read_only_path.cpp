#include "read_only_path.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Sets or clears the immutable attribute; empty on success, else why not.
QString SetImmutable(const QByteArray& path, bool on) {
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    int flags = 0;
    QString problem;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
        problem = QString::fromLocal8Bit(std::strerror(errno));
    } else {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0)
            problem = QString::fromLocal8Bit(std::strerror(errno));
    }
    ::close(fd);
    return problem;
}

} // namespace

CReadOnlyPath::CReadOnlyPath(const QString& path) : m_path(path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        m_problem = QStringLiteral("no such path");
        return;
    }
    m_folder = S_ISDIR(st.st_mode);
    if (::geteuid() != 0) {
        m_oldMode = st.st_mode & 07777;
        m_chmod = ::chmod(name.constData(), m_folder ? 0555 : 0444) == 0;
        if (!m_chmod)
            m_problem = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    m_problem = SetImmutable(name, true);
    m_immutable = m_problem.isEmpty();
    if (!m_problem.isEmpty())
        m_problem = QStringLiteral("cannot set the immutable attribute (the file system may not "
                                   "support it): ") +
                    m_problem;
}

CReadOnlyPath::~CReadOnlyPath() {
    const QByteArray name = QFile::encodeName(m_path);
    if (m_chmod)
        ::chmod(name.constData(), m_oldMode);
    if (m_immutable)
        SetImmutable(name, false);
}

bool CReadOnlyPath::Refuses() const {
    const QByteArray name = QFile::encodeName(m_path);
    if (m_folder) {
        const QByteArray probe = name + "/.probe";
        const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0)
            return true;
        ::close(fd);
        ::unlink(probe.constData());
        return false;
    }
    const int fd = ::open(name.constData(), O_WRONLY);
    if (fd < 0)
        return true;
    ::close(fd);
    return false;
}
