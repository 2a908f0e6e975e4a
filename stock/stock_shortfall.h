#pragma once
// Stock that a sale took beyond the card: the clamp sets the card to 0, and the boxes it lifts
// are written as 盘盈 rows first, so that no change of stock goes unrecorded.
#include <QString>

class CDatabase;
class CTransaction;

namespace stockshortfall {

inline const QString kNote = QStringLiteral("销售超出账面库存");

struct Written {
    int rows = 0;
    double boxes = 0; // the stock found, as a positive number of boxes
};

// Inside the caller's transaction: a 盘盈 row with its log row for every card below 0, taking
// it to exactly 0, then the clamp. The first row gets `entryNumber`, the i-th
// entrynumber::Part(entryNumber, i). Throws CDBException when a statement fails.
Written Record(CDatabase& db, CTransaction& transaction, const QString& entryNumber,
               const QString& operatorName, const QString& stamp);

// What an entry's message adds: "超出库存的 2 盒已记为盘盈", or nothing when no row was written.
QString Told(const Written& written);

} // namespace stockshortfall
