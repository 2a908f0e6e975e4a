#pragma once
// What the program keeps about backups of SQLite books, per computer in the program's settings
// file (group "Backup"): how many of its own backups the automatic one keeps, and the day it
// last ran. The settings dialog and the backups share it.
#include <QDate>
#include <QString>
#include <optional>

struct CBackupSettings {
    int keep = 30;
    QDate lastAutomatic;

    static CBackupSettings Load();
    void Save() const;

    // "保留备份（份）" as typed: a whole number from 1 up; nullopt, with why, otherwise.
    static std::optional<int> ParseKeep(const QString& text, QString* failure);
};
