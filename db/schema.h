#pragma once
// Creating the four tables of a new set of books.
#include "CDatabase.h"
#include <QString>
#include <QStringList>

namespace schema {

// The four tables, in the order in which they are created.
QStringList TableNames();

// True when any of 操作员, 进, 存, 销 exists on the connection.
bool AnyTableExists(CDatabase& db);
// Creates the four tables, their keys and indexes, and the first operator 管理员 / 737, in
// the dialect of the connection. Throws CDBException. Never drops anything.
void Create(CDatabase& db);
// The statements that Create runs for a dialect, one per entry; empty for an unknown one.
QStringList CreateStatements(CDatabase::Dialect dialect);

// The SQLite date-time extension: beside the running executable, else in the installed
// library folder. Empty when not found.
QString FindSqliteExtension();
// Driver=SQLite3;Database=<db>;LoadExt=<ext>;Timeout=5000 with absolute paths.
QString SqliteConnectString(const QString& databasePath, const QString& extensionPath);
// Why a path cannot stand in that string (the driver splits its attributes at ';' and its
// extension list at ','), or empty when it can.
QString SqliteConnectPathProblem(const QString& databasePath, const QString& extensionPath);

} // namespace schema
