#pragma once
// The statements of the purchase entry and the counter sales entry, filled with their values.
// Every text goes between the template's quotes with its quotes doubled; numbers and dates in
// the books' text forms.
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
};

// The purchase row, with the operator who entered it.
QString InsertPurchase(const Purchase& p);
// A new stock card priced at the batch.
QString InsertStockCard(const Purchase& p);
// The existing card re-averaged with the batch; fails when its stock and the batch are both 0.
QString ReaverageStockCard(const Purchase& p);
// Undoes InsertPurchase: every row equal to it in all twelve columns.
QString DeletePurchase(const Purchase& p);
// How many rows equal it in all twelve columns.
QString CountPurchase(const Purchase& p);

// One counter sale as the sales entry holds it.
struct Sale {
    QString timestamp; // as the entry shows it, "%04d-%02d-%02d %02d:%02d:%02d"
    QString name;
    QString origin;
    QString packModel;
    QString expiry;
    double price = 0;          // of one box, or of one piece for a split-pack sale
    unsigned quantity = 0;     // boxes, or pieces
    unsigned piecesPerBox = 1; // 1 for a whole-box sale
    QString saleType;          // "整盒销售" or "拆零销售"
    QString amount;            // the amount due as the entry shows it ("%.2f"), written bare
    QString clerk;             // the operator logged in: 营业员
};

// The stock card the sale is taken from, by its full key.
QString FindStockCard(const Sale& s);
// Whether an amount due is a plain decimal, the only form that goes into a statement bare.
bool IsAmount(const QString& text);
// The sale row, with the operator who sold; 数量 is the expression pieces/pieces-per-box.0.
QString InsertSale(const Sale& s);
// The card's stock lowered by the boxes sold.
QString LowerStock(const Sale& s);
// Undoes InsertSale.
QString DeleteSale(const Sale& s);
// Whether the sale is in the books: its time stamp held by a sale of its card.
QString CountSale(const Sale& s);
// Every negative stock set to 0.
QString ClampNegativeStock();

} // namespace entrysql
