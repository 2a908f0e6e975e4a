#pragma once
// The log's head: its newest row's 序号 and the start of its 校验, printed on the day's reports.
// Whoever can write the books can rewrite the chain from some row on so that it looks whole; a
// head kept on paper shows that, for the rewritten chain no longer reaches it.
#include <QString>
#include <optional>

class CDatabase;

namespace auditlog {

struct CChainHead {
    long long rows = 0; // the newest row's 序号; 0 for an empty log
    QString hash16;     // the first 16 hex digits of its 校验, lower case
};

// Reads the newest row of 日志. nullopt (why in `failure`) when the log cannot be read.
std::optional<CChainHead> Head(CDatabase& db, QString* failure = nullptr);
// "日志 n 条 · 校验 xxxxxxxxxxxxxxxx"; "日志 0 条" for an empty log.
QString HeadText(const CChainHead& head);
// A printed head as typed back: "n:xxxxxxxxxxxxxxxx", n >= 1, 16 hex digits in either case
// (kept lower case). Blanks around it are dropped; anything else is nullopt.
std::optional<CChainHead> ParseHead(const QString& text);

// Whether the chain up to the printed head is still the one printed: row `printed.rows` must
// be there and its 校验 start with `printed.hash16`.
struct CHeadCheck {
    bool matches = false;
    QString message; // "第 n 行与打印的校验相符", or what differs
};
// nullopt (why in `failure`) when the log cannot be read.
std::optional<CHeadCheck> CheckHead(CDatabase& db, const CChainHead& printed,
                                    QString* failure = nullptr);

} // namespace auditlog
