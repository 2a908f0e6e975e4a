#pragma once
// What one press of 添加 in an entry dialog comes to, for the dialog to show.
#include "CDBException.h"

#include <QString>
#include <optional>

struct CEntryOutcome {
    // The framework's message box to show first ("Please enter a number."), or empty.
    QString message;
    // The numeric id of the control that gets the focus, or 0 to leave it.
    int focus = 0;
    // The new text of the status line; a null string leaves the line as it is.
    QString status;
    // The entry is in the books: the dialog clears itself for the next one.
    bool recorded = false;
    // Nothing written yet: a question to ask, No being the default. Yes adds the entry again
    // with the question answered; No shows `declined` in the status line.
    QString question;
    QString declined;
    // A sale in the books: its number (单号), by which 本单 and the receipt know it.
    QString recordedNumber;

    // Nothing recorded: `message` in a message box, the focus to `focus`, `status` (when not
    // null) in the status line.
    static CEntryOutcome Refused(const QString& message, int focus, const QString& status = {});
    // Nothing recorded; only the status line says why.
    static CEntryOutcome Status(const QString& status);
    // Nothing recorded; the status line shows the driver's text, cut to what the line holds.
    static CEntryOutcome DriverStatus(const CDBException& e);
    // Nothing written; `question` to ask first.
    static CEntryOutcome Question(const QString& question, const QString& declined);
    // In the books: `recorded` in the status line, followed by what failed after the commit
    // (`afterCommit`, when given); the form clears and `focus` gets the focus.
    static CEntryOutcome Recorded(const QString& recorded, int focus,
                                  const std::optional<CDBException>& afterCommit);
};
