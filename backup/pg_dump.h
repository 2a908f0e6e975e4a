#pragma once
// Backups of books on a PostgreSQL server: the server's own pg_dump, in its custom format, for
// the server, port, database and user the connection names.
#include "backup_outcome.h"

#include <QString>
#include <QStringList>

class CBackupStop;
class CDatabase;

namespace pgdump {

// pg_dump on PATH or in PostgreSQL's own folders; empty when it is not installed.
QString Find();
// The arguments that dump the database of `connect` to `target`.
QStringList Arguments(const QString& connect, const QString& target);
// What to say when pg_dump is not installed here.
QString Missing(const QString& connect);
// Runs pg_dump (at `program`) for the books open on `db` into `target`, through a temporary
// name, and says how it went. Waits for it to end, or until `stop` says so (the dump is killed
// then and leaves no file).
CBackupOutcome BackUp(CDatabase& db, const QString& program, const QString& target,
                      const CBackupStop* stop = nullptr);

} // namespace pgdump
