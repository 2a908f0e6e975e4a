#include "loss_record.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "audit_log.h"
#include "loss_log.h"
#include "result_loader.h"
#include "sql_text.h"

#include <QDateTime>

namespace lossrecord {

std::optional<CardFigures> ReadCard(CDatabase* db, const losssql::Card& card, QString* failure) {
    const std::optional<CResultTable> rows =
        RunStatement(db, QStringLiteral("存"), losssql::CardStock(card), failure);
    if (!rows || rows->RowCount() == 0 || rows->ColumnCount() < 2)
        return std::nullopt;
    CardFigures figures;
    figures.stockText = rows->CellText(0, 0);
    figures.stock = figures.stockText.toDouble();
    figures.unitCost = rows->CellText(0, 1).toDouble();
    return figures;
}

QString Now() {
    return sqltext::Timestamp(QDateTime::currentDateTime());
}

Step Record(CDatabase& db, CTransaction& transaction, losssql::Loss& loss, bool onlyWhenHeld) {
    const CStatement take = onlyWhenHeld ? losssql::TakeFromStockIfHeld(loss.card, loss.quantity)
                                         : losssql::TakeFromStock(loss.card, loss.quantity);
    if (transaction.Execute(take) == 0) {
        QString failure;
        if (ReadCard(&db, loss.card, &failure))
            return Step::NotHeld;
        if (!failure.isEmpty())
            throw CDBException(failure);
        return Step::NoCard;
    }
    QString failure;
    const std::optional<CardFigures> figures = ReadCard(&db, loss.card, &failure);
    if (!figures)
        throw CDBException(failure.isEmpty() ? QStringLiteral("库存卡读不出来") : failure);
    loss.unitCost = figures->unitCost;
    transaction.Execute(losssql::InsertLoss(loss));
    auditlog::Append(db, losslog::Loss(loss), QDateTime::currentDateTime());
    return Step::Written;
}

} // namespace lossrecord
