#include "books_restore.h"

#include "books_file.h"
#include "books_lock.h"
#include "schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kBooksFile = QStringLiteral("apricot.db");
// SQLite's companions of a books file, which belong to it and move with it.
const QStringList kCompanions = {QStringLiteral("-journal"), QStringLiteral("-wal"),
                                 QStringLiteral("-shm")};

} // namespace

CBooksRestore::Outcome CBooksRestore::Say(Outcome outcome, const QString& message) {
    m_message = message;
    return outcome;
}

CBooksRestore::Outcome CBooksRestore::Restore(const QString& backup, const QString& folder,
                                              const QDateTime& now) {
    QString why;
    const std::optional<CBooksCounts> counts = booksfile::Check(backup, m_extension, &why);
    if (!counts)
        return Say(Outcome::Refused, QStringLiteral("不能用这个文件恢复：") + why);
    if (!QDir().mkpath(folder))
        return Say(Outcome::Failed, QStringLiteral("无法建立文件夹 %1").arg(folder));
    const QDir dir(folder);
    const QString books = dir.absoluteFilePath(kBooksFile);
    if (QFileInfo(backup).absoluteFilePath() == books)
        return Say(Outcome::Refused, QStringLiteral("备份就是这套账本身：%1").arg(books));
    const std::unique_ptr<CBooksLock> lock = CBooksLock::Take(books, CBooksLock::Mode::Exclusive);
    if (!lock)
        return Say(
            Outcome::Refused,
            QStringLiteral("账套 %1 正在被程序使用（或无法加锁），请先退出所有使用它的程序再恢复")
                .arg(books));

    // The copy is made and checked beside the books before anything of theirs moves.
    const QString part = dir.absoluteFilePath(QStringLiteral(".apricot.db.part"));
    QFile::remove(part);
    if (!QFile::copy(backup, part) || !booksfile::SyncToDisk(part)) {
        QFile::remove(part);
        return Say(Outcome::Failed, QStringLiteral("无法把备份复制到 %1").arg(folder));
    }
    if (!booksfile::Check(part, m_extension, &why)) {
        QFile::remove(part);
        return Say(Outcome::Failed, QStringLiteral("复制后的备份没有通过检查：") + why);
    }

    QString kept;
    if (QFileInfo::exists(books)) {
        kept = dir.absoluteFilePath(QStringLiteral("apricot-before-restore-%1.db")
                                        .arg(now.toString(QStringLiteral("yyyyMMdd-HHmmss"))));
        if (QFileInfo::exists(kept) || !booksfile::RenameOver(books, kept)) {
            QFile::remove(part);
            return Say(Outcome::Failed, QStringLiteral("无法把原来的账套改名为 %1").arg(kept));
        }
        for (const QString& suffix : kCompanions)
            if (QFileInfo::exists(books + suffix))
                booksfile::RenameOver(books + suffix, kept + suffix);
    }
    if (!booksfile::RenameOver(part, books)) {
        QFile::remove(part);
        if (!kept.isEmpty())
            booksfile::RenameOver(kept, books);
        return Say(Outcome::Failed, QStringLiteral("无法把备份放到 %1").arg(books));
    }
    // A folder restored after a lost disk needs its connect.txt again.
    const QString connectFile = dir.absoluteFilePath(QStringLiteral("connect.txt"));
    if (!QFileInfo::exists(connectFile)) {
        QFile file(connectFile);
        if (file.open(QIODevice::WriteOnly))
            file.write(schema::SqliteConnectString(books, m_extension).toUtf8());
    }
    QString message = QStringLiteral("已用 %1 恢复账套 %2（%3）")
                          .arg(QFileInfo(backup).absoluteFilePath(), books, counts->Text());
    if (!kept.isEmpty())
        message += QStringLiteral("；原来的账套保存为 %1").arg(kept);
    return Say(Outcome::Restored, message);
}
