#include "sqlite_backup.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "backup_names.h"
#include "backup_stop.h"
#include "books_file.h"
#include "connect_file.h"
#include "schema.h"
#include "sqlite_journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

CBackupOutcome Failed(const QString& why) {
    return {false, QStringLiteral("备份失败：") + why};
}

// `path` with its folder's links resolved, so that two names of one file compare equal; the
// file itself need not exist.
QString SamePlace(const QString& path) {
    const QFileInfo info(path);
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

// Whether each table of the copy holds a number of rows the books held while it was made: the
// counter may record between the counts taken before and after the copy.
bool Between(const CBooksCounts& copy, const CBooksCounts& before, const CBooksCounts& after) {
    const auto within = [](long long n, long long a, long long b) {
        return std::min(a, b) <= n && n <= std::max(a, b);
    };
    return within(copy.operators, before.operators, after.operators) &&
           within(copy.purchases, before.purchases, after.purchases) &&
           within(copy.cards, before.cards, after.cards) &&
           within(copy.sales, before.sales, after.sales);
}

} // namespace

QString BackupTargetProblem(CDatabase& db, const QString& target) {
    const QString books = SqliteBooksPath(db.ConnectString());
    if (books.isEmpty())
        return {};
    const QString chosen = SamePlace(target);
    const QString own = SamePlace(books);
    QStringList taken{own};
    for (const QString& suffix : sqlitejournal::CompanionSuffixes())
        taken << own + suffix;
    if (!taken.contains(chosen))
        return {};
    return QStringLiteral("%1 是账套自己的文件，备份不能写在它上面，请另选文件名").arg(target);
}

CBackupOutcome BackUpSqlite(CDatabase& db, const QString& target, const QString& extension,
                            CBackupStop* stop) {
    CBackupStop own;
    CBackupStop& halt = stop ? *stop : own;
    const auto stopped = [] { return Failed(QStringLiteral("备份已中止，没有留下副本")); };
    if (const QString problem = BackupTargetProblem(db, target); !problem.isEmpty())
        return Failed(problem);
    QString why;
    const std::optional<CBooksCounts> before = booksfile::Count(db, &why);
    if (!before)
        return Failed(why);

    const QFileInfo info(target);
    const QString temporary = info.absoluteDir().filePath(QStringLiteral(".") + info.fileName() +
                                                          QStringLiteral(".part"));
    QFile::remove(temporary);
    // Whatever happens below, no half copy stays.
    struct Cleanup {
        QString path;
        ~Cleanup() { QFile::remove(path); }
    } cleanup{temporary};

    try {
        halt.Run(db, QStringLiteral("VACUUM INTO ?"), {temporary});
    } catch (const CDBException& e) {
        return halt.Stopped() ? stopped() : Failed(e.ErrorText().trimmed());
    }
    const std::optional<CBooksCounts> after = booksfile::Count(db, &why);
    if (!after)
        return Failed(why);
    // Checked so that closing the program stops the check too.
    const std::optional<CBooksCounts> copy =
        booksfile::Check(temporary, extension, &why, [&halt](CDatabase& opened) {
            opened.m_queryTimeout = 0; // a large copy takes as long as it takes, or is stopped
            return halt.Run(opened, QStringLiteral("PRAGMA integrity_check"));
        });
    if (halt.Stopped())
        return stopped();
    if (!copy)
        return Failed(why);
    if (!Between(*copy, *before, *after))
        return Failed(
            QStringLiteral(
                "副本（%1）与账套（%2）的记录数不符，可能有别的柜台在同时登记，请再备份一次")
                .arg(copy->Text(), after->Text()));
    if (!booksfile::SyncToDisk(temporary))
        return Failed(QStringLiteral("无法把副本写入磁盘：%1").arg(temporary));
    if (halt.Stopped())
        return stopped();
    if (!booksfile::RenameOver(temporary, info.absoluteFilePath()))
        return Failed(QStringLiteral("无法把副本命名为 %1").arg(info.absoluteFilePath()));
    return {true, QStringLiteral("备份完成：%1（%2）").arg(info.absoluteFilePath(), copy->Text())};
}

int PruneBackups(const QString& folder, int keep, const QString& justMade) {
    const QDir dir(folder);
    QFileInfoList own;
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files))
        if (backupnames::IsOwnBackup(file.fileName()))
            own << file;
    // Newest first by when they were written: the time in a name is only what the clock said.
    std::sort(own.begin(), own.end(), [](const QFileInfo& a, const QFileInfo& b) {
        const QDateTime ta = a.lastModified(), tb = b.lastModified();
        return ta != tb ? ta > tb : a.fileName() > b.fileName();
    });
    const QString made = justMade.isEmpty() ? QString() : SamePlace(justMade);
    const auto isMade = [&](const QFileInfo& file) {
        return !made.isEmpty() && SamePlace(file.absoluteFilePath()) == made;
    };
    std::stable_partition(own.begin(), own.end(), isMade);
    int removed = 0;
    for (qsizetype i = std::max(keep, 1); i < own.size(); ++i)
        if (!isMade(own[i]) && QFile::remove(own[i].absoluteFilePath()))
            ++removed;
    return removed;
}
