#pragma once
// connect.txt and the SQLite books a connection string names: the program's start-up, its
// backups and the restore must all mean the same file before any of them opens it.
#include "connect_string.h"

#include <QString>

// The SQLite books file of the connection string `connect`, and the date-time extension it
// loads (or the one beside the program); empty when the books are not in a SQLite file.
QString SqliteBooksPath(const QString& connect);
QString SqliteExtensionPath(const QString& connect);
