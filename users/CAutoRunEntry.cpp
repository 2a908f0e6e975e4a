#include "CAutoRunEntry.h"

#include "desktop_entry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

// What went wrong, in the words a user of the counter understands.
QString ErrorText(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("没有权限（需要系统管理员的权限）");
    case EROFS:
        return QStringLiteral("文件系统是只读的");
    case ENOTDIR:
        return QStringLiteral("路径中有一部分不是文件夹");
    case EISDIR:
        return QStringLiteral("同名的是一个文件夹");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("磁盘空间不足");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString Failure(const QString& what, const QString& path, int error) {
    return QStringLiteral("%1 %2：%3").arg(what, QDir::toNativeSeparators(path), ErrorText(error));
}

void SetReason(QString* reason, const QString& text) {
    if (reason)
        *reason = text;
}

// Closes the descriptor and removes the temporary file unless it was moved into place.
class CTemporaryFile {
public:
    explicit CTemporaryFile(QByteArray path) : m_path(std::move(path)) {
        m_fd = ::mkstemp(m_path.data());
        m_openError = m_fd < 0 ? errno : 0;
    }
    ~CTemporaryFile() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_kept && m_fd >= 0)
            ::unlink(m_path.constData());
    }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    // 0 when the file was made, else the error.
    int OpenError() const { return m_openError; }
    // Writes everything, readable by every user; 0 or the error.
    int Write(const QByteArray& bytes) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return errno;
            done += n;
        }
        if (::fchmod(m_fd, 0644) != 0 || ::fsync(m_fd) != 0)
            return errno;
        return 0;
    }
    // Moves the file to `target`; 0 or the error.
    int MoveTo(const QByteArray& target) {
        if (::rename(m_path.constData(), target.constData()) != 0)
            return errno;
        m_kept = true;
        return 0;
    }

private:
    QByteArray m_path;
    int m_fd = -1;
    int m_openError = 0;
    bool m_kept = false;
};

} // namespace

namespace {

// The installed launcher, when the program was started through it: it changes into the
// user's data folder first, where connect.txt lies, which the bare program would not.
QString ProgramToStart() {
    const QString launcher = qEnvironmentVariable("APRICOT_LAUNCHER");
    return launcher.startsWith(QLatin1Char('/')) ? launcher
                                                 : QCoreApplication::applicationFilePath();
}

// The autostart folder inside a configuration directory.
QString AutostartIn(QString base) {
    while (base.size() > 1 && base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + QStringLiteral("/autostart");
}

// Writes one entry file naming `programPath`; false with the reason when it could not be.
bool WriteEntry(const QString& filePath, const QString& programPath, QString* reason) {
    const QString folder = QFileInfo(filePath).path();
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (error) {
        SetReason(reason, Failure(QStringLiteral("不能建立文件夹"), folder, error.value()));
        return false;
    }
    // Written beside the entry and moved over it, so a failed write leaves the old one whole.
    const QByteArray target = QFile::encodeName(filePath);
    CTemporaryFile file(target + ".XXXXXX");
    if (file.OpenError() != 0) {
        SetReason(reason,
                  Failure(QStringLiteral("不能在文件夹中写入文件"), folder, file.OpenError()));
        return false;
    }
    const QByteArray bytes =
        desktopentry::EntryText(CAutoRunEntry::EntryName(), programPath).toUtf8();
    int failure = file.Write(bytes);
    if (failure == 0)
        failure = file.MoveTo(target);
    if (failure != 0) {
        SetReason(reason, Failure(QStringLiteral("不能写入文件"), filePath, failure));
        return false;
    }
    return true;
}

bool RemoveEntry(const QString& filePath, QString* reason) {
    const QByteArray path = QFile::encodeName(filePath);
    if (::unlink(path.constData()) == 0)
        return true;
    const int error = errno;
    // Nothing there, not even the folder: nothing to remove.
    if (error == ENOENT || error == ENOTDIR)
        return true;
    SetReason(reason, Failure(QStringLiteral("不能删除文件"), filePath, error));
    return false;
}

bool HasEntry(const QString& filePath) {
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const std::optional<QString> exec =
        desktopentry::ReadKey(QString::fromUtf8(file.readAll()), QStringLiteral("Exec"));
    return exec && !exec->isEmpty();
}

} // namespace

CAutoRunEntry::CAutoRunEntry()
    : CAutoRunEntry(ProgramToStart(), qEnvironmentVariable("XDG_CONFIG_DIRS"),
                    qEnvironmentVariable("XDG_CONFIG_HOME")) {}

CAutoRunEntry::CAutoRunEntry(QString programPath, const QString& xdgConfigDirs,
                             const QString& xdgConfigHome)
    : m_programPath(std::move(programPath)),
      m_filePath(AutostartFolder(xdgConfigDirs) + QLatin1Char('/') + EntryName() +
                 QStringLiteral(".desktop")),
      m_userFilePath(UserAutostartFolder(xdgConfigHome) + QLatin1Char('/') + EntryName() +
                     QStringLiteral(".desktop")) {}

const QString& CAutoRunEntry::EntryName() {
    static const QString name = QStringLiteral("青杏药店进销存管理系统");
    return name;
}

QString CAutoRunEntry::AutostartFolder(const QString& xdgConfigDirs) {
    QString base = QStringLiteral("/etc/xdg");
    // Relative entries are not valid there and are passed over.
    for (const QString& dir : xdgConfigDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(dir)) {
            base = dir;
            break;
        }
    }
    return AutostartIn(base);
}

QString CAutoRunEntry::UserAutostartFolder(const QString& xdgConfigHome) {
    return AutostartIn(QDir::isAbsolutePath(xdgConfigHome)
                           ? xdgConfigHome
                           : QDir::homePath() + QStringLiteral("/.config"));
}

bool CAutoRunEntry::Set(QString* reason) const {
    if (m_programPath.isEmpty()) {
        SetReason(reason, QStringLiteral("不知道程序文件的位置"));
        return false;
    }
    QString systemReason, userReason;
    if (WriteEntry(m_filePath, m_programPath, &systemReason) ||
        WriteEntry(m_userFilePath, m_programPath, &userReason))
        return true;
    SetReason(reason, systemReason + QStringLiteral("；") + userReason);
    return false;
}

bool CAutoRunEntry::Remove(QString* reason) const {
    QStringList refused;
    for (const QString& path : {m_filePath, m_userFilePath}) {
        QString why;
        if (!RemoveEntry(path, &why))
            refused << why;
    }
    if (refused.isEmpty())
        return true;
    SetReason(reason, refused.join(QStringLiteral("；")));
    return false;
}

bool CAutoRunEntry::IsSet() const {
    return HasEntry(m_filePath) || HasEntry(m_userFilePath);
}
