#include "upgrade_command.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "connect_file.h"
#include "schema.h"

#include <QDir>
#include <QFileInfo>

namespace upgradecommand {

namespace {

const QString kOperator = QStringLiteral("系统");

CUpgradeReport Fail(const QString& message) {
    return {false, false, false, message};
}

} // namespace

CUpgradeReport UpgradeConnection(const QString& connect, const QDateTime& now) {
    const QString books = SqliteBooksPath(connect);
    if (!books.isEmpty() && !QFileInfo(books).isFile())
        return Fail(QStringLiteral("找不到账套文件 %1，没有做任何改动").arg(books));
    CDatabase db;
    try {
        if (!db.OpenEx(connect))
            return Fail(QStringLiteral("无法连接数据库：驱动程序管理器没有说明原因"));
    } catch (const CDBException& e) {
        return Fail(QStringLiteral("无法连接数据库：%1").arg(e.ErrorText().trimmed()));
    }
    return UpgradeBooks(db, now, kOperator);
}

CUpgradeReport UpgradeFolder(const QString& folder, const QDateTime& now) {
    const QDir dir(folder);
    if (!dir.exists())
        return Fail(QStringLiteral("文件夹 %1 不存在").arg(folder));
    QString connect;
    const QString connectPath = dir.absoluteFilePath(QStringLiteral("connect.txt"));
    if (QFileInfo::exists(connectPath)) {
        const std::optional<QByteArray> text = ReadConnectFile(connectPath);
        if (!text)
            return Fail(QStringLiteral("无法读取 %1").arg(connectPath));
        connect = QString::fromUtf8(*text);
    } else {
        const QString extension = schema::FindSqliteExtension();
        if (extension.isEmpty())
            return Fail(QStringLiteral("找不到 SQLite 日期时间扩展 apricot_sqlite.so"));
        connect = schema::SqliteConnectString(dir.absoluteFilePath(QStringLiteral("apricot.db")),
                                              extension);
    }
    // connect.txt speaks from its own folder, where the program starts.
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.absolutePath());
    const CUpgradeReport report = UpgradeConnection(connect, now);
    QDir::setCurrent(before);
    return report;
}

} // namespace upgradecommand
