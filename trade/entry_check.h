#pragma once
// An entry whose COMMIT reached the server but whose reply was lost may or may not be in the
// books. These look it up on a new connection and say which, so that nothing is entered twice.
#include "entry_outcome.h"

#include <QString>
#include <optional>

class CDatabase;

namespace entrycheck {

extern const QString kRecordedAfterLoss;
extern const QString kNotRecordedAfterLoss;
extern const QString kOutcomeUnknown;
extern const QString kAlreadyRecorded;

// The number `countSql` (a SELECT COUNT(*)) gives; nullopt when it cannot be read, and why in
// `failure`.
std::optional<long long> Count(CDatabase* db, const QString& table, const QString& countSql,
                               QString* failure = nullptr);

// What the user is told once the lookup is done: in the books (the form clears, `focus` gets
// the focus), not in the books, or unknown (nullopt: the server is still gone).
CEntryOutcome LookedUp(std::optional<bool> inBooks, int focus);

} // namespace entrycheck
