#include "connect_file.h"

#include "connect_string.h"
#include "schema.h"

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
