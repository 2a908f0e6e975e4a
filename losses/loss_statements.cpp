#include "loss_statements.h"

#include "sql_text.h"

#include <QStringList>

namespace losssql {

namespace {

QString CardCondition(const Card& card) {
    return QStringLiteral("名称=%1 AND 产地=%2 AND 规格型号=%3 AND 有效截止日期=%4")
        .arg(sqltext::Quote(card.name), sqltext::Quote(card.origin), sqltext::Quote(card.packModel),
             sqltext::Quote(card.expiry));
}

} // namespace

QString InsertLoss(const Loss& loss) {
    const QStringList values = {
        sqltext::Quote(loss.timestamp),   sqltext::Quote(loss.card.name),
        sqltext::Quote(loss.card.origin), sqltext::Quote(loss.card.packModel),
        sqltext::Quote(loss.card.expiry), sqltext::Exact(loss.quantity),
        sqltext::Exact(loss.unitCost),    sqltext::Quote(loss.reason),
        sqltext::Quote(loss.destination), sqltext::Quote(loss.operatorName),
        sqltext::Quote(loss.note)};
    return QStringLiteral("INSERT INTO 损 (日期时间,名称,产地,规格型号,有效截止日期,数量,成本单价,"
                          "原因,去向,操作员,备注) VALUES (%1)")
        .arg(values.join(QLatin1Char(',')));
}

QString CardStock(const Card& card) {
    return QStringLiteral("SELECT 现有存货量,平均成本单价 FROM 存 WHERE ") + CardCondition(card);
}

QString TakeFromStock(const Card& card, double boxes) {
    return QStringLiteral("UPDATE 存 SET 现有存货量=现有存货量-(%1) WHERE %2")
        .arg(sqltext::Exact(boxes), CardCondition(card));
}

QString TakeFromStockIfHeld(const Card& card, double boxes) {
    return TakeFromStock(card, boxes) +
           QStringLiteral(" AND 现有存货量>=%1").arg(sqltext::Exact(boxes));
}

QString CountAt(const QString& timestamp) {
    return QStringLiteral("SELECT COUNT(*) FROM 损 WHERE 日期时间=") + sqltext::Quote(timestamp);
}

QString CountLoss(const Loss& loss) {
    return CountAt(loss.timestamp) + QStringLiteral(" AND ") + CardCondition(loss.card);
}

} // namespace losssql
