#pragma once
// Brings older books to the newest version in one transaction: every step of every version
// between, then what the caller adds (the log row of the upgrade), then the commit. Either all
// of it stays or none of it does.
#include <QString>
#include <functional>

class CDatabase;

struct CUpgradeOutcome {
    enum class Result { Upgraded, AlreadyCurrent, Refused, Failed };
    Result result = Result::Failed;
    int from = 0; // the version found; 0 when it could not be read
    int to = 0;   // the version the books are at afterwards
    // Why not, for Refused and Failed; in the user's words.
    QString message;

    bool Ok() const { return result == Result::Upgraded || result == Result::AlreadyCurrent; }
};

namespace booksupgrade {

// Runs inside the upgrade's transaction after its schema steps and before the commit; a
// CDBException it throws undoes the whole upgrade.
using Inside = std::function<void(int from, int to)>;

// Books older than this program are upgraded; current books are left alone; newer books are
// refused, unchanged. `inside` runs only when there is something to upgrade.
CUpgradeOutcome Upgrade(CDatabase& db, const Inside& inside = {});

} // namespace booksupgrade
