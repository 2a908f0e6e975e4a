#include "trace_settings.h"

#include "CDatabase.h"
#include "CRecordset.h"
#include "CTransaction.h"
#include "audit_log.h"
#include "trace_statements.h"

#include <optional>

namespace tracesettings {

namespace {

const QString kTable = QStringLiteral("账套设置");
const QString kCodesRequired = QStringLiteral("销售须扫追溯码");
const QString kYes = QStringLiteral("是");
const QString kNo = QStringLiteral("否");

std::optional<QString> Stored(CDatabase& db, const QString& name) {
    const CStatement select = tracesql::SelectSetting(name);
    CRecordset value(&db);
    value.Open(select.sql, select.values);
    if (!value.Fetch())
        return std::nullopt;
    return value.GetFieldValue(0).value_or(QString());
}

} // namespace

bool CodesRequired(CDatabase& db) {
    return Stored(db, kCodesRequired) == kYes;
}

void SetCodesRequired(CDatabase& db, bool required, const QString& operatorName,
                      const QDateTime& now) {
    CTransaction transaction(db);
    const std::optional<QString> was = Stored(db, kCodesRequired);
    const bool wasRequired = was == kYes;
    if (wasRequired == required)
        return;
    const QString value = required ? kYes : kNo;
    CLoggedRow row{CLoggedRow::Change::Changed, kTable, {kCodesRequired}, {}};
    if (!was) {
        transaction.Execute(tracesql::InsertSetting(kCodesRequired, value));
        row.change = CLoggedRow::Change::Added;
    } else {
        transaction.Execute(tracesql::UpdateSetting(kCodesRequired, value));
    }
    auditlog::Append(
        db,
        {operatorName, QStringLiteral("追溯码设置"), kTable,
         QStringLiteral("%1：%2 → %3").arg(kCodesRequired, wasRequired ? kYes : kNo, value),
         QString(), row},
        now);
    (void)transaction.Commit();
}

} // namespace tracesettings
