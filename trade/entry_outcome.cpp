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

CEntryOutcome CEntryOutcome::Recorded(const QString& recorded, int focus,
                                      const std::optional<CDBException>& afterCommit) {
    QString status = recorded;
    if (afterCommit)
        status = textforms::CutUtf8(status + QStringLiteral("；") + afterCommit->ErrorText(), 254);
    return {{}, focus, status, true};
}
