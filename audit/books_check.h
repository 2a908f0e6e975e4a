#pragma once
// 校验日志 and apricot-initdb --check: SQLite's own integrity check where it applies, the log's
// chain, the log rows of the newest backup against the books, and a head printed on a report.
#include "log_head.h"

#include <QString>
#include <functional>
#include <optional>

class CDatabase;

struct CBooksCheck {
    enum class Verdict {
        Whole,  // everything checked holds
        Broken, // a row changed, removed or inserted, or the file damaged
        Failed, // the check itself could not run
    };
    Verdict verdict = Verdict::Failed;
    long long rows = 0;       // the log's rows
    long long firstBreak = 0; // the 序号 named; 0 when none
    // "日志完整：n 条", or what is wrong and where.
    QString message;
};

namespace auditlog {

// Checks the books open on `db`; `backup` is the newest backup's file (a SQLite set of books),
// or empty when there is none to compare with. Where the chain and the backup disagree at
// different rows, the lower 序号 is named. `printed`: a head read off a report, which the chain up
// to its row must still end in.
CBooksCheck CheckBooks(CDatabase& db, const QString& backup,
                       const std::optional<CChainHead>& printed = std::nullopt);

// The newest file in `folder` whose name `accepts`, by when it was written; empty when none.
QString NewestFile(const QString& folder, const std::function<bool(const QString&)>& accepts);

} // namespace auditlog
