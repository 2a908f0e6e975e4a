#pragma once
// A rule every counter on the same books shares (账套设置: one row a rule, absent while it keeps
// its default), read from the books and changed only together with its log row.
#include <QDateTime>
#include <QString>
#include <optional>

class CDatabase;

namespace booksrule {

// The rule's stored value; nullopt while it has none. Throws CDBException.
std::optional<QString> Read(CDatabase& db, const QString& name);

// What a change says in the log: 动作, and the value a rule without a row stands at.
struct CChange {
    QString action;
    QString defaultValue;
};
// Sets `name` to `value` with its log row ("<name>：<old> → <new>") in one transaction; nothing is
// written when it already holds it (or, without a row, when `value` is the default). Throws
// CDBException.
void Set(CDatabase& db, const QString& name, const QString& value, const CChange& change,
         const QString& operatorName, const QDateTime& now);

} // namespace booksrule
