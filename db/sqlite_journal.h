#pragma once
// SQLite books keep their journal in write-ahead-log mode: a program reading a large result
// then keeps its own snapshot while another program's sale is written beside it, instead of
// holding a lock that makes the sale wait and fail.
#include <QString>
#include <QStringList>

class CDatabase;

namespace sqlitejournal {

// Puts the SQLite books open on `db` into WAL mode, which stays with the file. Empty when they
// are in it (or are no SQLite books); otherwise why not (another program holds the books, the
// folder is read-only): the books then work as before and the next start tries again.
QString UseWal(CDatabase& db);
// The mode the SQLite books open on `db` keep their journal in ("wal", "delete", ...).
// Throws CDBException.
QString Mode(CDatabase& db);

// The files SQLite keeps beside a books file, which belong to it: "-journal", "-wal", "-shm".
QStringList CompanionSuffixes();

} // namespace sqlitejournal
