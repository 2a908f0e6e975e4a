#pragma once
// Whether the log's chain is whole: each row's 校验 recomputed from the row before it.
#include <QString>
#include <optional>

class CDatabase;

namespace auditlog {

struct CChainCheck {
    long long rows = 0;
    // The 序号 of the first row that breaks the chain (changed, inserted, or following a removed
    // row); 0 when the chain is whole.
    long long firstBreak = 0;
    // What is wrong there, in words; empty when whole.
    QString why;
};

// Reads 日志 in 序号 order. A row removed at the very end, or a chain rewritten from a row on,
// cannot be seen from the books alone: only a backup or a printed 校验 shows those. nullopt
// (and why in `failure`) when the log cannot be read.
std::optional<CChainCheck> CheckChain(CDatabase& db, QString* failure = nullptr);

// Whether every log row of a backup stands unchanged in the books: what the chain alone cannot
// show (a chain rewritten from a row on, rows removed at the end).
struct CBackupComparison {
    long long rows = 0; // the backup's log rows
    // The 序号 of the first row changed, removed or inserted in the books among the backup's
    // numbers; 0 when they all match.
    long long firstDifference = 0;
    QString why;
};

// Reads 日志 of both in 序号 order, whole rows with 校验. nullopt (why in `failure`) when
// either log cannot be read.
std::optional<CBackupComparison> CompareWithBackup(CDatabase& books, CDatabase& backup,
                                                   QString* failure = nullptr);

} // namespace auditlog
