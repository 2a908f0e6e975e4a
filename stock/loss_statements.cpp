#include "loss_statements.h"

namespace losssql {

namespace {

const QString kCardCondition =
    QStringLiteral("名称=? AND 产地=? AND 规格型号=? AND 有效截止日期=?");

sqlparams::Values CardValues(const Card& card) {
    return {card.name, card.origin, card.packModel, card.expiry};
}

} // namespace

CStatement InsertLoss(const Loss& loss) {
    return {QStringLiteral("INSERT INTO 损 (日期时间,名称,产地,规格型号,有效截止日期,数量,成本单价,"
                           "原因,去向,操作员,备注,单号) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"),
            {loss.timestamp, loss.card.name, loss.card.origin, loss.card.packModel,
             loss.card.expiry, loss.quantity, loss.unitCost, loss.reason, loss.destination,
             loss.operatorName, loss.note, loss.number}};
}

CStatement CardStock(const Card& card) {
    return {QStringLiteral("SELECT 现有存货量,平均成本单价 FROM 存 WHERE ") + kCardCondition,
            CardValues(card)};
}

CStatement TakeFromStock(const Card& card, double boxes) {
    CStatement statement{
        QStringLiteral("UPDATE 存 SET 现有存货量=现有存货量-? WHERE ") + kCardCondition, {boxes}};
    const sqlparams::Values cardValues = CardValues(card);
    statement.values.insert(statement.values.end(), cardValues.begin(), cardValues.end());
    return statement;
}

CStatement TakeFromStockIfHeld(const Card& card, double boxes) {
    CStatement statement = TakeFromStock(card, boxes);
    statement.sql += QStringLiteral(" AND 现有存货量>=?");
    statement.values.push_back(boxes);
    return statement;
}

CStatement NegativeCards() {
    return {QStringLiteral("SELECT 名称,产地,规格型号,有效截止日期,现有存货量 FROM 存 WHERE "
                           "现有存货量<0 ORDER BY 名称,产地,规格型号,有效截止日期"),
            {}};
}

CStatement ClampNegativeStock() {
    return {QStringLiteral("UPDATE 存 set 现有存货量=0 WHERE 现有存货量<0"), {}};
}

} // namespace losssql
