#pragma once
// Older books brought to the newest version, the same way at the program's start and by
// `apricot-initdb --upgrade`: SQLite books first get a checked backup in their backups/ folder
// (no backup, no upgrade); the upgrade writes its row of the log in its own transaction.
#include <QDateTime>
#include <QString>

class CDatabase;

struct CUpgradeReport {
    bool ok = false;       // the books are at the newest version now
    bool upgraded = false; // and this call made them so
    bool newer = false;    // refused: the books are newer than this program
    // What happened, or why not, in the user's words.
    QString message;
};

// `operatorName` goes into the log row of the upgrade.
CUpgradeReport UpgradeBooks(CDatabase& db, const QDateTime& now, const QString& operatorName);
