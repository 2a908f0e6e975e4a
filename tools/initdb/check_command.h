#pragma once
// apricot-initdb --check: the same check as 校验日志, of the books a folder or a connection
// string names, compared with the newest backup in backups/ beside SQLite books.
#include "books_check.h"

#include <QString>

namespace checkcommand {

CBooksCheck CheckFolder(const QString& folder);
CBooksCheck CheckConnection(const QString& connect);

} // namespace checkcommand
