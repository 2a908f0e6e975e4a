#pragma once
// apricot-initdb --upgrade: older books brought to the newest version by hand, with the same
// backup and log row as at the program's start.
#include "upgrade_books.h"

#include <QDateTime>
#include <QString>

namespace upgradecommand {

// The books that FOLDER/connect.txt names (SQLite or a server), or FOLDER/apricot.db when there
// is no connect.txt; a relative path in connect.txt means what it means to the program started
// in that folder. A missing books file is never created.
CUpgradeReport UpgradeFolder(const QString& folder, const QDateTime& now);
// The books that the connection string reaches.
CUpgradeReport UpgradeConnection(const QString& connect, const QDateTime& now);

} // namespace upgradecommand
