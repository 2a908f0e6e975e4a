#include "trace_statements.h"

namespace tracesql {

namespace {

// The card's four words, in the order of the statements' marks.
void AddCard(sqlparams::Values& values, const traceledger::CCard& card) {
    values.emplace_back(card.name);
    values.emplace_back(card.origin);
    values.emplace_back(card.packModel);
    values.emplace_back(card.expiry);
}

const QString kCardCondition =
    QStringLiteral("名称=? AND 产地=? AND 规格型号=? AND 有效截止日期=?");

} // namespace

CStatement SelectCode(const QString& code) {
    return {QStringLiteral(
                "SELECT t.追溯码, t.名称, t.产地, t.规格型号, t.有效截止日期, t.批号, t.状态, "
                "t.剩余, t.进货单号, t.入库时间, t.出库单号, t.出库时间, t.出库操作员, "
                "COALESCE((SELECT MIN(j.录入员) FROM 进 j WHERE j.单号=t.进货单号 AND "
                "j.单号<>''), '') FROM 追溯码 t WHERE t.追溯码=?"),
            {code}};
}

CStatement InsertCaptured(const QString& code, const traceledger::CCard& card,
                          const traceledger::CMove& move) {
    CStatement statement{QStringLiteral("INSERT INTO 追溯码 (追溯码, 名称, 产地, 规格型号, "
                                        "有效截止日期, 批号, 状态, 剩余, 进货单号, 入库时间) "
                                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
                                        "ON CONFLICT (追溯码) DO NOTHING"),
                         {code}};
    AddCard(statement.values, card);
    statement.values.emplace_back(card.batch);
    statement.values.emplace_back(traceledger::kInStock);
    statement.values.emplace_back(0.0);
    statement.values.emplace_back(move.entryNumber);
    statement.values.emplace_back(move.time);
    return statement;
}

CStatement InsertTaken(const QString& code, const traceledger::CCard& card, const QString& state,
                       double piecesLeft, const traceledger::CMove& move) {
    CStatement statement{QStringLiteral("INSERT INTO 追溯码 (追溯码, 名称, 产地, 规格型号, "
                                        "有效截止日期, 批号, 状态, 剩余, 出库单号, 出库时间, "
                                        "出库操作员) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
                                        "ON CONFLICT (追溯码) DO NOTHING"),
                         {code}};
    AddCard(statement.values, card);
    statement.values.emplace_back(card.batch);
    statement.values.emplace_back(state);
    statement.values.emplace_back(piecesLeft);
    statement.values.emplace_back(move.entryNumber);
    statement.values.emplace_back(move.time);
    statement.values.emplace_back(move.operatorName);
    return statement;
}

CStatement TakeInStock(const QString& code, const traceledger::CCard& card, const QString& state,
                       double piecesLeft, const traceledger::CMove& move) {
    CStatement statement{QStringLiteral("UPDATE 追溯码 SET 状态=?, 剩余=?, 出库单号=?, 出库时间=?, "
                                        "出库操作员=? WHERE 追溯码=? AND 状态=? AND ") +
                             kCardCondition,
                         {state, piecesLeft, move.entryNumber, move.time, move.operatorName, code,
                          traceledger::kInStock}};
    AddCard(statement.values, card);
    return statement;
}

CStatement TakeFromOpened(const QString& code, double piecesWere, const QString& state,
                          double piecesLeft, const traceledger::CMove& move) {
    return {QStringLiteral("UPDATE 追溯码 SET 状态=?, 剩余=?, 出库单号=?, 出库时间=?, "
                           "出库操作员=? WHERE 追溯码=? AND 状态=? AND 剩余=?"),
            {state, piecesLeft, move.entryNumber, move.time, move.operatorName, code,
             traceledger::kOpened, piecesWere}};
}

CStatement SelectOpened(const traceledger::CCard& card, double pieces) {
    CStatement statement{QStringLiteral("SELECT 追溯码, 剩余 FROM 追溯码 WHERE ") + kCardCondition +
                             QStringLiteral(" AND 状态=? AND 剩余>=? ORDER BY 剩余, 追溯码"),
                         {}};
    AddCard(statement.values, card);
    statement.values.emplace_back(traceledger::kOpened);
    statement.values.emplace_back(pieces);
    return statement;
}

CStatement InsertMove(const QString& code, const QString& action, double quantity, long long place,
                      const traceledger::CMove& move) {
    return {QStringLiteral("INSERT INTO 追溯码去向 (追溯码, 单号, 动作, 数量, 时间, 操作员, 序号) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?)"),
            {code, move.entryNumber, action, quantity, move.time, move.operatorName, place}};
}

CStatement SelectMovesOf(const QString& entryNumber) {
    return {QStringLiteral("SELECT 追溯码, 动作, 数量 FROM 追溯码去向 WHERE 单号=? ORDER BY 序号, "
                           "追溯码"),
            {entryNumber}};
}

CStatement ReturnBox(const QString& code, const QString& saleNumber) {
    return {QStringLiteral("UPDATE 追溯码 SET 状态='在库', 剩余=0, 出库单号='', 出库时间='', "
                           "出库操作员='' WHERE 追溯码=? AND 状态='已售' AND 出库单号=?"),
            {code, saleNumber}};
}

CStatement ReturnPieces(const QString& code, double pieces) {
    return {QStringLiteral("UPDATE 追溯码 SET 状态='拆零中', 剩余=剩余+? WHERE 追溯码=? AND "
                           "状态 IN ('拆零中', '已售')"),
            {pieces, code}};
}

CStatement CountMoves(const QString& entryNumber) {
    return {QStringLiteral("SELECT COUNT(*) FROM 追溯码去向 WHERE 单号=?"), {entryNumber}};
}

CStatement SelectCodesOf(const QString& entryNumber) {
    return {QStringLiteral("SELECT 追溯码 FROM 追溯码去向 WHERE 单号=? ORDER BY 序号, 追溯码"),
            {entryNumber}};
}

} // namespace tracesql
