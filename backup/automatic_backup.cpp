#include "automatic_backup.h"

#include "CDatabase.h"
#include "backup_log.h"
#include "backup_names.h"
#include "backup_settings.h"
#include "sqlite_backup.h"

#include <QDir>

std::optional<CBackupOutcome> AutomaticBackup(CDatabase& db, const QDateTime& now,
                                              const QString& operatorName) {
    const QString connect = db.ConnectString();
    const QString books = SqliteBooksPath(connect);
    if (books.isEmpty() || db.GetDialect() != CDatabase::Dialect::SQLite)
        return std::nullopt;
    // Asked of the books' own folder, not of this user's settings: each set of books opened
    // here gets its backup of the day.
    const QString folder = backupnames::DefaultFolder(books);
    if (backupnames::HasBackupOf(folder, now.date()))
        return std::nullopt;
    if (!QDir().mkpath(folder))
        return CBackupOutcome{false, QStringLiteral("备份失败：无法建立文件夹 %1").arg(folder)};
    const QString target = QDir(folder).filePath(backupnames::FileName(now));
    CBackupOutcome outcome = BackUpSqlite(db, target, SqliteExtensionPath(connect));
    if (outcome.ok)
        PruneBackups(folder, CBackupSettings::Load().keep, target);
    RecordBackup(db, operatorName, outcome);
    return outcome;
}
