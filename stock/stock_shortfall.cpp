#include "stock_shortfall.h"

#include "CDBException.h"
#include "CTransaction.h"
#include "entry_number.h"
#include "loss_record.h"
#include "loss_statements.h"
#include "loss_text.h"
#include "result_loader.h"

namespace stockshortfall {

Written Record(CDatabase& db, CTransaction& transaction, const QString& entryNumber,
               const QString& operatorName, const QString& stamp) {
    QString failure;
    const std::optional<CResultTable> cards =
        RunStatement(&db, QStringLiteral("存"), losssql::NegativeCards(), &failure);
    if (!cards)
        throw CDBException(failure.isEmpty() ? QStringLiteral("库存卡读不出来") : failure);
    Written written;
    for (int r = 0; r < cards->RowCount(); ++r) {
        losssql::Loss loss;
        loss.timestamp = stamp;
        loss.card = {cards->CellText(r, 0), cards->CellText(r, 1), cards->CellText(r, 2),
                     cards->CellText(r, 3)};
        // The stock as read back converts to the stored double, so the card ends at exactly 0.
        loss.quantity = cards->CellText(r, 4).toDouble();
        loss.reason = losstext::kSurplus;
        loss.operatorName = operatorName;
        loss.note = kNote;
        loss.number = r == 0 ? entryNumber : entrynumber::Part(entryNumber, r + 1);
        // A card deleted since it was read has nothing left to record.
        if (lossrecord::Record(db, transaction, loss, false) != lossrecord::Step::Written)
            continue;
        ++written.rows;
        written.boxes -= loss.quantity;
    }
    // Finds nothing left, unless a card went below 0 since it was read.
    transaction.Execute(losssql::ClampNegativeStock());
    return written;
}

QString Told(const Written& written) {
    if (written.rows == 0)
        return {};
    return QStringLiteral("超出库存的 %1 盒已记为盘盈").arg(losstext::Boxes(written.boxes));
}

} // namespace stockshortfall
