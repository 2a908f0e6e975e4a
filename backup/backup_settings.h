#pragma once
// What the program keeps about backups of SQLite books, per computer in the program's settings
// file (group "Backup"): how many of its own backups the automatic one keeps. The settings
// dialog and the backups share it. Whether today's backup ran is read from the books' own
// backup folder, so that every set of books opened here gets one.
#include <QString>
#include <optional>

struct CBackupSettings {
    int keep = 30;

    static CBackupSettings Load();
    void Save() const;

    // "保留备份（份）" as typed: a whole number from 1 up; nullopt, with why, otherwise.
    static std::optional<int> ParseKeep(const QString& text, QString* failure);
};
