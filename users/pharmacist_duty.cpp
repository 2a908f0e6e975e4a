#include "pharmacist_duty.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "audit_log.h"
#include "entry_lookup.h"
#include "entry_number.h"
#include "login_check.h"
#include "pharmacists.h"
#include "result_loader.h"

namespace pharmacistduty {

const QString kWrongPassword = QStringLiteral("密码错误！药师没有上岗，请重新输入密码。");
const QString kNoPharmacists =
    QStringLiteral("还没有执业药师：请店长在【系统设置】中勾选操作员的“执业药师”");

namespace {

CLogEntry DutyEntry(const QString& operatorName, const QString& pharmacist, bool on) {
    return {operatorName, on ? QStringLiteral("药师在岗") : QStringLiteral("药师离岗"), pharmacist,
            on ? QStringLiteral("执业药师 %1 在岗").arg(pharmacist)
               : QStringLiteral("执业药师 %1 离岗").arg(pharmacist)};
}

// The login's own check of `name`'s password, against the books now.
QString Admits(CDatabase* db, const QString& name, const QString& password) {
    QString failure;
    const std::optional<CResultTable> rows = RunStatement(
        db, QStringLiteral("操作员"),
        CStatement{QStringLiteral("SELECT 用户名,密码,角色 FROM 操作员 WHERE 用户名=?"), {name}},
        &failure);
    if (!rows)
        return failure.isEmpty() ? QStringLiteral("没有连接到数据库。") : failure.trimmed();
    switch (CLoginCheck::FromResult(*rows).Check(name, password)) {
    case CLoginCheck::Outcome::Admitted:
        return {};
    case CLoginCheck::Outcome::UnknownUser:
        return QStringLiteral("操作员“%1”不在账上了。").arg(name);
    case CLoginCheck::Outcome::NoPassword:
        return CLoginCheck::kNoPasswordStatus;
    case CLoginCheck::Outcome::WrongPassword:
        break;
    }
    return kWrongPassword;
}

} // namespace

QString GoOnDuty(CDatabase* db, const QString& pharmacist, const QString& password,
                 const QString& current, const QString& operatorName, const QDateTime& now) {
    if (!db || !db->IsOpen())
        return QStringLiteral("没有连接到数据库。");
    // Another counter may have cleared the flag since the list was read.
    QString failure;
    const std::optional<bool> flagged = pharmacists::IsPharmacist(db, pharmacist, &failure);
    if (!flagged)
        return failure.isEmpty() ? QStringLiteral("没有连接到数据库。") : failure.trimmed();
    if (!*flagged)
        return QStringLiteral("“%1”不是执业药师。").arg(pharmacist);
    if (QString refused = Admits(db, pharmacist, password); !refused.isEmpty())
        return refused;
    if (pharmacist == current)
        return {};
    // Numbered, so that a commit whose reply is lost is looked up, never guessed.
    CLogEntry onDuty = DutyEntry(operatorName, pharmacist, true);
    onDuty.entryNumber = entrynumber::Next();
    std::optional<CDBException> commitLost;
    try {
        CTransaction transaction(*db);
        if (!current.isEmpty())
            auditlog::Append(*db, DutyEntry(operatorName, current, false), now);
        auditlog::Append(*db, onDuty, now);
        commitLost = entrylookup::CommitUnlessLost(transaction);
    } catch (const CDBException& e) {
        return e.ErrorText().trimmed() + QStringLiteral("\n药师没有上岗。");
    }
    if (!commitLost)
        return {};
    return entrylookup::LoggedAfterLoss(db, onDuty.entryNumber, *commitLost,
                                        QStringLiteral("确定"));
}

QString GoOffDuty(CDatabase* db, const QString& pharmacist, const QString& operatorName,
                  const QDateTime& now) {
    if (!db || !db->IsOpen())
        return QStringLiteral("没有连接到数据库。");
    try {
        auditlog::Append(*db, DutyEntry(operatorName, pharmacist, false), now);
    } catch (const CDBException& e) {
        return e.ErrorText().trimmed();
    }
    return {};
}

} // namespace pharmacistduty
