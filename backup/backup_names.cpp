#include "backup_names.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace backupnames {

QString FileName(const QDateTime& when, const QString& suffix) {
    return QStringLiteral("apricot-%1.%2")
        .arg(when.toString(QStringLiteral("yyyyMMdd-HHmmss")), suffix);
}

bool IsOwnBackup(const QString& fileName) {
    static const QRegularExpression own(QStringLiteral("^apricot-[0-9]{8}-[0-9]{6}\\.db$"));
    return own.match(fileName).hasMatch();
}

bool HasBackupOf(const QString& folder, const QDate& day) {
    const QString stamp =
        QStringLiteral("apricot-%1-*.db").arg(day.toString(QStringLiteral("yyyyMMdd")));
    const QStringList named = QDir(folder).entryList({stamp}, QDir::Files);
    return std::any_of(named.cbegin(), named.cend(), IsOwnBackup);
}

QString DefaultFolder(const QString& booksPath) {
    return QFileInfo(booksPath).absoluteDir().filePath(QStringLiteral("backups"));
}

} // namespace backupnames
