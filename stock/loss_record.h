#pragma once
// The one way a 损 row goes into the books, shared by the write-off and the stock-take: inside
// the caller's transaction, the card's stock changes, the row is priced at the card's average
// cost, and the row and its log row are written.
#include "loss_statements.h"

#include <QString>
#include <optional>

class CDatabase;
class CTransaction;

namespace lossrecord {

enum class Step { Written, NoCard, NotHeld };

// Takes `loss.quantity` off its card (only when the card holds that much, if `onlyWhenHeld`),
// sets `loss.unitCost` to the card's average cost, and writes the row and its log row, both
// under `loss.number`. Throws CDBException when a statement fails; the caller's transaction then
// undoes it all.
Step Record(CDatabase& db, CTransaction& transaction, losssql::Loss& loss, bool onlyWhenHeld);

// The clock's time now, as a 损 row is stamped.
QString Now();

// The card's stock as the books give it, and its average cost; nullopt when the card is not
// there or cannot be read (then `failure` says why).
struct CardFigures {
    QString stockText;
    double stock = 0;
    double unitCost = 0;
};
std::optional<CardFigures> ReadCard(CDatabase* db, const losssql::Card& card, QString* failure);

} // namespace lossrecord
