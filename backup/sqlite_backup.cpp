#include "sqlite_backup.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "backup_names.h"
#include "books_file.h"
#include "sql_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

CBackupOutcome Failed(const QString& why) {
    return {false, QStringLiteral("备份失败：") + why};
}

} // namespace

CBackupOutcome BackUpSqlite(CDatabase& db, const QString& target, const QString& extension) {
    QString why;
    const std::optional<CBooksCounts> books = booksfile::Count(db, &why);
    if (!books)
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
        db.ExecuteSQL(QStringLiteral("VACUUM INTO ") + sqltext::Quote(temporary));
    } catch (const CDBException& e) {
        return Failed(e.ErrorText().trimmed());
    }
    const std::optional<CBooksCounts> copy = booksfile::Check(temporary, extension, &why);
    if (!copy)
        return Failed(why);
    if (!(*copy == *books))
        return Failed(
            QStringLiteral(
                "副本（%1）与账套（%2）的记录数不符，可能有别的柜台在同时登记，请再备份一次")
                .arg(copy->Text(), books->Text()));
    if (!booksfile::SyncToDisk(temporary))
        return Failed(QStringLiteral("无法把副本写入磁盘：%1").arg(temporary));
    if (!booksfile::RenameOver(temporary, info.absoluteFilePath()))
        return Failed(QStringLiteral("无法把副本命名为 %1").arg(info.absoluteFilePath()));
    return {true, QStringLiteral("备份完成：%1（%2）").arg(info.absoluteFilePath(), books->Text())};
}

int PruneBackups(const QString& folder, int keep) {
    const QDir dir(folder);
    QStringList own;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        if (backupnames::IsOwnBackup(name))
            own << name;
    // The names carry the time, so their order is the order they were made in.
    int removed = 0;
    for (qsizetype i = 0; i + keep < own.size(); ++i)
        if (QFile::remove(dir.filePath(own[i])))
            ++removed;
    return removed;
}
