#pragma once
// An entry whose COMMIT reached the server but whose reply was lost may or may not be in the
// books. These say which, in the words every entry uses, so that nothing is entered twice.
#include "entry_lookup.h"
#include "entry_outcome.h"

#include <QString>
#include <optional>

namespace entrycheck {

inline const QString& kRecordedAfterLoss = entrylookup::kRecordedAfterLoss;
inline const QString& kNotRecordedAfterLoss = entrylookup::kNotRecordedAfterLoss;
inline const QString& kOutcomeUnknown = entrylookup::kOutcomeUnknown;
inline const QString& kAlreadyRecorded = entrylookup::kAlreadyRecorded;

// What the user is told once the lookup is done, the driver's text after it: in the books (the
// form clears, `focus` gets the focus), not in the books, or unknown (nullopt: the server is
// still gone).
CEntryOutcome LookedUp(std::optional<bool> inBooks, int focus, const QString& driverText = {});

} // namespace entrycheck
