#include "CBooksSetup.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CDemoBooks.h"
#include "audit_log.h"
#include "entry_number.h"
#include "opening_stock.h"
#include "schema.h"
#include "sqlite_journal.h"
#include "text_forms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString kDatabaseFile = QStringLiteral("apricot.db");
const QString kConnectFile = QStringLiteral("connect.txt");

// Removes the database file (and the files SQLite keeps beside it) that this run made.
void RemoveCreatedFile(const QString& path) {
    QFile::remove(path);
    for (const QString& suffix : sqlitejournal::CompanionSuffixes())
        QFile::remove(path + suffix);
}

} // namespace

CBooksSetup::Outcome CBooksSetup::Fail(const QString& message) {
    m_message = message;
    return Outcome::Failed;
}

CBooksSetup::Outcome CBooksSetup::Populate(CDatabase& db, const QString& where) {
    bool exists = false;
    try {
        exists = schema::AnyTableExists(db);
    } catch (const CDBException& e) {
        return Fail(QStringLiteral("无法查看%1中已有的表：%2")
                        .arg(where, textforms::OneLine(e.ErrorText())));
    }
    if (exists) {
        m_message = QStringLiteral("%1中已有账套（操作员、进、存、销 中至少有一张表已存在），"
                                   "没有做任何改动")
                        .arg(where);
        return Outcome::BooksExist;
    }

    CDemoBooks::Summary summary;
    try {
        db.SetAutoCommit(false);
        schema::Create(db);
        if (m_withDemo)
            summary = CDemoBooks(db, QDateTime::currentDateTime()).Write();
        // From here on every card is held against its movements, every row against its log.
        auditlog::Append(db, openingstock::Entry(db, QStringLiteral("系统"), entrynumber::Next()),
                         QDateTime::currentDateTime());
        db.CommitTrans();
        db.SetAutoCommit(true);
    } catch (const CDBException& e) {
        try {
            db.Rollback();
        } catch (const CDBException&) {
            // The first error is the one to report.
        }
        return Fail(
            QStringLiteral("在%1中建立账套失败：%2").arg(where, textforms::OneLine(e.ErrorText())));
    }
    m_message = QStringLiteral("已在%1中建立新的账套（操作员：管理员，初始密码 737）").arg(where);
    if (m_withDemo)
        m_message +=
            QStringLiteral("；演示数据：进货 %1 笔，库存卡 %2 张，销售 %3 笔（今天 %4 笔）")
                .arg(summary.purchases)
                .arg(summary.cards)
                .arg(summary.sales)
                .arg(summary.salesToday);
    return Outcome::Created;
}

CBooksSetup::Outcome CBooksSetup::CreateInFolder(const QString& folderArgument) {
    const QString extension = schema::FindSqliteExtension();
    if (extension.isEmpty())
        return Fail(QStringLiteral("找不到 SQLite 日期时间扩展 apricot_sqlite.so（应在本程序所在的"
                                   "文件夹或其旁边的 ../lib/apricot/ 中）"));

    const QString folder = QDir::cleanPath(QFileInfo(folderArgument).absoluteFilePath());
    const QFileInfo folderInfo(folder);
    if (folderInfo.exists() && !folderInfo.isDir())
        return Fail(QStringLiteral("%1 已存在，但不是文件夹").arg(folder));
    const QDir dir(folder);
    const QString databasePath = dir.filePath(kDatabaseFile);
    const QString connectPath = dir.filePath(kConnectFile);
    const QString problem = schema::SqliteConnectPathProblem(databasePath, extension);
    if (!problem.isEmpty())
        return Fail(problem);
    const QString connect = schema::SqliteConnectString(databasePath, extension);

    // Check everything before the first change.
    const QFileInfo databaseInfo(databasePath);
    const bool databaseExisted = databaseInfo.exists();
    if (databaseExisted && !databaseInfo.isFile())
        return Fail(QStringLiteral("%1 已存在，但不是文件").arg(databasePath));
    bool connectFileMatches = false;
    if (QFileInfo::exists(connectPath)) {
        QFile existing(connectPath);
        if (!existing.open(QIODevice::ReadOnly))
            return Fail(QStringLiteral("%1 已存在，但无法读取：%2")
                            .arg(connectPath, existing.errorString()));
        connectFileMatches = existing.readAll() == connect.toUtf8();
        if (!connectFileMatches) {
            m_message =
                QStringLiteral("%1 已存在，内容指向别的数据库；为了不覆盖它，没有做任何改动")
                    .arg(connectPath);
            return Outcome::BooksExist;
        }
    }
    if (!folderInfo.exists() && !QDir().mkpath(folder))
        return Fail(QStringLiteral("无法建立文件夹 %1").arg(folder));

    const QString where = QStringLiteral(" %1 ").arg(databasePath);
    Outcome outcome = Outcome::Failed;
    {
        CDatabase db;
        try {
            if (!db.OpenEx(connect))
                return Fail(QStringLiteral("无法打开%1：驱动程序没有说明原因").arg(where));
        } catch (const CDBException& e) {
            if (!databaseExisted)
                RemoveCreatedFile(databasePath);
            return Fail(
                QStringLiteral("无法打开%1：%2").arg(where, textforms::OneLine(e.ErrorText())));
        }
        outcome = Populate(db, where);
        // A program reading a large result must never lock a counter out.
        if (outcome == Outcome::Created)
            if (const QString why = sqlitejournal::UseWal(db); !why.isEmpty())
                m_message += QStringLiteral("；未能改用 WAL 日志方式（%1），程序启动时会再试")
                                 .arg(textforms::OneLine(why));
    }
    if (outcome != Outcome::Created) {
        if (!databaseExisted)
            RemoveCreatedFile(databasePath);
        return outcome;
    }

    if (!connectFileMatches) {
        QSaveFile file(connectPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(connect.toUtf8()) < 0 ||
            !file.commit()) {
            const QString reason = file.errorString();
            if (!databaseExisted)
                RemoveCreatedFile(databasePath);
            return Fail(QStringLiteral("无法写入 %1：%2").arg(connectPath, reason));
        }
    }
    m_message += QStringLiteral("；连接串已写入 %1").arg(connectPath);
    return Outcome::Created;
}

CBooksSetup::Outcome CBooksSetup::CreateOnConnection(const QString& connect) {
    CDatabase db;
    try {
        if (!db.OpenEx(connect))
            return Fail(QStringLiteral("无法连接数据库：驱动程序管理器没有说明原因"));
    } catch (const CDBException& e) {
        return Fail(QStringLiteral("无法连接数据库：%1").arg(textforms::OneLine(e.ErrorText())));
    }
    const Outcome outcome = Populate(db, QStringLiteral("数据库"));
    if (outcome == Outcome::Created)
        m_message += QStringLiteral("；把这个连接串写入程序工作文件夹中的 connect.txt 即可使用");
    return outcome;
}
