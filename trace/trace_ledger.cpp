#include "trace_ledger.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CRecordset.h"
#include "CTransaction.h"
#include "sql_text.h"
#include "trace_statements.h"

#include <algorithm>
#include <cmath>

namespace traceledger {

namespace {

const QString kActionSold = QStringLiteral("售出");
const QString kActionSplit = QStringLiteral("拆零");
const QString kActionReversed = QStringLiteral("冲正");
const QString kIntentSale = QStringLiteral("销售");
// A row that changes between our read and our write is read again; past this, the refusal.
constexpr int kAttempts = 5;

QString Minutes(const QString& time) {
    return time.left(16);
}

QString ByWhom(const QString& name) {
    return name.isEmpty() ? QString() : QStringLiteral("由 ") + name + QLatin1Char(' ');
}

QString CardText(const CCard& card) {
    return QStringLiteral("%1 %2 %3（有效期至 %4）")
        .arg(card.name, card.origin, card.packModel, card.expiry);
}

bool SameCard(const CCard& a, const CCard& b) {
    return a.name == b.name && a.origin == b.origin && a.packModel == b.packModel &&
           a.expiry == b.expiry;
}

// What the books say happened to a code that has left.
QString LeftAs(const QString& state) {
    if (state == kSold)
        return QStringLiteral("售出");
    if (state == kOpened)
        return QStringLiteral("拆零销售");
    return state; // 报损, 退货
}

QString Busy(const QString& code) {
    return QStringLiteral("追溯码 %1 正被别的柜台改动，请再试一次").arg(code);
}

// The codes as the books keep them, or the refusal of the first that is none or repeated.
CStep Normalize(const QStringList& codes, QStringList* normalized) {
    for (const QString& typed : codes) {
        const QString code = tracecode::Normalized(typed);
        if (code.isEmpty())
            return {tracecode::Problem(typed), typed.trimmed()};
        if (normalized->contains(code))
            return {QStringLiteral("追溯码 %1 扫了两次，一盒只有一个追溯码").arg(code), code};
        *normalized << code;
    }
    return {};
}

long long CountOf(CDatabase& db, const CStatement& statement) {
    CRecordset count(&db);
    count.Open(statement.sql, statement.values);
    return count.Fetch() ? count.GetFieldValue(0).value_or(QString()).toLongLong() : 0;
}

// The movements an entry writes, numbered after those it wrote before. Counted at the first
// one, after a write, so that SQLite reads under the write lock.
class CMoves {
public:
    CMoves(CDatabase& db, CTransaction& step, const CMove& move)
        : m_db(db), m_step(step), m_move(move) {}
    void Add(const QString& code, const QString& action, double quantity) {
        if (!m_placed)
            m_placed = CountOf(m_db, tracesql::CountMoves(m_move.entryNumber));
        m_step.Execute(tracesql::InsertMove(code, action, quantity, ++*m_placed, m_move));
    }

private:
    CDatabase& m_db;
    CTransaction& m_step;
    const CMove& m_move;
    std::optional<long long> m_placed;
};

// A code first seen as it leaves enters the books; false when another counter entered it
// first (then it is read again).
bool Entered(CTransaction& step, const CStatement& insert) {
    return step.Execute(insert) == 1;
}

// One whole box out as `state`.
CStep TakeBox(CDatabase& db, CTransaction& step, CMoves& moves, const QString& code,
              const CCard& card, const QString& state, const QString& action, const QString& intent,
              const CMove& move) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // One conditional statement decides: a second counter finds the box gone.
        if (step.Execute(tracesql::TakeInStock(code, card, state, 0, move)) == 1 ||
            (!Find(db, code) && Entered(step, tracesql::InsertTaken(code, card, state, 0, move)))) {
            moves.Add(code, action, 1);
            return {};
        }
        if (const std::optional<CCodeRow> row = Find(db, code)) {
            const QString refusal = Refusal(*row, card, intent);
            if (!refusal.isEmpty())
                return {refusal, code};
        }
    }
    return {Busy(code), code};
}

CStep TakeBoxes(CDatabase& db, const QStringList& codes, const CCard& card, const QString& state,
                const QString& action, const QString& intent, const CMove& move) {
    QStringList normalized;
    if (CStep problem = Normalize(codes, &normalized); !problem.ok())
        return problem;
    if (normalized.isEmpty())
        return {};
    CTransaction step(db);
    CMoves moves(db, step, move);
    for (const QString& code : normalized) {
        CStep taken = TakeBox(db, step, moves, code, card, state, action, intent, move);
        if (!taken.ok())
            return taken;
    }
    (void)step.Commit();
    return {};
}

// Pieces are counted to a millionth, so that what is left of a box reads back as stored.
double Pieces(double value) {
    return std::round(value * 1e6) / 1e6;
}

QString PieceText(double pieces) {
    return sqltext::Exact(pieces);
}

