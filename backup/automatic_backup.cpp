#include "automatic_backup.h"

#include "CDatabase.h"
#include "backup_log.h"
#include "backup_names.h"
#include "backup_settings.h"
#include "sqlite_backup.h"

#include <QDir>

bool AutomaticBackupDue(const CDatabase& db, const QDateTime& now) {
    const QString books = SqliteBooksPath(db.ConnectString());
    // Asked of the books' own folder, not of this user's settings: each set of books opened
    // here gets its backup of the day.
    return !books.isEmpty() && db.GetDialect() == CDatabase::Dialect::SQLite &&
           !backupnames::HasBackupOf(backupnames::DefaultFolder(books), now.date());
}

std::optional<CBackupOutcome> AutomaticBackup(CDatabase& db, const QDateTime& now,
                                              const QString& operatorName, CBackupStop* stop) {
    if (!AutomaticBackupDue(db, now))
        return std::nullopt;
    const QString connect = db.ConnectString();
    const QString folder = backupnames::DefaultFolder(SqliteBooksPath(connect));
    if (!QDir().mkpath(folder))
        return CBackupOutcome{false, QStringLiteral("备份失败：无法建立文件夹 %1").arg(folder)};
    const QString target = QDir(folder).filePath(backupnames::FileName(now));
    CBackupOutcome outcome = BackUpSqlite(db, target, SqliteExtensionPath(connect), stop);
    if (outcome.ok)
        PruneBackups(folder, CBackupSettings::Load().keep, target);
    RecordBackup(db, operatorName, outcome);
    return outcome;
}
