#pragma once
// One received batch, written inside the caller's transaction: its 进 row, its card created or
// re-averaged, its drug brought into the catalogue. The purchase entry and the opening-stock
// import both take stock in so, so every card is priced by one rule.
#include "CDBException.h"
#include "audit_log.h"
#include "sql_params.h"

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

class CDatabase;
class CTransaction;

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

} // namespace entrysql

namespace entrylog {

// 动作 "进货", 对象 "进", its values in words, and how many trace codes came with it (the codes
// themselves are in 追溯码).
CLogEntry Purchase(const entrysql::Purchase& p, qsizetype traceCodes = 0);

} // namespace entrylog

namespace batchreceipt {

struct CReceipt {
    enum class Refusal {
        None,
        Purchase,  // the 进 row was refused: `error`
        Card,      // no card could be made or re-averaged
        Catalogue, // the code names another drug: `why`
    };
    Refusal refusal = Refusal::None;
    std::optional<CDBException> error;
    QString why;
    // To append, in this order, once everything else of the entry is written: the batch's own
    // row first (with the catalogue's note), then the catalogue's.
    std::vector<CLogEntry> log;

    bool ok() const { return refusal == Refusal::None; }
};

// Whether the batch's card exists. A caller that knows says so, and the card is written without
// a savepoint: PostgreSQL holds a lock for each one until the commit, too many for thousands.
enum class CardState { Unknown, New, Existing };

// Whether an earlier batch of the same entry already put the drug with this code into the
// catalogue: then the catalogue is not asked again.
enum class DrugState { Unknown, Entered };

// Writes `p` inside `transaction`, with `barcode` for the catalogue and `traceCodes` counted in
// its log row. On a refusal the caller abandons the transaction. Throws CDBException.
CReceipt Write(CDatabase& db, CTransaction& transaction, const entrysql::Purchase& p,
               const QString& barcode, const QString& operatorName, qsizetype traceCodes = 0,
               CardState card = CardState::Unknown, DrugState drug = DrugState::Unknown);

} // namespace batchreceipt
