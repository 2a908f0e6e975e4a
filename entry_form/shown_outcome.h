#pragma once
// What both entry dialogs do with the outcome of 添加: ask its question, show its message and
// its status line.
#include "entry_outcome.h"

#include <functional>

class QLabel;
class QWidget;

// The outcome's question, when it has one, asked with No as the default: Yes gives what
// `accepted` returns (the entry added again with the question answered), No the outcome's
// declined status with nothing recorded. Without a question, the outcome itself.
CEntryOutcome Answered(QWidget* owner, const CEntryOutcome& outcome,
                       const std::function<CEntryOutcome()>& accepted);
// The outcome's message box, then its status text in `status` (a null text leaves it).
void ShowOutcome(QWidget* owner, QLabel* status, const CEntryOutcome& outcome);
