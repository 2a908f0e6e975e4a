#pragma once
// The statements of the purchase entry and the counter sales entry, with their values bound:
// the texts hold names and marks only.
#include "sql_params.h"

#include <QDate>
#include <QString>

namespace entrysql {

// One received batch as the purchase entry holds it.
struct Purchase {
    QDate purchaseDate;
    QString purchaser;
    QString category;
    QString subCategory;
    QString code;
    QString name;
    QString origin;
    QString packModel;
    QString batch;
    QDate expiry;
    double price = 0;    // of one box
    double quantity = 0; // boxes, fractions allowed
    QString enteredBy;   // the operator logged in: 录入员
    QString number;      // the entry's own 单号
};

// The purchase row, with the operator who entered it and its number.
CStatement InsertPurchase(const Purchase& p);
// A new stock card priced at the batch.
CStatement InsertStockCard(const Purchase& p);
// The existing card re-averaged with the batch; fails when its stock and the batch are both 0.
CStatement ReaverageStockCard(const Purchase& p);

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
