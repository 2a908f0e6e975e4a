#include "books_version.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CRecordset.h"

namespace booksversion {

namespace {

const QString kTable = QStringLiteral("账套版本");

bool VersionTableExists(CDatabase& db) {
    QString sql;
    switch (db.GetDialect()) {
    case CDatabase::Dialect::SQLite:
        sql = QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = "
                             "'%1'")
                  .arg(kTable);
        break;
    case CDatabase::Dialect::PostgreSQL:
        sql = QStringLiteral("SELECT COUNT(*) FROM pg_catalog.pg_class c WHERE c.relname = '%1' "
                             "AND pg_catalog.pg_table_is_visible(c.oid)")
                  .arg(kTable);
        break;
    case CDatabase::Dialect::Unknown:
        try {
            CRecordset probe(&db);
            probe.Open(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE 1<0").arg(kTable));
            return true;
        } catch (const CDBException&) {
            return false;
        }
    }
    CRecordset count(&db);
    count.Open(sql);
    if (!count.Fetch())
        throw CDBException(QStringLiteral("查询账套版本时目录没有返回结果。\n"));
    return count.GetFieldValue(0).value_or(QString()).toLongLong() > 0;
}

} // namespace

int Read(CDatabase& db) {
    if (!VersionTableExists(db))
        return 1;
    CRecordset version(&db);
    version.Open(QStringLiteral("SELECT MAX(版本) FROM %1").arg(kTable));
    bool ok = false;
    const int value = version.Fetch() ? version.GetFieldValue(0).value_or(QString()).toInt(&ok) : 0;
    if (!ok || value < 1)
        throw CDBException(QStringLiteral("账套版本表中没有有效的版本号。\n"));
    return value;
}

Standing Compare(int version) {
    if (version < kNewest)
        return Standing::Older;
    return version == kNewest ? Standing::Current : Standing::Newer;
}

} // namespace booksversion
