#include "books_connect.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "connect_file.h"
#include "schema.h"

#include <QFileInfo>

namespace booksconnect {

std::optional<QString> OfFolder(const QString& folder, QString* failure) {
    const QDir dir(folder);
    if (!dir.exists()) {
        *failure = QStringLiteral("文件夹 %1 不存在").arg(folder);
        return std::nullopt;
    }
    const QString connectPath = dir.absoluteFilePath(QStringLiteral("connect.txt"));
    if (QFileInfo::exists(connectPath)) {
        const std::optional<QByteArray> text = ReadConnectFile(connectPath);
        if (!text) {
            *failure = QStringLiteral("无法读取 %1").arg(connectPath);
            return std::nullopt;
        }
        return QString::fromUtf8(*text);
    }
    const QString extension = schema::FindSqliteExtension();
    if (extension.isEmpty()) {
        *failure = QStringLiteral("找不到 SQLite 日期时间扩展 apricot_sqlite.so");
        return std::nullopt;
    }
    return schema::SqliteConnectString(dir.absoluteFilePath(QStringLiteral("apricot.db")),
                                       extension);
}

QString Open(CDatabase& db, const QString& connect) {
    const QString books = SqliteBooksPath(connect);
    if (!books.isEmpty() && !QFileInfo(books).isFile())
        return QStringLiteral("找不到账套文件 %1，没有做任何改动").arg(books);
    try {
        if (!db.OpenEx(connect))
            return QStringLiteral("无法连接数据库：驱动程序管理器没有说明原因");
    } catch (const CDBException& e) {
        return QStringLiteral("无法连接数据库：%1").arg(e.ErrorText().trimmed());
    }
    return {};
}

} // namespace booksconnect
