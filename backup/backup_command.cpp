#include "backup_command.h"

#include "CDatabase.h"
#include "background_backup.h"
#include "backup_log.h"
#include "backup_names.h"
#include "connect_file.h"
#include "pg_dump.h"
#include "prompts.h"
#include "report_file.h"
#include "sqlite_backup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QPointer>
#include <QStatusBar>

namespace {

// A name typed without an ending gets the backup's.
QString WithSuffix(const QString& chosen, const QString& suffix) {
    return QFileInfo(chosen).suffix().isEmpty() ? chosen + QLatin1Char('.') + suffix : chosen;
}

void Tell(QWidget* owner, const CBackupOutcome& outcome) {
    Prompts().Tell(owner, outcome.message,
                   outcome.ok ? CPrompts::Icon::Information : CPrompts::Icon::Warning);
}

// The backup of the command running now, if one is.
QPointer<QObject> running;

// One 备份数据 made beside the program; it says how it went and goes. Closing its window
// stops it.
class CBackupJob : public QObject {
public:
    CBackupJob(QWidget* owner, const QString& connect, CBackgroundBackup::Job job)
        : QObject(owner ? static_cast<QObject*>(owner) : QCoreApplication::instance()),
          m_owner(owner) {
        if (auto* frame = qobject_cast<QMainWindow*>(owner))
            frame->statusBar()->showMessage(QStringLiteral("正在备份，可以继续工作…"));
        m_backup = std::make_unique<CBackgroundBackup>(
            connect, std::move(job), this, [this](const std::optional<CBackupOutcome>& outcome) {
                if (auto* frame = qobject_cast<QMainWindow*>(m_owner.data()))
                    frame->statusBar()->clearMessage();
                running.clear();
                deleteLater();
                if (outcome)
                    Tell(m_owner, *outcome);
            });
    }
    ~CBackupJob() override { m_backup.reset(); }

private:
    QPointer<QWidget> m_owner;
    std::unique_ptr<CBackgroundBackup> m_backup;
};

QObject* Start(QWidget* owner, const QString& connect, CBackgroundBackup::Job job) {
    running = new CBackupJob(owner, connect, std::move(job));
    return running;
}

} // namespace

QObject* BackUpBooks(QWidget* owner, CDatabase* db, const QDateTime& now,
                     const QString& operatorName) {
    if (!db || !db->IsOpen()) {
        Prompts().Tell(owner, QStringLiteral("备份失败：数据库没有连接"), CPrompts::Icon::Warning);
        return nullptr;
    }
    if (running) {
        Prompts().Tell(owner, QStringLiteral("上一次备份还没有完成，请等它完成后再备份"),
                       CPrompts::Icon::Information);
        return nullptr;
    }
    const QString connect = db->ConnectString();
    if (db->GetDialect() == CDatabase::Dialect::PostgreSQL) {
        const QString program = pgdump::Find();
        if (program.isEmpty()) {
            Prompts().Tell(owner, pgdump::Missing(connect), CPrompts::Icon::Information);
            return nullptr;
        }
        const QString chosen = Prompts().SaveFileName(
            owner, QStringLiteral("PostgreSQL 备份 (*.dump)"),
            QDir::home().filePath(backupnames::FileName(now, QStringLiteral("dump"))));
        const QString target = WithSuffix(chosen, QStringLiteral("dump"));
        if (chosen.isEmpty() || !reportfile::MayReplace(owner, chosen, target))
            return nullptr;
        return Start(owner, connect, [=](CDatabase& own, CBackupStop& stop) {
            CBackupOutcome outcome = pgdump::BackUp(own, program, target, &stop);
            RecordBackup(own, operatorName, outcome);
            return std::optional(outcome);
        });
    }
    const QString books = SqliteBooksPath(connect);
    QString folder = books.isEmpty() ? QDir::homePath() : backupnames::DefaultFolder(books);
    if (!QDir().mkpath(folder))
        folder = QFileInfo(books).absolutePath();
    const QString chosen =
        Prompts().SaveFileName(owner, QStringLiteral("SQLite 数据库 (*.db)"),
                               QDir(folder).filePath(backupnames::FileName(now)));
    if (chosen.isEmpty())
        return nullptr;
    const QString target = WithSuffix(chosen, QStringLiteral("db"));
    // The books' own file is refused before anyone is asked whether to replace it.
    if (const QString problem = BackupTargetProblem(*db, target); !problem.isEmpty()) {
        Prompts().Tell(owner, QStringLiteral("备份失败：") + problem, CPrompts::Icon::Warning);
        return nullptr;
    }
    if (!reportfile::MayReplace(owner, chosen, target))
        return nullptr;
    return Start(owner, connect, [=](CDatabase& own, CBackupStop& stop) {
        CBackupOutcome outcome = BackUpSqlite(own, target, SqliteExtensionPath(connect), &stop);
        RecordBackup(own, operatorName, outcome);
        return std::optional(outcome);
    });
}
