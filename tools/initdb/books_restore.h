#pragma once
// Puts a backup back in place of the SQLite books of a folder: the backup is checked first, the
// current books are kept under a stamped name, and nothing happens while a program works on
// them.
#include <QDateTime>
#include <QString>

class CBooksRestore {
public:
    enum class Outcome { Restored, Refused, Failed };

    // `extension`: the date-time extension the books are checked with.
    explicit CBooksRestore(QString extension) : m_extension(std::move(extension)) {}

    // FOLDER/apricot.db from `backup`; the old file becomes
    // FOLDER/apricot-before-restore-YYYYMMDD-HHMMSS.db (stamped `now`).
    Outcome Restore(const QString& backup, const QString& folder, const QDateTime& now);

    // What to tell the user.
    const QString& Message() const { return m_message; }

private:
    Outcome Say(Outcome outcome, const QString& message);

    QString m_extension;
    QString m_message;
};