// Takes `pieces` from the opened box `code` that held `were`; false when it changed meanwhile.
bool TakeFromOpened(CTransaction& step, CMoves& moves, const QString& code, double were,
                    double pieces, const CMove& move) {
    const double left = Pieces(were - pieces);
    const bool empty = left <= 0;
    if (step.Execute(tracesql::TakeFromOpened(code, were, empty ? kSold : kOpened,
                                              empty ? 0.0 : left, move)) != 1)
        return false;
    moves.Add(code, kActionSplit, pieces);
    return true;
}

struct COpenedBox {
    QString code;
    double left = 0;
};

std::optional<COpenedBox> OpenedBox(CDatabase& db, const CCard& card, double pieces) {
    const CStatement select = tracesql::SelectOpened(card, pieces);
    CRecordset box(&db);
    box.Open(select.sql, select.values);
    if (!box.Fetch())
        return std::nullopt;
    return COpenedBox{box.GetFieldValue(0).value_or(QString()),
                      box.GetFieldValue(1).value_or(QString()).toDouble()};
}

// Pieces without a code: from the card's opened box that holds them.
CStep PiecesFromOpenedBox(CDatabase& db, CTransaction& step, CMoves& moves, const CCard& card,
                          double pieces, bool codeRequired, const CMove& move) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::optional<COpenedBox> box = OpenedBox(db, card, pieces);
        if (!box) {
            if (codeRequired)
                return {QStringLiteral("没有拆零中的药盒还有 %1 个，请扫描要拆的药盒的追溯码")
                            .arg(PieceText(pieces))};
            return {};
        }
        if (TakeFromOpened(step, moves, box->code, box->left, pieces, move))
            return {};
    }
    return {QStringLiteral("%1 拆零中的药盒正被别的柜台改动，请再试一次").arg(CardText(card))};
}

// Pieces from the box of `code`: its opened box, or the box it opens.
CStep PiecesFromCode(CDatabase& db, CTransaction& step, CMoves& moves, const QString& code,
                     const CCard& card, double pieces, double piecesPerBox, const CMove& move) {
    const double left = Pieces(piecesPerBox - pieces);
    const QString state = left > 0 ? kOpened : kSold;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (step.Execute(tracesql::TakeInStock(code, card, state, std::max(left, 0.0), move)) ==
            1) {
            moves.Add(code, kActionSplit, pieces);
            return {};
        }
        std::optional<CCodeRow> row = Find(db, code);
        if (!row) {
            if (Entered(step,
                        tracesql::InsertTaken(code, card, state, std::max(left, 0.0), move))) {
                moves.Add(code, kActionSplit, pieces);
                return {};
            }
            continue;
        }
        if (row->state == kOpened && SameCard(row->card, card)) {
            if (row->piecesLeft < pieces)
                return {QStringLiteral("这盒只剩 %1 个，不够拆零销售的 %2 个")
                            .arg(PieceText(row->piecesLeft), PieceText(pieces)),
                        code};
            if (TakeFromOpened(step, moves, code, row->piecesLeft, pieces, move))
                return {};
            continue;
        }
        const QString refusal = Refusal(*row, card, kIntentSale);
        if (!refusal.isEmpty())
            return {refusal, code};
    }
    return {Busy(code), code};
}

} // namespace

bool HasLeft(const QString& state) {
    return state == kSold || state == kWrittenOff || state == kReturned;
}

QString Refusal(const CCodeRow& row, const CCard& card, const QString& intent) {
    if (HasLeft(row.state))
        return QStringLiteral("该追溯码已于 %1 %2%3（单号 %4），不能再次%5")
            .arg(Minutes(row.outTime), ByWhom(row.outOperator), LeftAs(row.state), row.outNumber,
                 intent);
    if (!SameCard(row.card, card))
        return QStringLiteral("该追溯码属于 %1，不是正在%2的药品").arg(CardText(row.card), intent);
    if (row.state == kOpened)
        return QStringLiteral("该追溯码的药盒已拆零，不能整盒%1").arg(intent);
    return {};
}

std::optional<CCodeRow> Find(CDatabase& db, const QString& code) {
    const CStatement select = tracesql::SelectCode(code);
    CRecordset rows(&db);
    rows.Open(select.sql, select.values);
    if (!rows.Fetch())
        return std::nullopt;
    const auto text = [&rows](short column) {
        return rows.GetFieldValue(column).value_or(QString());
    };
    CCodeRow row;
    row.code = text(0);
    row.card = {text(1), text(2), text(3), text(4), text(5)};
    row.state = text(6);
    row.piecesLeft = text(7).toDouble();
    row.purchaseNumber = text(8);
    row.inTime = text(9);
    row.outNumber = text(10);
    row.outTime = text(11);
    row.outOperator = text(12);
    row.inOperator = text(13);
    return row;
}

