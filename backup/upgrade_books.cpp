#include "upgrade_books.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CRecordset.h"
#include "audit_log.h"
#include "backup_names.h"
#include "books_upgrade.h"
#include "books_version.h"
#include "connect_file.h"
#include "drug_pinyin.h"
#include "entry_number.h"
#include "opening_stock.h"
#include "sqlite_backup.h"

#include <QDir>

namespace {

constexpr int kOpeningVersion = 5;
constexpr int kCatalogueVersion = 6;

CUpgradeReport Refuse(const QString& message) {
    return {false, false, false, message};
}

// The log row of the catalogue the upgrade filled from the cards and purchases.
CLogEntry CatalogueEntry(CDatabase& db, const QString& operatorName) {
    CRecordset drugs(&db);
    drugs.Open(QStringLiteral("SELECT COUNT(*) FROM 药品"));
    const QString count =
        drugs.Fetch() ? drugs.GetFieldValue(0).value_or(QStringLiteral("0")) : QStringLiteral("0");
    return {operatorName, QStringLiteral("药品目录"), QStringLiteral("药品"),
            QStringLiteral("由库存卡和进货记录建立药品目录：%1 种").arg(count)};
}

} // namespace

CUpgradeReport UpgradeBooks(CDatabase& db, const QDateTime& now, const QString& operatorName) {
    int version = 0;
    try {
        version = booksversion::Read(db);
    } catch (const CDBException& e) {
        return Refuse(QStringLiteral("无法读取账套的版本：%1").arg(e.ErrorText().trimmed()));
    }

    QString backupNote = QStringLiteral("服务器上的账套没有自动备份");
    const QString books = SqliteBooksPath(db.ConnectString());
    if (booksversion::Compare(version) == booksversion::Standing::Older &&
        db.GetDialect() == CDatabase::Dialect::SQLite && !books.isEmpty()) {
        const QString folder = backupnames::DefaultFolder(books);
        if (!QDir().mkpath(folder))
            return Refuse(QStringLiteral("升级前无法建立备份文件夹 %1，账套没有升级").arg(folder));
        const QString target = QDir(folder).filePath(backupnames::FileName(now));
        const CBackupOutcome backup =
            BackUpSqlite(db, target, SqliteExtensionPath(db.ConnectString()));
        if (!backup.ok)
            return Refuse(QStringLiteral("升级前的%1；账套没有升级").arg(backup.message));
        backupNote = QStringLiteral("备份：%1").arg(target);
    }

    QString done;
    const CUpgradeOutcome outcome = booksupgrade::Upgrade(db, [&](int from, int to) {
        done =
            QStringLiteral("账套由第 %1 版升级到第 %2 版（%3）").arg(from).arg(to).arg(backupNote);
        auditlog::Append(
            db, CLogEntry{operatorName, QStringLiteral("升级"), QStringLiteral("账套"), done}, now);
        // The books are held against their log from the version that brings the row digests.
        if (from < kOpeningVersion)
            auditlog::Append(db, openingstock::Entry(db, operatorName, entrynumber::Next()), now);
        if (from < kCatalogueVersion) {
            drugpinyin::Fill(db);
            auditlog::Append(db, CatalogueEntry(db, operatorName), now);
        }
    });
    switch (outcome.result) {
    case CUpgradeOutcome::Result::Upgraded:
        return {true, true, false, done};
    case CUpgradeOutcome::Result::AlreadyCurrent:
        return {true, false, false,
                QStringLiteral("账套已是第 %1 版，不需要升级").arg(booksversion::kNewest)};
    case CUpgradeOutcome::Result::Refused:
        return {false, false, true, outcome.message};
    case CUpgradeOutcome::Result::Failed:
        break;
    }
    return Refuse(outcome.message);
}
