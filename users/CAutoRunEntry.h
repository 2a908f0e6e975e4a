#pragma once
// Starting the program with the system: an XDG autostart entry for every user of the machine,
// "青杏药店进销存管理系统.desktop" in the autostart folder of the first directory of
// $XDG_CONFIG_DIRS (/etc/xdg when unset). The entry holds no state of its own: each operation
// looks at the file as it is now.
#include <QString>

class CAutoRunEntry {
public:
    // The running program, in the folder that $XDG_CONFIG_DIRS names at this moment.
    CAutoRunEntry();
    CAutoRunEntry(QString programPath, const QString& xdgConfigDirs);

    // Writes the entry (creating the folder when missing). False, with the reason in `reason`,
    // when it could not be written; an entry that was there before then stays as it was.
    bool Set(QString* reason = nullptr) const;
    // Deletes the entry; no entry at all counts as done. False, with the reason, when refused.
    bool Remove(QString* reason = nullptr) const;
    // The entry exists and has a non-empty Exec, whatever program it names.
    bool IsSet() const;

    const QString& FilePath() const { return m_filePath; }
    const QString& ProgramPath() const { return m_programPath; }

    // The name of the entry (and of the file, with ".desktop").
    static const QString& EntryName();
    // The autostart folder for a value of $XDG_CONFIG_DIRS: its first absolute directory, or
    // /etc/xdg, followed by /autostart.
    static QString AutostartFolder(const QString& xdgConfigDirs);

private:
    QString m_programPath;
    QString m_filePath;
};
