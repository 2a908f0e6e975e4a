#pragma once
// The buyer's 居民身份证号码 that a register of ephedrine sales keeps: checked before anything
// is recorded, and masked wherever it is shown to someone who may not read it whole.
#include <QDate>
#include <QString>

namespace idcard {

// The number as the books keep it: blanks around it dropped, a check character x as X.
QString Normalized(const QString& typed);
// Why `typed` is no valid 18-character ID number, for the user ("身份证号应为 18 位…"); empty
// when it is one. A date of birth after `today` or before 1900 is refused. The right check
// character is never named, so that a wrong number cannot be made to pass by copying it.
QString Problem(const QString& typed, const QDate& today = QDate::currentDate());
// "110101********1234": the area code and the last 4 shown; another length keeps its last 4 only,
// and one of 4 characters or fewer is masked whole.
QString Masked(const QString& id);
// What a log row may hold of an ID number: never the whole of it.
QString LogForm(const QString& id);

} // namespace idcard
