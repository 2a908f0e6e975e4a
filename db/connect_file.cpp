#include "connect_file.h"

#include "connect_string.h"
#include "schema.h"

#include <QFile>

std::optional<QByteArray> ReadConnectFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    // Passed on, a line break would name another data source or make the SQLite driver create
    // a new, empty file.
    if (bytes.endsWith("\r\n"))
        bytes.chop(2);
    else if (bytes.endsWith('\n'))
        bytes.chop(1);
    return bytes;
}

QString SqliteBooksPath(const QString& connect) {
    if (!connectstring::Value(connect, {QStringLiteral("Driver")})
             .contains(QLatin1String("sqlite"), Qt::CaseInsensitive))
        return {};
    return connectstring::Value(connect, {QStringLiteral("Database")});
}

QString SqliteExtensionPath(const QString& connect) {
    const QString named = connectstring::Value(connect, {QStringLiteral("LoadExt")});
    return named.isEmpty() ? schema::FindSqliteExtension() : named.section(QLatin1Char(','), 0, 0);
}
