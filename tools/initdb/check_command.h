#pragma once
// apricot-initdb --check: the same check as 校验日志, of the books a folder or a connection
// string names, compared with the newest backup in backups/ beside SQLite books and, with
// --head, with the log's head printed on a report.
#include "books_check.h"

#include <QString>
#include <optional>

namespace checkcommand {

CBooksCheck CheckFolder(const QString& folder,
                        const std::optional<auditlog::CChainHead>& printed = std::nullopt);
CBooksCheck CheckConnection(const QString& connect,
                            const std::optional<auditlog::CChainHead>& printed = std::nullopt);

} // namespace checkcommand
