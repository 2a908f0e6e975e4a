#pragma once
// The statements of the 损 records: stock that leaves a card other than by sale, or that a
// stock-take finds. Texts go between quotes with their quotes doubled; numbers bare.
#include <QString>

namespace losssql {

// The four texts that name a stock card.
struct Card {
    QString name;
    QString origin;
    QString packModel;
    QString expiry;
};

// One 损 row.
struct Loss {
    QString timestamp; // "yyyy-MM-dd hh:mm:ss", the key
    Card card;
    double quantity = 0; // boxes; positive leaves the stock, negative is stock found
    double unitCost = 0; // the card's average cost when it was written
    QString reason;
    QString destination;
    QString operatorName;
    QString note;
};

QString InsertLoss(const Loss& loss);
// The card's 现有存货量 and 平均成本单价.
QString CardStock(const Card& card);
// The card's stock lowered by `boxes` (raised when negative).
QString TakeFromStock(const Card& card, double boxes);
// The same, only when the card holds at least `boxes`: no row changes otherwise.
QString TakeFromStockIfHeld(const Card& card, double boxes);
// How many 损 rows hold `timestamp`.
QString CountAt(const QString& timestamp);
// Whether `loss` is in the books: its time stamp held by a row of its card.
QString CountLoss(const Loss& loss);

} // namespace losssql
