#pragma once
// The statements of the counter sales entry, with their values bound: the texts hold names
// and marks only. A purchase's are in entry_form/batch_receipt.h, which the import shares.
#include "batch_receipt.h"
#include "sql_params.h"

#include <QDate>
#include <QString>

namespace entrysql {

// One counter sale as the sales entry holds it.
struct Sale {
    QString timestamp; // "yyyy-MM-dd HH:mm:ss"
    QString name;
    QString origin;
    QString packModel;
    QString expiry;
    double price = 0;          // of one box, or of one piece for a split-pack sale
    unsigned quantity = 0;     // boxes, or pieces
    unsigned piecesPerBox = 1; // 1 for a whole-box sale
    QString saleType;          // "整盒销售" or "拆零销售"
    QString amount;            // the amount due as the entry shows it ("%.2f")
    QString clerk;             // the operator logged in: 营业员
    QString number;            // the entry's own 单号
};

// The stock card the sale is taken from, by its full key.
CStatement FindStockCard(const Sale& s);
// Whether an amount due is a plain decimal, the only form the entry records.
bool IsAmount(const QString& text);
// The boxes a sale takes: pieces / pieces-per-box (0 pieces per box gives no number).
double Boxes(const Sale& s);
// The sale row, with the operator who sold and its number.
CStatement InsertSale(const Sale& s);
// The card's stock lowered by the boxes sold.
CStatement LowerStock(const Sale& s);

} // namespace entrysql
