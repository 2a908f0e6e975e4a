#include "operator_passwords.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "audit_log.h"
#include "password_hash.h"
#include "result_loader.h"
#include "sql_text.h"

#include <QDateTime>

namespace operatorpasswords {

const QString kWrongOldPassword = QStringLiteral("原密码不正确，密码没有修改。");
const QString kEmptyPassword = QStringLiteral("密码不能为空，密码没有修改。");
const QString kNotRepeated = QStringLiteral("两次输入的新密码不一致，密码没有修改。");

QString Store(CDatabase* db, const QString& name, const QString& password, const QString& actor) {
    if (!db || !db->IsOpen())
        return QStringLiteral("数据库没有打开");
    const std::optional<QString> hash = passwordhash::Hash(password);
    if (!hash)
        return QStringLiteral("无法计算密码的散列值");
    try {
        CTransaction transaction(*db);
        if (db->ExecuteSQL(QStringLiteral("UPDATE 操作员 SET 密码=%1 WHERE 用户名=%2")
                               .arg(sqltext::Quote(*hash), sqltext::Quote(name))) == 0)
            return QStringLiteral("操作员 %1 不存在").arg(name);
        if (!actor.isEmpty()) {
            const bool own = actor == name;
            auditlog::Append(
                *db,
                CLogEntry{actor, own ? QStringLiteral("修改密码") : QStringLiteral("设置密码"),
                          QStringLiteral("操作员"),
                          own ? QStringLiteral("%1 修改了自己的密码").arg(name)
                              : QStringLiteral("%1 设置了 %2 的密码").arg(actor, name)},
                QDateTime::currentDateTime());
        }
        // Committed is committed: the guard retries turning auto-commit back on.
        (void)transaction.Commit();
    } catch (const CDBException& e) {
        return e.ErrorText().trimmed();
    }
    return {};
}

QString Set(CDatabase* db, const QString& actor, const QString& name, const QString& password,
            const QString& repeated) {
    if (password.isEmpty())
        return kEmptyPassword;
    if (password != repeated)
        return kNotRepeated;
    return Store(db, name, password, actor);
}

} // namespace operatorpasswords

namespace operatorpasswords {

QString Change(CDatabase* db, const QString& name, const QString& oldPassword,
               const QString& newPassword, const QString& repeated) {
    QString failure;
    const std::optional<CResultTable> rows = RunStatement(
        db, QStringLiteral("操作员"),
        QStringLiteral("SELECT 密码 FROM 操作员 WHERE 用户名=") + sqltext::Quote(name), &failure);
    if (!rows)
        return failure.isEmpty() ? QStringLiteral("数据库没有打开") : failure.trimmed();
    if (rows->RowCount() == 0 ||
        passwordhash::Verify(rows->CellText(0, 0), oldPassword) == passwordhash::Match::No)
        return kWrongOldPassword;
    if (newPassword.isEmpty())
        return kEmptyPassword;
    if (newPassword != repeated)
        return kNotRepeated;
    return Store(db, name, newPassword, name);
}

} // namespace operatorpasswords
