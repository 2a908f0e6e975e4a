#pragma once
// What a customer's receipt says, read from the books: the sales of the basket in time order,
// each with its batch, its boxes' trace codes, its quantity in boxes or pieces, its price and
// amount, and the total.
#include "receipt_settings.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class CDatabase;

struct CReceiptItem {
    QString saleNumber; // the sale's 单号
    QString stamp;      // 日期时间, "yyyy-MM-dd HH:mm:ss"
    QString name;
    QString origin;
    QString packModel;
    QString expiry;
    QString batch;     // the card's batch numbers, the latest purchase first; "—" when none
    QString quantity;  // "2 盒", "3 片", "12 粒"
    QString unitPrice; // 零售价: per box, or per piece for a split pack
    QString amount;    // 实收金额, "%.2f"
    long long cents = 0;
    bool reversal = false;  // a row that reverses a sale of the bill (冲正)
    QStringList traceCodes; // the boxes' trace codes the sale took, in the order taken
};

struct CReceipt {
    QString shopName;
    QString number;          // 小票号: the one its sales keep, or made for this first print
    bool numberMade = false; // its sales keep none yet: printing stores `number` with them
    QString printedAt;       // "yyyy-MM-dd HH:mm:ss"
    bool reprint = false;
    QString clerk; // the sales' 营业员, several joined by "、"; "—" when none is known
    std::vector<CReceiptItem> items;
    long long totalCents = 0;
    // How the sales were paid (their 支付方式, several joined by "、"); empty before 结账.
    QString payment;
    // What the customer handed over in cash, known only at 结账 itself; a reprint has none.
    std::optional<long long> tenderedCents;
    QString footer;

    QString Total() const; // "%.2f" of totalCents
    // 找零: what was handed over less the total, for a receipt paid in cash at 结账.
    std::optional<long long> ChangeCents() const;
};

namespace receiptcontent {

// This computer's name for receipt numbers: the short host name in letters, digits and '-'
// ("counter" when nothing is left).
QString CounterName();
// A new 小票号: the first sale's stamp as yyyyMMddHHmmss, '-', the counter that first prints it.
// Made once; the sales keep it, so a reprint anywhere carries the same.
QString ReceiptNumber(const QDateTime& firstSale, const QString& counter);
// A time stamp text as the books or a caller give it ("yyyy-MM-dd HH:mm:ss", with or without
// ".zzz", or a midnight stamp shown as "yyyy-MM-dd "); invalid when it is none.
QDateTime StampOf(const QString& text);
// The pieces of a split-pack sale. Only the amount is exact: 实收金额 = pieces × 零售价 rounded to
// the cent, and 数量 = pieces / pieces-per-box. The pieces are the whole numbers whose amount
// rounds to `amount`, preferring one that makes pieces-per-box whole; nullopt when the price is
// not positive.
std::optional<long long> SplitPackPieces(double amount, double price, double boxes);
// The receipt of the sales numbered `saleNumbers` (their 单号; unknown ones are passed over), in
// time order. Its number is the 小票号 its sales keep (several, joined by "、", when they were
// printed on several receipts), or a new one from `counter` when none keeps one. nullopt with
// the driver's text in `failure` when the books cannot be read; no items when none matched.
std::optional<CReceipt> Load(CDatabase& db, const QStringList& saleNumbers,
                             const CReceiptSettings& settings, bool reprint, const QDateTime& now,
                             const QString& counter, QString* failure);

} // namespace receiptcontent
