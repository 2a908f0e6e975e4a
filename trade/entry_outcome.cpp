#include "entry_outcome.h"

#include "CDBException.h"
#include "text_forms.h"

CEntryOutcome CEntryOutcome::Status(const QString& status) {
    CEntryOutcome outcome;
    outcome.status = status;
    return outcome;
}

CEntryOutcome CEntryOutcome::DriverStatus(const CDBException& e) {
    return Status(textforms::CutUtf8(e.ErrorText(), 254));
}
