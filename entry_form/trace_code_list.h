#pragma once
// The trace codes a form lists, one box each, before its entry records them: what a scan adds,
// how the count reads, when the codes outnumber the boxes, and a code that has left the books.
// The purchase and the sale word it one way (kEntryCodes), the write-off its own.
#include "trace_ledger.h"

#include <QString>
#include <QStringList>

namespace tracelist {

// How a form words its list.
struct CWording {
    QString repeated; // a code listed already; %1 the code
    QString tooMany;  // more codes than boxes; %1 the codes, %2 the boxes
    QString (*boxesText)(double);
    // A part of a box counts as a whole one, in the count ("已扫 1/1" for 0.5) and the limit;
    // else the boxes count as typed.
    bool partIsBox = false;
};

// The purchase's and the sale's.
extern const CWording kEntryCodes;

// What adding a scanned or typed code to a form's list comes to.
struct CAdded {
    QString code;    // as the books keep it; empty when refused
    QString refusal; // why not, for the status line
};

// `typed` as the books keep it, unless it is no trace code or `listed` holds it already.
CAdded Added(const QStringList& listed, const QString& typed, const CWording& wording);
// "已扫 3/10": the codes listed against the boxes typed; "已扫 3" while a part of a box counts as
// one and the boxes are no number.
QString Counted(qsizetype codes, const QString& boxes, const CWording& wording);
// The refusal of more codes than boxes; empty when they fit.
QString TooMany(qsizetype codes, double boxes, const CWording& wording);
// Why `codes` cannot leave with `boxes` boxes (one of the wrong shape, one twice, too many);
// empty when they can, and `codes` come back as the books keep them.
QString Problem(QStringList& codes, double boxes, const CWording& wording);
// A code sold, written off or returned, as a sale's scan refuses it ("该追溯码已于 2026-12-08
// 10:31 由 张三 售出（单号 …），不能再次销售"); empty while the code may still be sold.
QString LeftRefusal(const traceledger::CCodeRow& row);

} // namespace tracelist
