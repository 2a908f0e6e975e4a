#pragma once
// The books held against their log: every row of 进, 销, 损 and 操作员 against the digest its
// log row carries, and every card of 存 against its movements since the 期初 (purchases in,
// sales and 损 rows out, the stock a logged change of the card left).
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

class CDatabase;

namespace auditlog {

struct CCardReconciliation {
    QStringList card;              // 名称, 产地, 规格型号, 有效截止日期
    std::optional<double> inBooks; // 现有存货量; nullopt when the card is not in 存
    double fromMovements = 0;      // the 期初 plus every movement since
    bool Differs() const;
};

struct CLedgerCheck {
    // The books have a 期初 row; without one, no card is reconciled and every row without a
    // digest counts as older than the log.
    bool hasOpening = false;
    // Each row changed, removed or added without its log row, in words; at most kNamedFaults
    // of them, `faultCount` counts all.
    QStringList faults;
    long long faultCount = 0;
    // Rows older than the log (no digest to hold them against), by table.
    std::map<QString, long long> earlierRows;
    // Every card that is in 存 or that its movements name, in card order.
    std::vector<CCardReconciliation> cards;
};

constexpr int kNamedFaults = 50;

// The words of a card: "名称（产地，规格型号，有效期至 X）".
QString CardText(const QStringList& card);

// Reads the log's marks and every row of the five tables. nullopt (why in `failure`) when they
// cannot be read; books older than the row digests have nothing to hold, and give an empty
// check with `hasOpening` false.
std::optional<CLedgerCheck> CheckLedger(CDatabase& db, QString* failure = nullptr);

// The faults and the cards that differ, in lines for 校验日志 and --check; empty when none.
QStringList LedgerProblems(const CLedgerCheck& check);
// What was not checked row by row, in one line ("早于日志的记录：…"); empty when nothing.
QString EarlierRowsText(const CLedgerCheck& check);

} // namespace auditlog
