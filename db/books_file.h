#pragma once
// What makes a file a set of books: SQLite's own integrity check passes and the four tables
// are there. Backups and restores check a copy this way before it counts.
#include <QString>
#include <functional>
#include <optional>

class CDatabase;

struct CBooksCounts {
    long long operators = 0;
    long long purchases = 0;
    long long cards = 0;
    long long sales = 0;
    bool operator==(const CBooksCounts&) const = default;
    // "进 n 笔，存 n 张，销 n 笔"
    QString Text() const;
};

namespace booksfile {

// The rows of the four tables of the books open on `db`; nullopt, with why in `failure`, when
// a table cannot be counted.
std::optional<CBooksCounts> Count(CDatabase& db, QString* failure);
// Runs SQLite's integrity check on the copy open on `db` and gives its first row ("ok" when
// whole). Throws CDBException.
using IntegrityRun = std::function<QString(CDatabase& db)>;

// Opens the SQLite file at `path` on a connection of its own (with the date-time extension at
// `extension`), checks its integrity and counts its four tables; nullopt, with why, when it is
// no set of books. A missing file is never created. A caller that must be able to stop the
// check (a large copy) runs the integrity check through `integrity`.
std::optional<CBooksCounts> Check(const QString& path, const QString& extension, QString* failure,
                                  const IntegrityRun& integrity = {});
// A copy on the disk itself before it takes its name: a power cut must not leave a file that
// was reported complete and is not.
bool SyncToDisk(const QString& path);
// `from` renamed to `to` in one step, replacing a file of that name.
bool RenameOver(const QString& from, const QString& to);

} // namespace booksfile
