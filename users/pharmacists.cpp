#include "pharmacists.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "audit_log.h"
#include "entry_lookup.h"
#include "entry_number.h"
#include "result_loader.h"
#include "sort_keys.h"

#include <algorithm>

namespace pharmacists {

namespace {

const QString kTable = QStringLiteral("执业药师");

CLogEntry Entry(const QString& actor, const QString& name, bool pharmacist, const QString& number) {
    if (pharmacist)
        return {actor,  QStringLiteral("设为执业药师"),
                name,   QStringLiteral("%1 把 %2 设为执业药师").arg(actor, name),
                number, {CLoggedRow::Change::Added, kTable, {name}, {}}};
    return {
        actor,  QStringLiteral("取消执业药师"),
        name,   QStringLiteral("%1 取消了 %2 的执业药师").arg(actor, name),
        number, {CLoggedRow::Change::Removed, kTable, {name}, {{QStringLiteral("用户名"), name}}}};
}

} // namespace

std::optional<QStringList> List(CDatabase* db, QString* failure) {
    // A flag left by a row written by hand names nobody who could log in.
    const std::optional<CResultTable> rows = RunStatement(
        db, kTable,
        QStringLiteral("SELECT 用户名 FROM 执业药师 WHERE 用户名 IN (SELECT 用户名 FROM 操作员)"),
        failure);
    if (!rows)
        return std::nullopt;
    QStringList names;
    for (int r = 0; r < rows->RowCount(); ++r)
        names << rows->CellText(r, 0);
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return sortkeys::TextKey(a) < sortkeys::TextKey(b);
    });
    return names;
}

std::optional<bool> IsPharmacist(CDatabase* db, const QString& name, QString* failure) {
    const std::optional<CResultTable> rows = RunStatement(
        db, kTable,
        CStatement{QStringLiteral("SELECT COUNT(*) FROM 执业药师 WHERE 用户名=?"), {name}},
        failure);
    if (!rows || rows->RowCount() != 1)
        return std::nullopt;
    return rows->CellText(0, 0).toInt() > 0;
}

QString Set(CDatabase* db, const QString& name, bool pharmacist, const QString& operatorName,
            const QDateTime& now) {
    if (!db || !db->IsOpen())
        return QStringLiteral("没有连接到数据库，执业药师没有设置。");
    const CLogEntry entry = Entry(operatorName, name, pharmacist, entrynumber::Next());
    std::optional<CDBException> commitLost;
    try {
        CTransaction transaction(*db);
        // Only an operator in the books is flagged; a flag already there is left as it is.
        const long long changed =
            pharmacist
                ? transaction.Execute(CStatement{
                      QStringLiteral("INSERT INTO 执业药师 (用户名) SELECT 用户名 FROM 操作员 "
                                     "WHERE 用户名=? ON CONFLICT DO NOTHING"),
                      {name}})
                : transaction.Execute(
                      CStatement{QStringLiteral("DELETE FROM 执业药师 WHERE 用户名=?"), {name}});
        if (changed == 0) {
            if (!pharmacist)
                return {};
            const std::optional<bool> flagged = IsPharmacist(db, name);
            return flagged && *flagged
                       ? QString()
                       : QStringLiteral("操作员“%1”不在账上，执业药师没有设置。").arg(name);
        }
        auditlog::Append(*db, entry, now);
        commitLost = entrylookup::CommitUnlessLost(transaction);
    } catch (const CDBException& e) {
        return e.ErrorText().trimmed() + QStringLiteral("\n执业药师没有设置。");
    }
    if (!commitLost)
        return {};
    // The change stands exactly when its log row does.
    return entrylookup::LoggedAfterLoss(db, entry.entryNumber, *commitLost, QStringLiteral("勾选"));
}

void DropWithOperator(CDatabase& db, const QString& name, const QString& operatorName,
                      const QDateTime& now) {
    const long long dropped = db.ExecuteSQL(
        CStatement{QStringLiteral("DELETE FROM 执业药师 WHERE 用户名=? AND NOT EXISTS "
                                  "(SELECT 1 FROM 操作员 WHERE 用户名=?)"),
                   {name, name}});
    if (dropped == 0)
        return;
    CLogEntry entry = Entry(operatorName, name, false, entrynumber::Next());
    entry.content = QStringLiteral("帐号 %1 已删除，不再是执业药师").arg(name);
    auditlog::Append(db, entry, now);
}

QString RenameRefusal(const QString& name) {
    return QStringLiteral("“%1”是执业药师，不能改用户名：请先取消“执业药师”，改名以后再勾选。"
                          "帐号没有保存。")
        .arg(name);
}

} // namespace pharmacists
