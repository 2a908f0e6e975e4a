#pragma once
// Puts a backup back in place of the SQLite books of a folder: the backup is checked first, the
// current books are kept under a stamped name with SQLite's files beside them, and nothing
// happens while a program works on them.
#include <QDateTime>
#include <QString>

class CBooksRestore {
public:
    enum class Outcome { Restored, Refused, Failed };

    // `extension`: the date-time extension the books are checked with.
    explicit CBooksRestore(QString extension) : m_extension(std::move(extension)) {}

    // The books that FOLDER/connect.txt names (Database=; FOLDER/apricot.db when there is no
    // connect.txt) from `backup`. The old file, and its -journal, -wal and -shm, become
    // <name>-before-restore-YYYYMMDD-HHMMSS.db and so on beside it (stamped `now`); the restored
    // books never meet a journal of the old ones.
    Outcome Restore(const QString& backup, const QString& folder, const QDateTime& now);

    // What to tell the user.
    const QString& Message() const { return m_message; }

private:
    Outcome Say(Outcome outcome, const QString& message);
    // The books file the folder's connect.txt names; empty, with the outcome in `failure` and
    // the message said, when it names none that can be restored.
    QString BooksOf(const QString& folder, bool* hasConnectFile, Outcome* failure);
    // Writes the restore's row into the restored books' log; what to add to the message when
    // it could not (empty when written).
    QString RecordRestore(const QString& books, const QString& what, const QDateTime& now) const;

    QString m_extension;
    QString m_message;
};
