#include "sqlite_journal.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CRecordset.h"

namespace sqlitejournal {

namespace {

QString Answer(CDatabase& db, const QString& pragma) {
    CRecordset answer(&db);
    answer.Open(pragma);
    if (!answer.Fetch())
        throw CDBException(pragma + QStringLiteral(" returned no row.\n"));
    return answer.GetFieldValue(0).value_or(QString()).toLower();
}

} // namespace

QString Mode(CDatabase& db) {
    return Answer(db, QStringLiteral("PRAGMA journal_mode"));
}

QString UseWal(CDatabase& db) {
    if (db.GetDialect() != CDatabase::Dialect::SQLite)
        return {};
    const QString wal = QStringLiteral("wal");
    try {
        if (Mode(db) == wal)
            return {};
        // SQLite answers with the mode it is in after the switch: the old one when it could not.
        const QString now = Answer(db, QStringLiteral("PRAGMA journal_mode=WAL"));
        if (now == wal)
            return {};
        return QStringLiteral("账套仍在 %1 日志方式").arg(now);
    } catch (const CDBException& e) {
        return e.ErrorText().trimmed();
    }
}

QStringList CompanionSuffixes() {
    return {QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")};
}

} // namespace sqlitejournal
