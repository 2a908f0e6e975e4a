#include "trace_story.h"

#include "CDBException.h"
#include "result_loader.h"
#include "sql_params.h"
#include "sql_text.h"

#include <QStringList>

namespace tracestory {

namespace {

const QString kPurchases = QStringLiteral("进");
const QString kMoves = QStringLiteral("追溯码去向");

std::optional<CIntake> ReadIntake(CDatabase* db, const QString& number, QString* failure) {
    const std::optional<CResultTable> rows = RunStatement(
        db, kPurchases,
        CStatement{QStringLiteral("SELECT 采购日期,采购人 FROM 进 WHERE 单号=? AND 单号<>''"),
                   {number}},
        failure);
    if (!rows || rows->RowCount() == 0)
        return std::nullopt;
    return CIntake{rows->CellText(0, 0), rows->CellText(0, 1)};
}

// Each move joined with the entry that made it: a sale by its 单号, or a write-off's 损 row.
std::optional<std::vector<CMoveOut>> ReadMoves(CDatabase* db, const QString& code,
                                               QString* failure) {
    const std::optional<CResultTable> rows = RunStatement(
        db, kMoves,
        CStatement{
            QStringLiteral("SELECT d.动作,d.数量,d.时间,d.操作员,d.单号,COALESCE(s.营业员,''),"
                           "COALESCE(s.小票号,''),COALESCE(l.原因,'') FROM 追溯码去向 d "
                           "LEFT JOIN 销 s ON s.单号=d.单号 AND s.单号<>'' "
                           "LEFT JOIN 损 l ON l.单号=d.单号 AND l.单号<>'' "
                           "WHERE d.追溯码=? ORDER BY d.时间,d.单号"),
            {code}},
        failure);
    if (!rows)
        return std::nullopt;
    std::vector<CMoveOut> moves;
    for (int r = 0; r < rows->RowCount(); ++r)
        moves.push_back({rows->CellText(r, 0), rows->CellText(r, 1), rows->CellText(r, 2),
                         rows->CellText(r, 3), rows->CellText(r, 4), rows->CellText(r, 5),
                         rows->CellText(r, 6), rows->CellText(r, 7)});
    return moves;
}

QString MoveLine(const CMoveOut& move) {
    // A split sale's quantity is in pieces; every other move takes a whole box.
    const QString unit = move.action == QStringLiteral("拆零") ? QString() : QStringLiteral(" 盒");
    QStringList parts{
        QStringLiteral("%1 %2 %3%4").arg(move.time, move.action, move.quantity, unit)};
    if (!move.clerk.isEmpty())
        parts << QStringLiteral("营业员 %1").arg(move.clerk);
    else
        parts << QStringLiteral("操作员 %1").arg(move.operatorName);
    if (!move.receipt.isEmpty())
        parts << QStringLiteral("小票号 %1").arg(move.receipt);
    if (!move.reason.isEmpty())
        parts << QStringLiteral("原因 %1").arg(move.reason);
    parts << QStringLiteral("单号 %1").arg(move.entryNumber);
    return QStringLiteral("  ") + parts.join(QStringLiteral("，"));
}

} // namespace

std::optional<CStory> Load(CDatabase* db, const QString& typed, QString* failure) {
    if (const QString problem = tracecode::Problem(typed); !problem.isEmpty()) {
        if (failure)
            *failure = problem;
        return std::nullopt;
    }
    const QString code = tracecode::Normalized(typed);
    QString why;
    CStory story;
    try {
        if (!db)
            throw CDBException(QStringLiteral("没有连接账套"));
        story.code = traceledger::Find(*db, code);
    } catch (const CDBException& e) {
        why = e.ErrorText();
    }
    if (why.isEmpty() && story.code) {
        if (!story.code->purchaseNumber.isEmpty())
            story.intake = ReadIntake(db, story.code->purchaseNumber, &why);
        if (why.isEmpty()) {
            std::optional<std::vector<CMoveOut>> moves = ReadMoves(db, code, &why);
            if (moves)
                story.moves = std::move(*moves);
            else if (why.isEmpty())
                why = QStringLiteral("无法读取追溯码去向");
        }
    }
    if (!why.isEmpty()) {
        if (failure)
            *failure = QStringLiteral("无法读取追溯码 %1：%2").arg(code, why);
        return std::nullopt;
    }
    return story;
}

QString Text(const CStory& story) {
    if (!story.code)
        return QStringLiteral("账上没有这个追溯码：它既没有入库，也没有售出。");
    const traceledger::CCodeRow& row = *story.code;
    const traceledger::CCard& card = row.card;
    QStringList lines;
    lines << QStringLiteral("追溯码 %1").arg(row.code);
    lines << QStringLiteral("药品：%1（%2，%3），有效期至 %4，批号 %5")
                 .arg(card.name, card.origin, card.packModel, card.expiry,
                      card.batch.isEmpty() ? QStringLiteral("（无）") : card.batch);
    QString state = QStringLiteral("状态：%1").arg(row.state);
    if (row.state == traceledger::kOpened)
        state += QStringLiteral("，盒内剩余 %1").arg(sqltext::Exact(row.piecesLeft));
    lines << state;
    if (row.purchaseNumber.isEmpty())
        lines << QStringLiteral("入库：没有入库记录，%1 在销售时首次登记").arg(row.inTime);
    else if (story.intake)
        lines << QStringLiteral("入库：%1，采购人 %2，进货单号 %3")
                     .arg(row.inTime,
                          story.intake->buyer.isEmpty() ? QStringLiteral("（未填）")
                                                        : story.intake->buyer,
                          row.purchaseNumber);
    else
        lines << QStringLiteral("入库：%1，进货单号 %2（进货记录已不在账上）")
                     .arg(row.inTime, row.purchaseNumber);
    if (story.moves.empty()) {
        lines << QStringLiteral("去向：尚未出库");
    } else {
        lines << QStringLiteral("去向：");
        for (const CMoveOut& move : story.moves)
            lines << MoveLine(move);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace tracestory
