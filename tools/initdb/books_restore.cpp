#include "books_restore.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "audit_log.h"
#include "books_file.h"
#include "books_lock.h"
#include "books_version.h"
#include "connect_file.h"
#include "schema.h"
#include "sqlite_journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>
#include <vector>

namespace {

const QString kBooksFile = QStringLiteral("apricot.db");
const QString kConnectFile = QStringLiteral("connect.txt");

// One name of a file however the path to it was written.
QString SamePlace(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

// Files moved aside, put back when a later step fails.
class CMovedAside {
public:
    bool Move(const QString& from, const QString& to) {
        if (!booksfile::RenameOver(from, to))
            return false;
        m_moved.emplace_back(from, to);
        return true;
    }
    void PutBack() {
        for (auto it = m_moved.crbegin(); it != m_moved.crend(); ++it)
            booksfile::RenameOver(it->second, it->first);
        m_moved.clear();
    }

private:
    std::vector<std::pair<QString, QString>> m_moved;
};

} // namespace

QString CBooksRestore::RecordRestore(const QString& books, const QString& what,
                                     const QDateTime& now) const {
    // The restored books say in their own log where they came from. A backup from before the
    // log has none: the program's next start upgrades it.
    try {
        CDatabase db;
        if (!db.OpenEx(schema::SqliteConnectString(books, m_extension)))
            return QStringLiteral("；恢复没有写入操作日志：无法打开账套");
        if (booksversion::Read(db) < 2)
            return QStringLiteral("；这份备份是旧版账套，没有操作日志，程序下次启动时会升级它");
        auditlog::Append(
            db, {QStringLiteral("系统"), QStringLiteral("恢复"), QStringLiteral("账套"), what},
            now);
    } catch (const CDBException& e) {
        return QStringLiteral("；恢复没有写入操作日志：%1").arg(e.ErrorText().trimmed());
    }
    return {};
}

CBooksRestore::Outcome CBooksRestore::Say(Outcome outcome, const QString& message) {
    m_message = message;
    return outcome;
}

QString CBooksRestore::BooksOf(const QString& folder, bool* hasConnectFile, Outcome* failure) {
    const QDir dir(folder);
    const QString connectFile = dir.absoluteFilePath(kConnectFile);
    *hasConnectFile = QFileInfo::exists(connectFile);
    if (!*hasConnectFile)
        return dir.absoluteFilePath(kBooksFile);
    const std::optional<QByteArray> connect = ReadConnectFile(connectFile);
    if (!connect) {
        *failure = Say(Outcome::Failed, QStringLiteral("无法读取 %1").arg(connectFile));
        return {};
    }
    const QString books = SqliteBooksPath(QString::fromUtf8(*connect));
    if (books.isEmpty()) {
        *failure =
            Say(Outcome::Refused, QStringLiteral("%1 指向的不是 SQLite 账套，不能用这个备份恢复；"
                                                 "服务器上的账套请用数据库服务器自己的工具恢复")
                                      .arg(connectFile));
        return {};
    }
    // A relative path means what it means to the program, which starts in this folder.
    return QDir::cleanPath(dir.absoluteFilePath(books));
}

CBooksRestore::Outcome CBooksRestore::Restore(const QString& backup, const QString& folder,
                                              const QDateTime& now) {
    QString why;
    const std::optional<CBooksCounts> counts = booksfile::Check(backup, m_extension, &why);
    if (!counts)
        return Say(Outcome::Refused, QStringLiteral("不能用这个文件恢复：") + why);
    bool hasConnectFile = false;
    Outcome failure = Outcome::Failed;
    const QString books = BooksOf(folder, &hasConnectFile, &failure);
    if (books.isEmpty())
        return failure;
    const QFileInfo booksInfo(books);
    const QDir dir = booksInfo.absoluteDir();
    if (!QDir().mkpath(dir.absolutePath()))
        return Say(Outcome::Failed, QStringLiteral("无法建立文件夹 %1").arg(dir.absolutePath()));
    if (SamePlace(backup) == SamePlace(books))
        return Say(Outcome::Refused, QStringLiteral("备份就是这套账本身：%1").arg(books));
    const std::unique_ptr<CBooksLock> lock = CBooksLock::Take(books, CBooksLock::Mode::Exclusive);
    if (!lock)
        return Say(
            Outcome::Refused,
            QStringLiteral("账套 %1 正在被程序使用（或无法加锁），请先退出所有使用它的程序再恢复")
                .arg(books));

    // The copy is made and checked beside the books before anything of theirs moves. It must
    // hold what the check counted: a backup that another program still writes to may keep its
    // latest entries in a -wal of its own, which a copy of the file alone would miss.
    const QString part =
        dir.absoluteFilePath(QStringLiteral(".") + booksInfo.fileName() + QStringLiteral(".part"));
    struct Cleanup {
        QString path;
        ~Cleanup() { QFile::remove(path); }
    } cleanup{part};
    QFile::remove(part);
    if (!QFile::copy(backup, part) || !booksfile::SyncToDisk(part))
        return Say(Outcome::Failed, QStringLiteral("无法把备份复制到 %1").arg(dir.absolutePath()));
    const std::optional<CBooksCounts> copied = booksfile::Check(part, m_extension, &why);
    if (!copied)
        return Say(Outcome::Failed, QStringLiteral("复制后的备份没有通过检查：") + why);
    if (!(*copied == *counts))
        return Say(Outcome::Failed,
                   QStringLiteral("复制后的备份（%1）与备份文件（%2）的记录数不符：备份文件"
                                  "可能正被程序使用，请先退出那个程序再恢复")
                       .arg(copied->Text(), counts->Text()));

    // The old books go aside with every file SQLite keeps beside them: a -wal or -journal left
    // by a program that ended abruptly holds the old books' entries, and SQLite would apply it
    // to whatever file takes their name.
    const QString kept = dir.absoluteFilePath(
        QStringLiteral("%1-before-restore-%2.%3")
            .arg(booksInfo.completeBaseName(), now.toString(QStringLiteral("yyyyMMdd-HHmmss")),
                 booksInfo.suffix().isEmpty() ? QStringLiteral("db") : booksInfo.suffix()));
    QStringList suffixes{QString()};
    suffixes << sqlitejournal::CompanionSuffixes();
    CMovedAside aside;
    bool keptBooks = false;
    QStringList keptCompanions;
    for (const QString& suffix : suffixes) {
        if (!QFileInfo::exists(books + suffix))
            continue;
        if (QFileInfo::exists(kept + suffix) || !aside.Move(books + suffix, kept + suffix)) {
            aside.PutBack();
            return Say(Outcome::Failed, QStringLiteral("无法把 %1 改名为 %2，没有做任何改动")
                                            .arg(books + suffix, kept + suffix));
        }
        if (suffix.isEmpty())
            keptBooks = true;
        else
            keptCompanions << kept + suffix;
    }
    if (!booksfile::RenameOver(part, books)) {
        aside.PutBack();
        return Say(Outcome::Failed, QStringLiteral("无法把备份放到 %1").arg(books));
    }
    // A folder restored after a lost disk needs its connect.txt again.
    if (!hasConnectFile) {
        QFile file(dir.absoluteFilePath(kConnectFile));
        if (file.open(QIODevice::WriteOnly))
            file.write(schema::SqliteConnectString(books, m_extension).toUtf8());
    }
    QString message = QStringLiteral("已用 %1 恢复账套 %2（%3）")
                          .arg(QFileInfo(backup).absoluteFilePath(), books, counts->Text());
    if (keptBooks)
        message += QStringLiteral("；原来的账套保存为 %1").arg(kept);
    else if (!keptCompanions.isEmpty())
        message += QStringLiteral("；原来遗留的日志文件移到了 %1")
                       .arg(keptCompanions.join(QStringLiteral("、")));
    message += RecordRestore(books, message, now);
    return Say(Outcome::Restored, message);
}
