#pragma once
// What a customer's receipt says, read from the books: the sales of the basket in time order,
// each with its batch, its quantity in boxes or pieces, its price and amount, and the total.
#include "receipt_settings.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class CDatabase;

struct CReceiptItem {
    QString stamp; // 日期时间, "yyyy-MM-dd HH:mm:ss"
    QString name;
    QString origin;
    QString packModel;
    QString expiry;
    QString batch;     // the card's batch numbers, the latest purchase first; "—" when none
    QString quantity;  // "2 盒", "3 片"
    QString unitPrice; // 零售价: per box, or per piece for a split pack
    QString amount;    // 实收金额, "%.2f"
    long long cents = 0;
};

struct CReceipt {
    QString shopName;
    QString number;    // 小票号
    QString printedAt; // "yyyy-MM-dd HH:mm:ss"
    bool reprint = false;
    QString clerk; // the sales' 营业员, several joined by "、"; "—" when none is known
    std::vector<CReceiptItem> items;
    long long totalCents = 0;
    QString footer;

    QString Total() const; // "%.2f" of totalCents
};

namespace receiptcontent {

// This computer's name for receipt numbers: the short host name in letters, digits and '-'
// ("counter" when nothing is left).
QString CounterName();
// 小票号: the first sale's stamp as yyyyMMddHHmmss, '-', the counter. Unique, as 日期时间 is the
// key of 销 and a counter never records two baskets in one second.
QString ReceiptNumber(const QDateTime& firstSale, const QString& counter);
// A time stamp text as the books or a caller give it ("yyyy-MM-dd HH:mm:ss", with or without
// ".zzz", or a midnight stamp shown as "yyyy-MM-dd "); invalid when it is none.
QDateTime StampOf(const QString& text);
// The pieces of a split-pack sale. Only the amount is exact: 实收金额 = pieces × 零售价 rounded to
// the cent, and 数量 = pieces / pieces-per-box. The pieces are the whole numbers whose amount
// rounds to `amount`, preferring one that makes pieces-per-box whole; nullopt when the price is
// not positive.
std::optional<long long> SplitPackPieces(double amount, double price, double boxes);
// The receipt of the sales stamped `stamps` (unknown stamps are passed over). nullopt with the
// driver's text in `failure` when the books cannot be read; no items when none matched.
std::optional<CReceipt> Load(CDatabase& db, const QStringList& stamps,
                             const CReceiptSettings& settings, bool reprint, const QDateTime& now,
                             const QString& counter, QString* failure);

} // namespace receiptcontent
