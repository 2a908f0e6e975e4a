#pragma once
// A folder that refuses changes for the length of a test.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

// Makes a folder refuse new and removed entries, even for root: read-only for a plain user,
// immutable for root. Undone when it goes, so the temporary folder can be removed.
class CLockedFolder {
public:
    explicit CLockedFolder(const QString& path) : m_path(QFile::encodeName(path)) {
        if (::geteuid() != 0) {
            m_chmod = ::chmod(m_path.constData(), 0555) == 0;
        } else {
            const int fd = ::open(m_path.constData(), O_RDONLY | O_DIRECTORY);
            int flags = 0;
            if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
                flags |= FS_IMMUTABLE_FL;
                m_immutable = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
            }
            if (fd >= 0)
                ::close(fd);
        }
    }
    ~CLockedFolder() {
        if (m_chmod)
            ::chmod(m_path.constData(), 0755);
        if (m_immutable) {
            const int fd = ::open(m_path.constData(), O_RDONLY | O_DIRECTORY);
            int flags = 0;
            if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
                flags &= ~FS_IMMUTABLE_FL;
                ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
            }
            if (fd >= 0)
                ::close(fd);
        }
    }
    CLockedFolder(const CLockedFolder&) = delete;
    CLockedFolder& operator=(const CLockedFolder&) = delete;

    // Whether the folder really refuses a new file now.
    bool Refuses() const {
        const QByteArray probe = m_path + "/probe";
        const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0)
            return true;
        ::close(fd);
        ::unlink(probe.constData());
        return false;
    }

private:
    QByteArray m_path;
    bool m_chmod = false;
    bool m_immutable = false;
};
