#pragma once
// Where backups go and what they are called: apricot-YYYYMMDD-HHMMSS.db in backups/ beside
// the books. Only files of that name count as the program's own, so rotation never touches
// anything else.
#include <QDateTime>
#include <QString>

namespace backupnames {

// "apricot-20261208-093005.db", or with `suffix` "dump" for PostgreSQL books.
QString FileName(const QDateTime& when, const QString& suffix = QStringLiteral("db"));
// Whether `fileName` (no folder) is one of the program's own SQLite backups.
bool IsOwnBackup(const QString& fileName);
// Whether `folder` holds one of the program's own backups made on `day` (by its name).
bool HasBackupOf(const QString& folder, const QDate& day);
// The backup folder of the books file at `booksPath`: backups/ beside it.
QString DefaultFolder(const QString& booksPath);

} // namespace backupnames
