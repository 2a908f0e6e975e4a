#pragma once
// The statements of the trace ledger (追溯码, 追溯码去向, 账套设置): names and marks only, every
// value bound.
#include "sql_params.h"
#include "trace_ledger.h"

#include <QString>

namespace tracesql {

// A code's row: the columns of CCodeRow in its order, with who brought it in (进.录入员).
CStatement SelectCode(const QString& code);
// A box of `card` in stock, brought by `move`. A code already in the books changes no row: the
// row count decides, without an error that would spoil the caller's transaction.
CStatement InsertCaptured(const QString& code, const traceledger::CCard& card,
                          const traceledger::CMove& move);
// A code first seen as it leaves: in `state`, with `piecesLeft` when an opened box. No row
// when another counter entered it first.
CStatement InsertTaken(const QString& code, const traceledger::CCard& card, const QString& state,
                       double piecesLeft, const traceledger::CMove& move);
// Takes a box of `card` that is in stock: changes one row or none.
CStatement TakeInStock(const QString& code, const traceledger::CCard& card, const QString& state,
                       double piecesLeft, const traceledger::CMove& move);
// Takes pieces from an opened box whose 剩余 is still `piecesWere`: one row or none.
CStatement TakeFromOpened(const QString& code, double piecesWere, const QString& state,
                          double piecesLeft, const traceledger::CMove& move);
// The card's opened box with the fewest pieces left that still holds `pieces`.
CStatement SelectOpened(const traceledger::CCard& card, double pieces);
// A code's movement out, `place` its position in the entry.
CStatement InsertMove(const QString& code, const QString& action, double quantity, long long place,
                      const traceledger::CMove& move);
// The moves of an entry: 追溯码, 动作, 数量, in the order taken.
CStatement SelectMovesOf(const QString& entryNumber);
// A box the sale `saleNumber` took whole, back in stock: one row or none.
CStatement ReturnBox(const QString& code, const QString& saleNumber);
// Pieces a split sale took, back into their box (opened again if it was emptied): one row or
// none (the box has left otherwise since).
CStatement ReturnPieces(const QString& code, double pieces);
// How many codes an entry moved so far.
CStatement CountMoves(const QString& entryNumber);
// An entry's codes in the order taken.
CStatement SelectCodesOf(const QString& entryNumber);

} // namespace tracesql
