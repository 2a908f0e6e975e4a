#include "books_version.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CRecordset.h"
#include "schema.h"

namespace booksversion {

namespace {

const QString kTable = QStringLiteral("账套版本");

} // namespace

int Read(CDatabase& db) {
    if (!schema::AnyTableExists(db, {kTable}))
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
