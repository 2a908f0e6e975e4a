#include "operator_passwords.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "audit_log.h"
#include "entry_lookup.h"
#include "entry_number.h"
#include "operator_rows.h"
#include "password_hash.h"
#include "result_loader.h"

#include <QDateTime>
#include <functional>

namespace operatorpasswords {

const QString kWrongOldPassword = QStringLiteral("原密码不正确，密码没有修改。");
const QString kEmptyPassword = QStringLiteral("密码不能为空，密码没有修改。");
const QString kNotRepeated = QStringLiteral("两次输入的新密码不一致，密码没有修改。");
const QString kEmptyNewOperatorPassword =
    QStringLiteral("新帐号必须有密码：没有密码的帐号不能登陆。帐号没有添加。");
const QString kNewOperatorNotRepeated = QStringLiteral("两次输入的密码不一致，帐号没有添加。");
const QString kStoredAfterLoss = QStringLiteral("密码已修改，新密码从现在起有效。");

namespace {

CPasswordOutcome Refused(const QString& why) {
    return {false, why};
}

// Every change of a password is logged with the operator's row, so the row stays held against
// its log; a password kept in plain text is stored as its hash by the system at a login.
CLogEntry ChangeEntry(const QString& actor, const QString& name) {
    const CLoggedRow row{CLoggedRow::Change::Changed, QStringLiteral("操作员"), {name}, {}};
    if (actor.isEmpty())
        return {name,
                QStringLiteral("保存密码散列"),
                QStringLiteral("操作员"),
                QStringLiteral("%1 的密码由明文改存为散列").arg(name),
                entrynumber::Next(),
                row};
    const bool own = actor == name;
    return {actor,
            own ? QStringLiteral("修改密码") : QStringLiteral("设置密码"),
            QStringLiteral("操作员"),
            own ? QStringLiteral("%1 修改了自己的密码").arg(name)
                : QStringLiteral("%1 设置了 %2 的密码").arg(actor, name),
            entrynumber::Next(),
            row};
}

// After a commit whose reply was lost: the change stands exactly when its log row does.
CPasswordOutcome LookedUp(CDatabase* db, const CLogEntry& entry, const CDBException& e,
                          const QString& notDone = QStringLiteral("密码没有修改。")) {
    const std::optional<bool> inBooks =
        entrylookup::InBooks(db, QStringLiteral("日志"), entry.entryNumber);
    const QString said = entrylookup::Reported(inBooks, e.ErrorText(), QStringLiteral("确定"));
    if (!inBooks)
        return {false, said};
    return *inBooks ? CPasswordOutcome{true, said + QLatin1Char('\n') + kStoredAfterLoss}
                    : CPasswordOutcome{false, said + QLatin1Char('\n') + notDone};
}

// `write` and its log row `entry` in one transaction; a refusal `write` returns undoes it. A
// commit whose reply is lost is looked up by the entry's number, `notDone` ending what is told
// when nothing was written; a failure is the driver's words followed by `failedEnd`.
CPasswordOutcome WriteLogged(CDatabase* db, const CLogEntry& entry,
                             const std::function<QString()>& write, const QString& notDone,
                             const QString& failedEnd) {
    std::optional<CDBException> commitLost;
    try {
        CTransaction transaction(*db);
        if (const QString refused = write(); !refused.isEmpty())
            return Refused(refused);
        auditlog::Append(*db, entry, QDateTime::currentDateTime());
        // Committed is committed: the guard retries turning auto-commit back on.
        commitLost = entrylookup::CommitUnlessLost(transaction);
    } catch (const CDBException& e) {
        return Refused(e.ErrorText().trimmed() + failedEnd);
    }
    // Looked up once the transaction is gone, on a new connection.
    if (commitLost)
        return LookedUp(db, entry, *commitLost, notDone);
    return {true, {}};
}

} // namespace

CPasswordOutcome Store(CDatabase* db, const QString& name, const QString& password,
                       const QString& actor) {
    if (!db || !db->IsOpen())
        return Refused(QStringLiteral("数据库没有打开"));
    const std::optional<QString> hash = passwordhash::Hash(password);
    if (!hash)
        return Refused(QStringLiteral("无法计算密码的散列值"));
    return WriteLogged(
        db, ChangeEntry(actor, name),
        [&] {
            return db->ExecuteSQL(QStringLiteral("UPDATE 操作员 SET 密码=? WHERE 用户名=?"),
                                  {*hash, name}) == 0
                       ? QStringLiteral("操作员 %1 不存在").arg(name)
                       : QString();
        },
        QStringLiteral("密码没有修改。"), QString());
}

CPasswordOutcome Add(CDatabase* db, const QString& actor, const QString& name, const QString& role,
                     const QString& password, const QString& repeated) {
    if (!db || !db->IsOpen())
        return Refused(QStringLiteral("数据库没有打开"));
    QStringList row{name.trimmed(), role};
    if (const QString refused = operatorrows::Check(db, {}, row, true); !refused.isEmpty())
        return Refused(refused);
    if (password.isEmpty())
        return Refused(kEmptyNewOperatorPassword);
    if (password != repeated)
        return Refused(kNewOperatorNotRepeated);
    const std::optional<QString> hash = passwordhash::Hash(password);
    if (!hash)
        return Refused(QStringLiteral("无法计算密码的散列值"));
    const QString& added = row[operatorrows::NameColumn];
    const QString& addedRole = row[operatorrows::RoleColumn];
    // Worded as the grid words an added row; never the password.
    const CLogEntry entry{actor,
                          QStringLiteral("添加"),
                          QStringLiteral("操作员"),
                          QStringLiteral("用户名：%1；角色：%2").arg(added, addedRole),
                          entrynumber::Next(),
                          {CLoggedRow::Change::Added, QStringLiteral("操作员"), {added}, {}}};
    return WriteLogged(
        db, entry,
        [&] {
            db->ExecuteSQL(CStatement{
                QStringLiteral("INSERT INTO 操作员 (用户名, 密码, 角色) VALUES (?, ?, ?)"),
                {added, *hash, addedRole}});
            return QString();
        },
        QStringLiteral("帐号没有添加。"), QStringLiteral("\n帐号没有添加。"));
}

CPasswordOutcome Set(CDatabase* db, const QString& actor, const QString& name,
                     const QString& password, const QString& repeated) {
    if (password.isEmpty())
        return Refused(kEmptyPassword);
    if (password != repeated)
        return Refused(kNotRepeated);
    return Store(db, name, password, actor);
}

CPasswordOutcome Change(CDatabase* db, const QString& name, const QString& oldPassword,
                        const QString& newPassword, const QString& repeated) {
    QString failure;
    const std::optional<CResultTable> rows = RunStatement(
        db, QStringLiteral("操作员"),
        CStatement{QStringLiteral("SELECT 密码 FROM 操作员 WHERE 用户名=?"), {name}}, &failure);
    if (!rows)
        return Refused(failure.isEmpty() ? QStringLiteral("数据库没有打开") : failure.trimmed());
    if (rows->RowCount() == 0 ||
        passwordhash::Verify(rows->CellText(0, 0), oldPassword) == passwordhash::Match::No)
        return Refused(kWrongOldPassword);
    if (newPassword.isEmpty())
        return Refused(kEmptyPassword);
    if (newPassword != repeated)
        return Refused(kNotRepeated);
    return Store(db, name, newPassword, name);
}

} // namespace operatorpasswords
