#include "backup_log.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "audit_log.h"

#include <QDateTime>

void RecordBackup(CDatabase& db, const QString& operatorName, CBackupOutcome& outcome) {
    if (!outcome.ok)
        return;
    try {
        auditlog::Append(
            db, {operatorName, QStringLiteral("备份"), QStringLiteral("账套"), outcome.message},
            QDateTime::currentDateTime());
    } catch (const CDBException& e) {
        outcome.message += QStringLiteral("（日志未能写入：%1）").arg(e.ErrorText().trimmed());
    }
}
