#pragma once
// Reading an ODBC connection string: from connect.txt, and its keyword=value pairs.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// The connection string in the file at `path` as the driver gets it: the whole file, one line
// break at its very end dropped (editors add one). nullopt when it cannot be read.
std::optional<QByteArray> ReadConnectFile(const QString& path);

namespace connectstring {

// The value of the first of `keys` (compared without case) that `connect` names, without the
// braces that may quote it; empty when it names none of them.
QString Value(const QString& connect, const QStringList& keys);

// `connect` with `key` set to `value`: every pair naming the key (without case) taken out, the
// new pair put at the end.
QString WithOption(const QString& connect, const QString& key, const QString& value);

} // namespace connectstring
