#pragma once
// A backup made beside the program: on a thread of its own, with a connection of its own to the
// same books (a connection is never shared between threads), so that the counter keeps working
// while hundreds of megabytes are copied and checked. SQLite's WAL lets the copy read while the
// counter writes.
#include "backup_outcome.h"

#include <QDateTime>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

class CBackupStop;
class CDatabase;
class QObject;

class CBackgroundBackup {
public:
    // The backup itself, run on the backup's own connection; nullopt when there was nothing to
    // do. Whatever it writes to the books (the log row) goes through that connection too.
    using Job = std::function<std::optional<CBackupOutcome>(CDatabase& db, CBackupStop& stop)>;
    // Called on the thread of `context`, once the job has ended, unless it was stopped.
    using Done = std::function<void(const std::optional<CBackupOutcome>&)>;

    // Starts `job` at once on a connection opened from `connect`. A connection that cannot be
    // opened is a failed backup, said through `done`. `context` outlives this object.
    CBackgroundBackup(const QString& connect, Job job, QObject* context, Done done);
    // Stops the backup (the copy is interrupted and leaves no file) and waits for its thread,
    // which takes a moment, not the rest of the copy.
    ~CBackgroundBackup();
    CBackgroundBackup(const CBackgroundBackup&) = delete;
    CBackgroundBackup& operator=(const CBackgroundBackup&) = delete;

    bool Finished() const { return m_finished.load(); }

private:
    void Run(const QString& connect, const Job& job);

    std::unique_ptr<CBackupStop> m_stop;
    QObject* m_context;
    Done m_done;
    std::atomic<bool> m_finished{false};
    std::thread m_thread; // last: starts once everything it uses is there
};

// The backup of the day of the books open on `db` (see AutomaticBackup), started beside the
// program; nullptr when none is due. `done` gets the outcome on `context`'s thread.
std::unique_ptr<CBackgroundBackup> StartAutomaticBackup(const CDatabase& db, const QDateTime& now,
                                                        const QString& operatorName,
                                                        QObject* context,
                                                        CBackgroundBackup::Done done);
