#include "background_backup.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "automatic_backup.h"
#include "backup_stop.h"

#include <QDateTime>
#include <QMetaObject>
#include <QObject>
#include <chrono>

CBackgroundBackup::CBackgroundBackup(const QString& connect, Job job, QObject* context, Done done)
    : m_stop(std::make_unique<CBackupStop>()), m_context(context), m_done(std::move(done)),
      m_thread([this, connect, job = std::move(job)] { Run(connect, job); }) {}

CBackgroundBackup::~CBackgroundBackup() {
    // A statement that began just after a Stop escapes it: ask again until the thread is done.
    while (!m_finished.load()) {
        m_stop->Stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_thread.join();
}

void CBackgroundBackup::Run(const QString& connect, const Job& job) {
    std::optional<CBackupOutcome> outcome;
    {
        CDatabase db;
        // The copy may take minutes on a busy machine; it is stopped by hand, not by a clock.
        db.m_queryTimeout = 0;
        try {
            if (!db.OpenEx(connect.toUtf8()))
                outcome = CBackupOutcome{false, QStringLiteral("备份失败：无法连接数据库")};
        } catch (const CDBException& e) {
            outcome = CBackupOutcome{
                false, QStringLiteral("备份失败：无法连接数据库：%1").arg(e.ErrorText().trimmed())};
        }
        if (!outcome) {
            try {
                outcome = job(db, *m_stop);
            } catch (const CDBException& e) {
                outcome =
                    CBackupOutcome{false, QStringLiteral("备份失败：") + e.ErrorText().trimmed()};
            }
        }
    }
    // Posted before the owner's destructor can return, so the context is alive here.
    if (!m_stop->Stopped() && m_done && m_context)
        QMetaObject::invokeMethod(
            m_context, [done = m_done, outcome] { done(outcome); }, Qt::QueuedConnection);
    m_finished = true;
}

std::unique_ptr<CBackgroundBackup> StartAutomaticBackup(const CDatabase& db, const QDateTime& now,
                                                        const QString& operatorName,
                                                        QObject* context,
                                                        CBackgroundBackup::Done done) {
    if (!AutomaticBackupDue(db, now))
        return nullptr;
    return std::make_unique<CBackgroundBackup>(
        db.ConnectString(),
        [now, operatorName](CDatabase& own, CBackupStop& stop) {
            return AutomaticBackup(own, now, operatorName, &stop);
        },
        context, std::move(done));
}
