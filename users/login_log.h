#pragma once
// The log rows of logins, failed logins and logouts. A failed login names the user typed, never
// the password typed.
#include "login_check.h"

#include <QString>

class CDatabase;

namespace loginlog {

// Writes the row of one attempt. Empty when written, otherwise why not (the books may be out of
// reach: the login then fails anyway).
QString Attempt(CDatabase* db, const QString& typedName, CLoginCheck::Outcome outcome);
QString Logout(CDatabase* db, const QString& name);

} // namespace loginlog
