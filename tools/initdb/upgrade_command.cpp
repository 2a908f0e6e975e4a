#include "upgrade_command.h"

#include "CDatabase.h"
#include "books_connect.h"

namespace upgradecommand {

namespace {

const QString kOperator = QStringLiteral("系统");

CUpgradeReport Fail(const QString& message) {
    return {false, false, false, message};
}

} // namespace

CUpgradeReport UpgradeConnection(const QString& connect, const QDateTime& now) {
    CDatabase db;
    if (const QString why = booksconnect::Open(db, connect); !why.isEmpty())
        return Fail(why);
    return UpgradeBooks(db, now, kOperator);
}

CUpgradeReport UpgradeFolder(const QString& folder, const QDateTime& now) {
    QString failure;
    const std::optional<QString> connect = booksconnect::OfFolder(folder, &failure);
    if (!connect)
        return Fail(failure);
    return booksconnect::InFolder(folder, [&] { return UpgradeConnection(*connect, now); });
}

} // namespace upgradecommand
