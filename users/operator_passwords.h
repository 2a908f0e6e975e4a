#pragma once
// Setting an operator's password in the books: only its hash is ever written.
#include <QString>

class CDatabase;

namespace operatorpasswords {

// Writes the hash of `password` as `name`'s password. Empty when done, otherwise why not. When
// `actor` (who is logged in) is given, the change is logged in the same transaction: 修改密码
// when it is `name`, 设置密码 otherwise; who and for whom, never the password.
QString Store(CDatabase* db, const QString& name, const QString& password,
              const QString& actor = {});

// 设置密码: the 店长 `actor` gives `name` a new password, typed twice. Empty when stored,
// otherwise what to tell the user (nothing changed).
QString Set(CDatabase* db, const QString& actor, const QString& name, const QString& password,
            const QString& repeated);

// 修改密码: `name` proves the old password and types the new one twice. Empty when the new
// one is stored, otherwise what to tell the user (nothing changed).
QString Change(CDatabase* db, const QString& name, const QString& oldPassword,
               const QString& newPassword, const QString& repeated);

extern const QString kWrongOldPassword;
extern const QString kEmptyPassword;
extern const QString kNotRepeated;

} // namespace operatorpasswords
