#include "books_rule.h"

#include "CDatabase.h"
#include "CRecordset.h"
#include "CTransaction.h"
#include "audit_log.h"

namespace booksrule {

namespace {

const QString kTable = QStringLiteral("账套设置");

} // namespace

std::optional<QString> Read(CDatabase& db, const QString& name) {
    CRecordset value(&db);
    value.Open(QStringLiteral("SELECT 值 FROM 账套设置 WHERE 名称=?"), {name});
    if (!value.Fetch())
        return std::nullopt;
    return value.GetFieldValue(0).value_or(QString());
}

void Set(CDatabase& db, const QString& name, const QString& value, const CChange& change,
         const QString& operatorName, const QDateTime& now) {
    CTransaction transaction(db);
    const std::optional<QString> was = Read(db, name);
    const QString old = was.value_or(change.defaultValue);
    if (old == value)
        return;
    CLoggedRow row{CLoggedRow::Change::Changed, kTable, {name}, {}};
    if (!was) {
        transaction.Execute(
            {QStringLiteral("INSERT INTO 账套设置 (名称, 值) VALUES (?, ?)"), {name, value}});
        row.change = CLoggedRow::Change::Added;
    } else {
        transaction.Execute(
            {QStringLiteral("UPDATE 账套设置 SET 值=? WHERE 名称=?"), {value, name}});
    }
    auditlog::Append(db,
                     {operatorName, change.action, kTable,
                      QStringLiteral("%1：%2 → %3").arg(name, old, value), QString(), row},
                     now);
    (void)transaction.Commit();
}

} // namespace booksrule
