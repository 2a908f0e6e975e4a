#pragma once
// What the settings dialog's operator list may write: a known role, and a 店长 always left.
#include <QString>
#include <QStringList>
#include <optional>

class CDatabase;

namespace operatorrows {

// The list's columns: 用户名, 角色, and whether a password is set (shown only).
enum Column : int { NameColumn = 0, RoleColumn = 1, PasswordColumn = 2 };

// The 店长 in the books now other than `name`; nullopt (and why in `failure`) when they cannot
// be counted.
std::optional<int> CountOtherManagers(CDatabase* db, const QString& name, QString* failure);

// Looks at a row before it is written: an empty 角色 becomes 营业员, a word other than the two
// roles is refused, an empty 用户名 too, and the last 店长 in the books keeps the role. Empty
// when the row may be written, otherwise what to tell the user.
QString Check(CDatabase* db, const QStringList& oldValues, QStringList& newValues, bool isNew);
// Asked inside the transaction that changed or deleted the row `oldValues`: refuses when the
// books hold no 店长 any more, as when two counters demoted the only two at once.
QString ManagerStillThere(CDatabase* db, const QStringList& oldValues);

QString UnknownRoleText(const QString& role);
QString LastManagerText(const QString& name);
extern const QString kEmptyName;

} // namespace operatorrows