CStep Capture(CDatabase& db, const QStringList& codes, const CCard& card, const CMove& move) {
    QStringList normalized;
    if (CStep problem = Normalize(codes, &normalized); !problem.ok())
        return problem;
    if (normalized.isEmpty())
        return {};
    CTransaction step(db);
    for (const QString& code : normalized) {
        if (step.Execute(tracesql::InsertCaptured(code, card, move)) == 1)
            continue;
        const std::optional<CCodeRow> row = Find(db, code);
        if (!row)
            throw CDBException(QStringLiteral("追溯码 %1 既没有记下，也不在账上\n").arg(code));
        if (!row->purchaseNumber.isEmpty())
            return {
                QStringLiteral("追溯码 %1 已于 %2 %3入库（单号 %4），不能重复入库")
                    .arg(code, Minutes(row->inTime), ByWhom(row->inOperator), row->purchaseNumber),
                code};
        return {QStringLiteral("追溯码 %1 已于 %2 %3%4（单号 %5），不能再入库")
                    .arg(code, Minutes(row->outTime), ByWhom(row->outOperator), LeftAs(row->state),
                         row->outNumber),
                code};
    }
    (void)step.Commit();
    return {};
}

CStep Sell(CDatabase& db, const QStringList& codes, const CCard& card, const CMove& move) {
    return TakeBoxes(db, codes, card, kSold, kActionSold, kIntentSale, move);
}

CStep SellPieces(CDatabase& db, const QString& code, const CCard& card, double pieces,
                 double piecesPerBox, bool codeRequired, const CMove& move) {
    if (!(pieces > 0) || !std::isfinite(pieces))
        return {QStringLiteral("拆零销售的数量应大于 0")};
    if (!(piecesPerBox > 0) || !std::isfinite(piecesPerBox))
        return {QStringLiteral("每盒总量应大于 0，请先在药品目录里填好")};
    QString normalized;
    if (!code.trimmed().isEmpty()) {
        normalized = tracecode::Normalized(code);
        if (normalized.isEmpty())
            return {tracecode::Problem(code), code.trimmed()};
        if (pieces > piecesPerBox)
            return {QStringLiteral("拆零销售的 %1 个超过一盒的 %2 个，请按整盒销售")
                        .arg(PieceText(pieces), PieceText(piecesPerBox)),
                    normalized};
    }
    CTransaction step(db);
    CMoves moves(db, step, move);
    const CStep taken =
        normalized.isEmpty()
            ? PiecesFromOpenedBox(db, step, moves, card, pieces, codeRequired, move)
            : PiecesFromCode(db, step, moves, normalized, card, pieces, piecesPerBox, move);
    if (taken.ok())
        (void)step.Commit();
    return taken;
}

CStep TakeOut(CDatabase& db, const QStringList& codes, const CCard& card, const QString& state,
              const CMove& move) {
    if (state != kWrittenOff && state != kReturned)
        return {QStringLiteral("追溯码只能以报损或退货离开，不能以“%1”").arg(state)};
    return TakeBoxes(db, codes, card, state, state, state, move);
}

void PutBack(CDatabase& db, const QString& saleNumber, const CMove& move) {
    struct CTaken {
        QString code;
        QString action;
        double quantity = 0;
    };
    std::vector<CTaken> taken;
    {
        const CStatement select = tracesql::SelectMovesOf(saleNumber);
        CRecordset rows(&db);
        rows.Open(select.sql, select.values);
        while (rows.Fetch())
            taken.push_back({rows.GetFieldValue(0).value_or(QString()),
                             rows.GetFieldValue(1).value_or(QString()),
                             rows.GetFieldValue(2).value_or(QString()).toDouble()});
    }
    if (taken.empty())
        return;
    CTransaction step(db);
    CMoves moves(db, step, move);
    for (const CTaken& t : taken) {
        const bool whole = t.action == kActionSold;
        const CStatement back = whole ? tracesql::ReturnBox(t.code, saleNumber)
                                      : tracesql::ReturnPieces(t.code, t.quantity);
        if ((whole || t.action == kActionSplit) && step.Execute(back) == 1)
            moves.Add(t.code, kActionReversed, -t.quantity);
    }
    (void)step.Commit();
}

QStringList CodesOf(CDatabase& db, const QString& entryNumber) {
    const CStatement select = tracesql::SelectCodesOf(entryNumber);
    CRecordset rows(&db);
    rows.Open(select.sql, select.values);
    QStringList codes;
    while (rows.Fetch())
        codes << rows.GetFieldValue(0).value_or(QString());
    return codes;
}

std::optional<CCard> CardInStock(CDatabase* db, const QString& code, QString* failure) {
    if (failure)
        failure->clear();
    const QString normalized = tracecode::Normalized(code);
    if (!db || normalized.isEmpty())
        return std::nullopt;
    try {
        const std::optional<CCodeRow> row = Find(*db, normalized);
        if (row && (row->state == kInStock || row->state == kOpened))
            return row->card;
    } catch (const CDBException& e) {
        if (failure)
            *failure = QStringLiteral("读不出追溯码：") + e.ErrorText();
    }
    return std::nullopt;
}

} // namespace traceledger
