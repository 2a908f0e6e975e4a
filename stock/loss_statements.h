#pragma once
// The statements of the 损 records: stock that leaves a card other than by sale, or that a
// stock-take or a sale beyond the stock finds. Every value is bound to a mark.
#include "sql_params.h"

#include <QString>
#include <QStringList>

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
    QString timestamp; // "yyyy-MM-dd hh:mm:ss", when it was written
    Card card;
    double quantity = 0; // boxes; positive leaves the stock, negative is stock found
    double unitCost = 0; // the card's average cost when it was written
    QString reason;
    QString destination;
    QString operatorName;
    QString note;
    QString number; // 单号: the row's own, by which it is looked up after a lost reply
    // The boxes' trace codes that left with it, for its log row; the ledger keeps them.
    QStringList traceCodes = {};
};

CStatement InsertLoss(const Loss& loss);
// The card's 现有存货量 and 平均成本单价.
CStatement CardStock(const Card& card);
// The card's stock lowered by `boxes` (raised when negative).
CStatement TakeFromStock(const Card& card, double boxes);
// The same, only when the card holds at least `boxes`: no row changes otherwise.
CStatement TakeFromStockIfHeld(const Card& card, double boxes);
// Every card below 0: its four texts and its 现有存货量, in the order of the four texts.
CStatement NegativeCards();
// Every negative stock set to 0.
CStatement ClampNegativeStock();

} // namespace losssql
