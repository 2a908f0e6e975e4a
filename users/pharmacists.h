#pragma once
// The licensed pharmacists (执业药师) among the operators: who may go on duty. A flag is set or
// cleared with its log row in one transaction; an operator who is deleted loses it in the
// deletion's transaction, and a flagged operator keeps their name.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

class CDatabase;

namespace pharmacists {

// The pharmacists' names in the order of the user box; nullopt (and why in `failure`) when they
// cannot be read.
std::optional<QStringList> List(CDatabase* db, QString* failure = nullptr);
// Whether `name` is flagged; nullopt (and why) when that cannot be read.
std::optional<bool> IsPharmacist(CDatabase* db, const QString& name, QString* failure = nullptr);

// Flags `name` (or clears the flag) under the 店长 `operatorName`, the row and its log row
// (设为执业药师 / 取消执业药师) in one transaction; nothing is written when it is already so.
// Empty when the books now say what was asked, otherwise what to tell the user.
QString Set(CDatabase* db, const QString& name, bool pharmacist, const QString& operatorName,
            const QDateTime& now);

// Inside the transaction that deleted or renamed the operator `name`: when no operator of that
// name is left, their flag goes too, logged (取消执业药师). Throws CDBException.
void DropWithOperator(CDatabase& db, const QString& name, const QString& operatorName,
                      const QDateTime& now);

// Why the operators grid does not rename `name`, a pharmacist.
QString RenameRefusal(const QString& name);

} // namespace pharmacists
