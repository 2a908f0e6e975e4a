#include "check_command.h"

#include "CDatabase.h"
#include "backup_names.h"
#include "books_connect.h"
#include "connect_file.h"

namespace checkcommand {

namespace {

CBooksCheck Fail(const QString& message) {
    CBooksCheck check;
    check.message = message;
    return check;
}

} // namespace

CBooksCheck CheckConnection(const QString& connect,
                            const std::optional<auditlog::CChainHead>& printed) {
    CDatabase db;
    if (const QString why = booksconnect::Open(db, connect); !why.isEmpty())
        return Fail(why);
    const QString books = SqliteBooksPath(connect);
    const QString backup = books.isEmpty() ? QString()
                                           : auditlog::NewestFile(backupnames::DefaultFolder(books),
                                                                  backupnames::IsOwnBackup);
    return auditlog::CheckBooks(db, backup, printed);
}

CBooksCheck CheckFolder(const QString& folder, const std::optional<auditlog::CChainHead>& printed) {
    QString failure;
    const std::optional<QString> connect = booksconnect::OfFolder(folder, &failure);
    if (!connect)
        return Fail(failure);
    return booksconnect::InFolder(folder, [&] { return CheckConnection(*connect, printed); });
}

} // namespace checkcommand
