#pragma once
// Creating a new set of books at the newest version.
#include "CDatabase.h"
#include <QString>
#include <QStringList>

namespace schema {

// The four tables, in the order in which they are created.
QStringList TableNames();

// Every table of the newest books: the four, then those later versions added.
QStringList AllTableNames();

// True when any of 操作员, 进, 存, 销 exists on the connection.
bool AnyTableExists(CDatabase& db);
// True when any of `tables` exists on the connection. Throws CDBException.
bool AnyTableExists(CDatabase& db, const QStringList& tables);
// Creates the books at the newest version: the four tables, their keys and indexes, the log,
// the version, and the first operator 管理员 / 737 (店长), in the dialect of the connection.
// Throws CDBException. Never drops anything.
void Create(CDatabase& db);
// The statements that Create runs for a dialect, one per entry; empty for an unknown one.
QStringList CreateStatements(CDatabase::Dialect dialect);
// The statements that bring books of version `toVersion - 1` to `toVersion`; empty when there
// is no such step for the dialect.
QStringList UpgradeStatements(CDatabase::Dialect dialect, int toVersion);
// A script split into its statements ("--" comments dropped, a trigger kept whole).
QStringList SplitStatements(const QString& script);

// The SQLite date-time extension: beside the running executable, else in the installed
// library folder. Empty when not found.
QString FindSqliteExtension();
// Driver=SQLite3;Database=<db>;LoadExt=<ext>;Timeout=5000 with absolute paths.
QString SqliteConnectString(const QString& databasePath, const QString& extensionPath);
// Why a path cannot stand in that string (the driver splits its attributes at ';' and its
// extension list at ','), or empty when it can.
QString SqliteConnectPathProblem(const QString& databasePath, const QString& extensionPath);

} // namespace schema
