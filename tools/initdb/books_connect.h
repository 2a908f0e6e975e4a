#pragma once
// Which books a folder names for --upgrade and --check: FOLDER/connect.txt (SQLite or a
// server), or FOLDER/apricot.db when there is no connect.txt.
#include <QString>
#include <optional>

class CDatabase;

namespace booksconnect {

// The connection string; nullopt with why in `failure`.
std::optional<QString> OfFolder(const QString& folder, QString* failure);
// Opens `connect` on `db`; a missing SQLite books file is never created. Empty when open,
// otherwise why not.
QString Open(CDatabase& db, const QString& connect);

// Runs `work` with the folder as the current one: a relative path in connect.txt means what
// it means to the program started there.
template <typename Work> auto InFolder(const QString& folder, Work work);

} // namespace booksconnect

#include <QDir>

template <typename Work> auto booksconnect::InFolder(const QString& folder, Work work) {
    const QString before = QDir::currentPath();
    QDir::setCurrent(QDir(folder).absolutePath());
    auto result = work();
    QDir::setCurrent(before);
    return result;
}
