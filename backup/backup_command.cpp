#include "backup_command.h"

#include "CDatabase.h"
#include "automatic_backup.h"
#include "backup_log.h"
#include "backup_names.h"
#include "pg_dump.h"
#include "prompts.h"
#include "report_file.h"
#include "sqlite_backup.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// A name typed without an ending gets the backup's.
QString WithSuffix(const QString& chosen, const QString& suffix) {
    return QFileInfo(chosen).suffix().isEmpty() ? chosen + QLatin1Char('.') + suffix : chosen;
}

void Tell(QWidget* owner, const CBackupOutcome& outcome) {
    Prompts().Tell(owner, outcome.message,
                   outcome.ok ? CPrompts::Icon::Information : CPrompts::Icon::Warning);
}

} // namespace

void BackUpBooks(QWidget* owner, CDatabase* db, const QDateTime& now, const QString& operatorName) {
    if (!db || !db->IsOpen()) {
        Prompts().Tell(owner, QStringLiteral("备份失败：数据库没有连接"), CPrompts::Icon::Warning);
        return;
    }
    const QString connect = db->ConnectString();
    if (db->GetDialect() == CDatabase::Dialect::PostgreSQL) {
        const QString program = pgdump::Find();
        if (program.isEmpty()) {
            Prompts().Tell(owner, pgdump::Missing(connect), CPrompts::Icon::Information);
            return;
        }
        const QString chosen = Prompts().SaveFileName(
            owner, QStringLiteral("PostgreSQL 备份 (*.dump)"),
            QDir::home().filePath(backupnames::FileName(now, QStringLiteral("dump"))));
        const QString target = WithSuffix(chosen, QStringLiteral("dump"));
        if (chosen.isEmpty() || !reportfile::MayReplace(owner, chosen, target))
            return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        CBackupOutcome outcome = pgdump::BackUp(*db, program, target);
        QApplication::restoreOverrideCursor();
        RecordBackup(*db, operatorName, outcome);
        Tell(owner, outcome);
        return;
    }
    const QString books = SqliteBooksPath(connect);
    QString folder = books.isEmpty() ? QDir::homePath() : backupnames::DefaultFolder(books);
    if (!QDir().mkpath(folder))
        folder = QFileInfo(books).absolutePath();
    const QString chosen =
        Prompts().SaveFileName(owner, QStringLiteral("SQLite 数据库 (*.db)"),
                               QDir(folder).filePath(backupnames::FileName(now)));
    if (chosen.isEmpty())
        return;
    const QString target = WithSuffix(chosen, QStringLiteral("db"));
    // The books' own file is refused before anyone is asked whether to replace it.
    if (const QString problem = BackupTargetProblem(*db, target); !problem.isEmpty()) {
        Prompts().Tell(owner, QStringLiteral("备份失败：") + problem, CPrompts::Icon::Warning);
        return;
    }
    if (!reportfile::MayReplace(owner, chosen, target))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CBackupOutcome outcome = BackUpSqlite(*db, target, SqliteExtensionPath(connect));
    QApplication::restoreOverrideCursor();
    RecordBackup(*db, operatorName, outcome);
    Tell(owner, outcome);
}
