#include "login_log.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "audit_log.h"

#include <QDateTime>

namespace loginlog {

namespace {

const QString kObject = QStringLiteral("操作员");

QString Write(CDatabase* db, const CLogEntry& entry) {
    if (!db || !db->IsOpen())
        return QStringLiteral("数据库没有打开");
    try {
        auditlog::Append(*db, entry, QDateTime::currentDateTime());
    } catch (const CDBException& e) {
        return e.ErrorText().trimmed();
    }
    return {};
}

} // namespace

QString Attempt(CDatabase* db, const QString& typedName, CLoginCheck::Outcome outcome) {
    switch (outcome) {
    case CLoginCheck::Outcome::Admitted:
        return Write(db, {typedName, QStringLiteral("登录"), kObject,
                          QStringLiteral("%1 登录").arg(typedName)});
    case CLoginCheck::Outcome::UnknownUser:
        return Write(db, {QString(), QStringLiteral("登录失败"), kObject,
                          QStringLiteral("用户名“%1”不存在").arg(typedName)});
    case CLoginCheck::Outcome::NoPassword:
        return Write(db, {QString(), QStringLiteral("登录失败"), kObject,
                          QStringLiteral("用户名“%1”没有设置密码").arg(typedName)});
    case CLoginCheck::Outcome::WrongPassword:
        break;
    }
    return Write(db, {QString(), QStringLiteral("登录失败"), kObject,
                      QStringLiteral("用户名“%1”密码错误").arg(typedName)});
}

QString Logout(CDatabase* db, const QString& name) {
    return Write(db, {name, QStringLiteral("退出"), kObject, QStringLiteral("%1 退出").arg(name)});
}

} // namespace loginlog
