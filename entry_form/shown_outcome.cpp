#include "shown_outcome.h"

#include "prompts.h"

#include <QLabel>

CEntryOutcome Answered(QWidget* owner, const CEntryOutcome& outcome,
                       const std::function<CEntryOutcome()>& accepted) {
    if (outcome.question.isEmpty())
        return outcome;
    if (Prompts().Message(owner, outcome.question, CPrompts::Icon::Question,
                          CPrompts::Buttons::YesNoDefaultNo) == CPrompts::Answer::Yes)
        return accepted();
    return CEntryOutcome::Status(outcome.declined);
}

void ShowOutcome(QWidget* owner, QLabel* status, const CEntryOutcome& outcome) {
    Prompts().TellFailure(owner, outcome.message);
    if (!outcome.status.isNull())
        status->setText(outcome.status);
}
