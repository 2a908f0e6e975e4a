#include "trace_settings.h"

#include "books_rule.h"

namespace tracesettings {

namespace {

const QString kCodesRequired = QStringLiteral("销售须扫追溯码");
const QString kYes = QStringLiteral("是");
const QString kNo = QStringLiteral("否");

} // namespace

bool CodesRequired(CDatabase& db) {
    return booksrule::Read(db, kCodesRequired) == kYes;
}

void SetCodesRequired(CDatabase& db, bool required, const QString& operatorName,
                      const QDateTime& now) {
    booksrule::Set(db, kCodesRequired, required ? kYes : kNo, {QStringLiteral("追溯码设置"), kNo},
                   operatorName, now);
}

} // namespace tracesettings
