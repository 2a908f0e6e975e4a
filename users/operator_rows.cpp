#include "operator_rows.h"

#include "operator_role.h"
#include "pharmacists.h"
#include "result_loader.h"

namespace operatorrows {

const QString kEmptyName = QStringLiteral("用户名不能为空，帐号没有保存。");

namespace {

// The 店长 other than `except`, or all of them.
std::optional<int> CountManagers(CDatabase* db, const std::optional<QString>& except,
                                 QString* failure) {
    CStatement select{QStringLiteral("SELECT COUNT(*) FROM 操作员 WHERE 角色=?"),
                      {operatorrole::kManager}};
    if (except) {
        select.sql += QStringLiteral(" AND 用户名<>?");
        select.values.emplace_back(*except);
    }
    const std::optional<CResultTable> rows =
        RunStatement(db, QStringLiteral("操作员"), select, failure);
    if (!rows || rows->RowCount() != 1 || rows->ColumnCount() < 1) {
        if (failure && failure->isEmpty())
            *failure = QStringLiteral("没有连接到数据库。");
        return std::nullopt;
    }
    bool ok = false;
    const int count = rows->CellText(0, 0).toInt(&ok);
    return ok ? std::optional<int>(count) : std::nullopt;
}

} // namespace

std::optional<int> CountOtherManagers(CDatabase* db, const QString& name, QString* failure) {
    return CountManagers(db, name, failure);
}

QString ManagerStillThere(CDatabase* db, const QStringList& oldValues) {
    QString failure;
    const std::optional<int> managers = CountManagers(db, std::nullopt, &failure);
    if (!managers)
        return failure.trimmed() + QStringLiteral("帐号没有保存。");
    return *managers == 0 ? LastManagerText(oldValues.value(NameColumn)) : QString();
}

QString Check(CDatabase* db, const QStringList& oldValues, QStringList& newValues, bool isNew) {
    if (newValues.size() <= RoleColumn)
        return {};
    if (newValues[NameColumn].trimmed().isEmpty())
        return kEmptyName;
    // The flag names the operator: a rename would leave it behind.
    if (!isNew && newValues[NameColumn] != oldValues.value(NameColumn)) {
        QString failure;
        const std::optional<bool> flagged =
            pharmacists::IsPharmacist(db, oldValues.value(NameColumn), &failure);
        if (!flagged)
            return failure.trimmed() + QStringLiteral("帐号没有保存。");
        if (*flagged)
            return pharmacists::RenameRefusal(oldValues.value(NameColumn));
    }
    QString& role = newValues[RoleColumn];
    role = role.trimmed();
    if (role.isEmpty())
        role = operatorrole::kClerk; // the column's default
    if (role != operatorrole::kManager && role != operatorrole::kClerk)
        return UnknownRoleText(role);
    if (isNew || role == operatorrole::kManager ||
        oldValues.value(RoleColumn) != operatorrole::kManager)
        return {};
    // The grid may be old: another counter may have changed the roles since it was loaded.
    QString failure;
    const std::optional<int> others = CountOtherManagers(db, oldValues.value(NameColumn), &failure);
    if (!others)
        return failure.trimmed() + QStringLiteral("帐号没有保存。");
    return *others == 0 ? LastManagerText(oldValues.value(NameColumn)) : QString();
}

QString UnknownRoleText(const QString& role) {
    return QStringLiteral("角色“%1”不存在：角色只能是“店长”或“营业员”（不填即为营业员）。帐号没有"
                          "保存。")
        .arg(role);
}

QString LastManagerText(const QString& name) {
    return QStringLiteral("“%1”是系统中最后一个店长，不能删除，也不能改为营业员：没有店长就再也"
                          "没有人能够管理帐号和设置了。请先让另一个帐号成为店长。")
        .arg(name);
}

} // namespace operatorrows
