#include "entry_outcome.h"

#include "CDBException.h"
#include "text_forms.h"

CEntryOutcome CEntryOutcome::Refused(const QString& message, int focus, const QString& status) {
    CEntryOutcome outcome;
    outcome.message = message;
    outcome.focus = focus;
    outcome.status = status;
    return outcome;
}

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
    CEntryOutcome outcome;
    outcome.focus = focus;
    outcome.status = status;
    outcome.recorded = true;
    return outcome;
}

CEntryOutcome CEntryOutcome::Question(const QString& question, const QString& declined) {
    CEntryOutcome outcome;
    outcome.question = question;
    outcome.declined = declined;
    return outcome;
}
