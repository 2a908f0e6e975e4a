#pragma once
// A backup of SQLite books while the program runs: SQLite's VACUUM INTO through the open
// connection writes a consistent copy under a temporary name, the copy is checked (integrity,
// the four tables with as many rows as the books) and only then takes its name. A failed
// backup leaves no file behind and the books as they were.
#include "backup_outcome.h"

#include <QString>

class CBackupStop;
class CDatabase;

// Why `target` cannot take a backup of the books open on `db`: it is their own file or one of
// SQLite's files beside it. Empty when it can.
QString BackupTargetProblem(CDatabase& db, const QString& target);

// A copy of the books open on `db` at `target` (an older file of that name is replaced only by
// a checked copy; the books' own files are refused). `extension`: the date-time extension the
// copy is checked with. The counter may keep recording meanwhile: the copy holds the books as
// they were at one moment of it. `stop` (from another thread) ends it early, leaving no file.
CBackupOutcome BackUpSqlite(CDatabase& db, const QString& target, const QString& extension,
                            CBackupStop* stop = nullptr);

// Removes the oldest of the program's own backups in `folder` (by when they were written)
// beyond the newest `keep`, never `justMade`; returns how many went. Other files are never
// touched.
int PruneBackups(const QString& folder, int keep, const QString& justMade = QString());
