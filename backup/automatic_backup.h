#pragma once
// The backup of SQLite books made on its own at the first start of each day, into the books'
// backup folder, keeping the newest of the program's own backups.
#include "backup_outcome.h"
#include "connect_file.h"

#include <QDateTime>
#include <QString>
#include <optional>

class CBackupStop;
class CDatabase;

// Whether the books open on `db` are SQLite books whose backup folder holds no backup of the
// day of `now` yet.
bool AutomaticBackupDue(const CDatabase& db, const QDateTime& now);
// At `now`, unless the books' backup folder already holds a backup of today or the books are
// not SQLite ones (nullopt then): the backup, and the oldest beyond the number kept removed.
// The backup made leaves its log row, in the name of `operatorName`. `stop`: see BackUpSqlite.
std::optional<CBackupOutcome> AutomaticBackup(CDatabase& db, const QDateTime& now,
                                              const QString& operatorName = {},
                                              CBackupStop* stop = nullptr);
