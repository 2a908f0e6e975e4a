#pragma once
// Setting an operator's password in the books: only its hash is ever written.
#include <QString>

class CDatabase;

namespace operatorpasswords {

struct CPasswordOutcome {
    bool stored = false; // the new password admits from now on
    // Why not, when not stored; when stored, empty, or how it was found stored after the
    // connection broke before the reply came.
    QString message;
};

// Writes the hash of `password` as `name`'s password. When `actor` (who is logged in) is given,
// the change is logged in the same transaction: 修改密码 when it is `name`, 设置密码 otherwise;
// who and for whom, never the password. A commit whose reply is lost is looked up in the log by
// the log row's own number.
CPasswordOutcome Store(CDatabase* db, const QString& name, const QString& password,
                       const QString& actor = {});

// 设置密码: the 店长 `actor` gives `name` a new password, typed twice.
CPasswordOutcome Set(CDatabase* db, const QString& actor, const QString& name,
                     const QString& password, const QString& repeated);

// 修改密码: `name` proves the old password and types the new one twice.
CPasswordOutcome Change(CDatabase* db, const QString& name, const QString& oldPassword,
                        const QString& newPassword, const QString& repeated);

// 添加 in 系统设置: the 店长 `actor` adds the operator `name` (trimmed) as `role` (empty: 营业员)
// with a password typed twice, the row, its hash and its log row in one transaction, so that no
// operator is ever added without a password.
CPasswordOutcome Add(CDatabase* db, const QString& actor, const QString& name, const QString& role,
                     const QString& password, const QString& repeated);

extern const QString kWrongOldPassword;
extern const QString kEmptyNewOperatorPassword;
extern const QString kEmptyPassword;
extern const QString kNotRepeated;
extern const QString kStoredAfterLoss;

} // namespace operatorpasswords
