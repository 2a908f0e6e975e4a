#include "manager_approval.h"

#include "login_check.h"
#include "result_loader.h"

namespace managerapproval {

bool Approves(CDatabase* db, const QString& name, const QString& password) {
    const std::optional<CResultTable> rows = RunStatement(
        db, QStringLiteral("操作员"),
        CStatement{QStringLiteral("SELECT 用户名,密码,角色 FROM 操作员 WHERE 用户名=?"), {name}});
    if (!rows)
        return false;
    const CLoginCheck check = CLoginCheck::FromResult(*rows);
    return check.Check(name, password) == CLoginCheck::Outcome::Admitted &&
           check.RoleOf(name) == ERole::Manager;
}

} // namespace managerapproval
