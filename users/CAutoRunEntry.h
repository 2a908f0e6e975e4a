#pragma once
// Starting the program with the system: an XDG autostart entry
// "青杏药店进销存管理系统.desktop", for every user of the machine in the autostart folder of the
// first directory of $XDG_CONFIG_DIRS (/etc/xdg when unset), or, where an operator may not
// write there, for this user in ${XDG_CONFIG_HOME:-~/.config}/autostart. The entry holds no
// state of its own: each operation looks at the files as they are now.
#include <QString>

class CAutoRunEntry {
public:
    // The running program, in the folders that $XDG_CONFIG_DIRS and $XDG_CONFIG_HOME name at
    // this moment.
    CAutoRunEntry();
    CAutoRunEntry(QString programPath, const QString& xdgConfigDirs, const QString& xdgConfigHome);

    // Writes the system's entry (creating the folder when missing), or the user's where that
    // cannot be written. False, with both reasons in `reason`, when neither could be written; an
    // entry that was there before then stays as it was.
    bool Set(QString* reason = nullptr) const;
    // Deletes both entries as far as it may; no entry at all counts as done. False, with the
    // reason for each entry that stays, when refused.
    bool Remove(QString* reason = nullptr) const;
    // Either entry exists and has a non-empty Exec, whatever program it names.
    bool IsSet() const;

    // The system's entry and the user's.
    const QString& FilePath() const { return m_filePath; }
    const QString& UserFilePath() const { return m_userFilePath; }
    const QString& ProgramPath() const { return m_programPath; }

    // The name of the entry (and of the file, with ".desktop").
    static const QString& EntryName();
    // The autostart folder for a value of $XDG_CONFIG_DIRS: its first absolute directory, or
    // /etc/xdg, followed by /autostart.
    static QString AutostartFolder(const QString& xdgConfigDirs);
    // The user's autostart folder for a value of $XDG_CONFIG_HOME: it, or ~/.config when it is
    // unset or not absolute, followed by /autostart.
    static QString UserAutostartFolder(const QString& xdgConfigHome);

private:
    QString m_programPath;
    QString m_filePath;
    QString m_userFilePath;
};
