#include "small_file_system.h"

#include <QByteArray>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace provetest {

namespace {

QByteArray FillerPath(const QString& folder) {
    return QFile::encodeName(folder + QStringLiteral("/filler"));
}

} // namespace

CSmallFileSystem::CSmallFileSystem(const QString& folder, long long bytes) : m_folder(folder) {
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
    if (::mount("apricot-full", QFile::encodeName(folder).constData(), "tmpfs",
                MS_NOSUID | MS_NODEV, options.constData()) != 0) {
        m_problem = QStringLiteral("cannot mount a tmpfs here: ") +
                    QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    m_mounted = true;
}

CSmallFileSystem::~CSmallFileSystem() {
    if (!m_mounted)
        return;
    Free();
    // Lazily: a connection the test forgot may still hold a file open.
    ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

bool CSmallFileSystem::Fill() {
    const QByteArray path = FillerPath(m_folder);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        return false;
    // Big writes first, then single bytes for the last partial block.
    static const char block[65536] = {};
    bool full = false;
    for (std::size_t size : {sizeof block, std::size_t(4096), std::size_t(1)}) {
        for (;;) {
            if (::write(fd, block, size) < 0) {
                full = errno == ENOSPC;
                break;
            }
        }
    }
    ::close(fd);
    return full;
}

void CSmallFileSystem::Free() {
    ::unlink(FillerPath(m_folder).constData());
}

CFileSizeLimit::CFileSizeLimit(long long bytes) {
    rlimit old{};
    if (::getrlimit(RLIMIT_FSIZE, &old) != 0)
        return;
    m_oldSoft = old.rlim_cur;
    m_oldHard = old.rlim_max;
    // Without this the kernel ends the process at the first write past the limit.
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{static_cast<rlim_t>(bytes), old.rlim_max};
    m_set = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

CFileSizeLimit::~CFileSizeLimit() {
    if (m_set) {
        rlimit old{static_cast<rlim_t>(m_oldSoft), static_cast<rlim_t>(m_oldHard)};
        ::setrlimit(RLIMIT_FSIZE, &old);
    }
    std::signal(SIGXFSZ, m_oldHandler);
}

} // namespace provetest
