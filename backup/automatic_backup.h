#pragma once
// The backup of SQLite books made on its own at the first start of each day, into the books'
// backup folder, keeping the newest of the program's own backups.
#include "backup_outcome.h"

#include <QDateTime>
#include <QString>
#include <optional>

class CDatabase;

// The SQLite books file of the connection string `connect`, and the date-time extension it
// loads (or the one beside the program); empty when the books are not in a SQLite file.
QString SqliteBooksPath(const QString& connect);
QString SqliteExtensionPath(const QString& connect);

// At `now`, unless a backup already ran today or the books are not SQLite ones (nullopt then):
// the backup, the oldest beyond the number kept removed, and the day remembered once it worked.
std::optional<CBackupOutcome> AutomaticBackup(CDatabase& db, const QDateTime& now);
