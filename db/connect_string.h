#pragma once
// Reading the keyword=value pairs of an ODBC connection string.
#include <QString>
#include <QStringList>

namespace connectstring {

// The value of the first of `keys` (compared without case) that `connect` names, without the
// braces that may quote it; empty when it names none of them.
QString Value(const QString& connect, const QStringList& keys);

// `connect` with `key` set to `value`: every pair naming the key (without case) taken out, the
// new pair put at the end.
QString WithOption(const QString& connect, const QString& key, const QString& value);

} // namespace connectstring
