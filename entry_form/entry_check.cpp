#include "entry_check.h"

#include "text_forms.h"

namespace entrycheck {

CEntryOutcome LookedUp(std::optional<bool> inBooks, int focus, const QString& driverText) {
    const QString said = textforms::CutUtf8(entrylookup::Reported(inBooks, driverText), 254);
    if (inBooks && *inBooks)
        return CEntryOutcome::Recorded(said, focus, std::nullopt);
    return CEntryOutcome::Status(said);
}

} // namespace entrycheck
