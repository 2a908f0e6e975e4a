#pragma once
// Every box by its trace code (追溯码): captured at goods-in, taken out by the sale, write-off,
// return or stock-take that lets it go, never taken twice. Each step runs inside the caller's
// transaction (the entry's own), so a code moves exactly when its entry is recorded. Two
// counters taking the same code at once: the books let one through; the other gets the
// refusal naming the first.
#include "trace_code.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class CDatabase;

namespace traceledger {

// The stock card a code belongs to, by its four words, and the batch printed on the box.
struct CCard {
    QString name;
    QString origin;
    QString packModel;
    QString expiry;
    QString batch;
};

// A code's row as the books hold it (table 追溯码).
struct CCodeRow {
    QString code;
    CCard card;
    QString state;          // 在库, 拆零中, 已售, 报损, 退货
    double piecesLeft = 0;  // in an opened box (拆零中)
    QString purchaseNumber; // 进's 单号; empty when the code was first seen at the sale
    QString inTime;         // "yyyy-MM-dd HH:mm:ss"
    QString inOperator; // who entered that purchase (进.录入员), when the books still hold it
    QString outNumber;  // the 单号 of the entry that took it out, if any
    QString outTime;
    QString outOperator;
};

// Who moves a code, when, under which entry.
struct CMove {
    QString entryNumber; // the entry's own 单号
    QString time;        // "yyyy-MM-dd HH:mm:ss"
    QString operatorName;
};

// What a step came to: empty `refusal` when done. A refusal means the caller rolls its entry
// back (nothing of it may stay); its text is what the user is told.
struct CStep {
    QString refusal;
    QString code = {}; // the code refused (as typed when it is none), when one was
    bool ok() const { return refusal.isEmpty(); }
};

// The codes' states as the books store them.
inline const QString kInStock = QStringLiteral("在库");
inline const QString kOpened = QStringLiteral("拆零中");
inline const QString kSold = QStringLiteral("已售");
inline const QString kWrittenOff = QStringLiteral("报损");
inline const QString kReturned = QStringLiteral("退货");

// Whether a code in `state` has left the books (已售, 报损, 退货): it can never leave again.
bool HasLeft(const QString& state);
// Why the box `row` cannot leave as part of `card` by `intent` (销售, 报损, 退货): gone already,
// naming how ("该追溯码已于 2026-12-08 10:31 由 张三 售出（单号 …），不能再次销售"), of another
// card, or an opened box leaving whole; empty when it may.
QString Refusal(const CCodeRow& row, const CCard& card, const QString& intent);

// The row of `code` (as tracecode::Normalized gives it); nullopt when the books have none.
// Throws CDBException.
std::optional<CCodeRow> Find(CDatabase& db, const QString& code);

// Every step below runs inside the caller's transaction and never commits it; a step that
// refuses leaves nothing of its own behind either. On a connection in auto-commit a step is a
// transaction of its own. Codes are taken as typed or scanned (tracecode::Normalized).

// Goods-in: each code becomes a box of `card` in stock, brought by `move.entryNumber`. Refuses
// the whole list when one is malformed, repeated in the list, or already in the books ("追溯码
// … 已于 2026-12-08 10:31 由 李四 入库（单号 …），不能重复入库"). Throws CDBException.
CStep Capture(CDatabase& db, const QStringList& codes, const CCard& card, const CMove& move);

// A whole-box sale of `codes.size()` boxes of `card`: each code leaves as 已售. A code in stock
// of another card is refused ("该追溯码属于 …，不是正在销售的药品"); one already sold, written off
// or returned is refused naming the original ("该追溯码已于 2026-12-08 10:31 由 张三 售出（单号
// …），不能再次销售"); one in an opened box cannot be sold whole; one never captured enters the
// books as sold (counted as such by the reports). Throws CDBException.
CStep Sell(CDatabase& db, const QStringList& codes, const CCard& card, const CMove& move);

// A split-pack sale of `pieces` of `card`, whose box holds `piecesPerBox`. Without `code`: taken
// from the card's opened box with the fewest pieces left that still holds them (no scan); when
// none does, refused when `codeRequired`, else done without a code. With `code`: the pieces come
// from that box: its opened box, or the box it opens (拆零中 with its pieces less those sold;
// 已售 once empty), also a second opened box of the card. An opened box that holds fewer pieces
// than asked is refused, not split over two boxes; so are more pieces than a box holds. Each
// take is one 追溯码去向 row (动作 拆零, the pieces), so every later sale names its box too.
// Throws CDBException.
CStep SellPieces(CDatabase& db, const QString& code, const CCard& card, double pieces,
                 double piecesPerBox, bool codeRequired, const CMove& move);

// A write-off (报损) or a return (退货): each code leaves as `state`, refused as a sale
// would be (an opened box too: its pieces leave by quantity). Throws CDBException.
CStep TakeOut(CDatabase& db, const QStringList& codes, const CCard& card, const QString& state,
              const CMove& move);

// A reversed sale (销售冲正, `move.entryNumber` the reversing 单号): every code the sale
// `saleNumber` took comes back — a whole box to 在库, a split sale's pieces into their box
// (拆零中 again) — each with its move 冲正, so the code's story keeps the sale and its reversal.
// A code that has left since (written off, say) stays where it is. Throws CDBException.
void PutBack(CDatabase& db, const QString& saleNumber, const CMove& move);

// The codes an entry took out, in the order taken (the receipt's lines, the sale's log row).
// Throws CDBException.
QStringList CodesOf(CDatabase& db, const QString& entryNumber);

// Whether a code was captured at goods-in and is in stock, or is an opened box: the card the
// scan field picks from.
// nullopt when not, or when the books cannot be read (then `failure` says why).
std::optional<CCard> CardInStock(CDatabase* db, const QString& code, QString* failure = nullptr);

} // namespace traceledger
