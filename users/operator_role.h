#pragma once
// What an operator may do: a 店长 everything, a 营业员 the counter's work. The books keep the
// role as its text in 操作员.角色.
#include <QString>

enum class ERole { Manager, Clerk };

namespace operatorrole {

inline const QString kManager = QStringLiteral("店长");
inline const QString kClerk = QStringLiteral("营业员");

// Anything but 店长 is a 营业员: an unknown text grants nothing more.
inline ERole FromText(const QString& text) {
    return text == kManager ? ERole::Manager : ERole::Clerk;
}
inline QString Text(ERole role) {
    return role == ERole::Manager ? kManager : kClerk;
}

} // namespace operatorrole
