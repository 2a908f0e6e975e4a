#pragma once
// A backup of SQLite books while the program runs: SQLite's VACUUM INTO through the open
// connection writes a consistent copy under a temporary name, the copy is checked (integrity,
// the four tables with as many rows as the books) and only then takes its name. A failed
// backup leaves no file behind and the books as they were.
#include "backup_outcome.h"

#include <QString>

class CDatabase;

// A copy of the books open on `db` at `target` (an older file of that name is replaced only by
// a checked copy). `extension`: the date-time extension the copy is checked with.
CBackupOutcome BackUpSqlite(CDatabase& db, const QString& target, const QString& extension);

// Removes the oldest of the program's own backups in `folder` beyond the newest `keep`;
// returns how many went. Other files are never touched.
int PruneBackups(const QString& folder, int keep);
