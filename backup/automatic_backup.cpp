#include "automatic_backup.h"

#include "CDatabase.h"
#include "backup_names.h"
#include "backup_settings.h"
#include "connect_string.h"
#include "schema.h"
#include "sqlite_backup.h"

#include <QDir>

QString SqliteBooksPath(const QString& connect) {
    if (!connectstring::Value(connect, {QStringLiteral("Driver")})
             .contains(QLatin1String("sqlite"), Qt::CaseInsensitive))
        return {};
    return connectstring::Value(connect, {QStringLiteral("Database")});
}

QString SqliteExtensionPath(const QString& connect) {
    const QString named = connectstring::Value(connect, {QStringLiteral("LoadExt")});
    return named.isEmpty() ? schema::FindSqliteExtension() : named.section(QLatin1Char(','), 0, 0);
}

std::optional<CBackupOutcome> AutomaticBackup(CDatabase& db, const QDateTime& now) {
    const QString connect = db.ConnectString();
    const QString books = SqliteBooksPath(connect);
    if (books.isEmpty() || db.GetDialect() != CDatabase::Dialect::SQLite)
        return std::nullopt;
    CBackupSettings settings = CBackupSettings::Load();
    if (settings.lastAutomatic == now.date())
        return std::nullopt;
    const QString folder = backupnames::DefaultFolder(books);
    if (!QDir().mkpath(folder))
        return CBackupOutcome{false, QStringLiteral("备份失败：无法建立文件夹 %1").arg(folder)};
    CBackupOutcome outcome = BackUpSqlite(db, QDir(folder).filePath(backupnames::FileName(now)),
                                          SqliteExtensionPath(connect));
    if (outcome.ok) {
        PruneBackups(folder, settings.keep);
        settings.lastAutomatic = now.date();
        settings.Save();
    }
    return outcome;
}
