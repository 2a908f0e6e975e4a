#pragma once
// 追溯码查询: one box's whole story, read from the books — how it came in (the purchase and
// who bought it), every move out with who made it and on which receipt or write-off, and where
// it stands now.
#include "trace_ledger.h"

#include <QString>
#include <optional>
#include <vector>

class CDatabase;

namespace tracestory {

// The purchase that brought the box in, as 进 holds it.
struct CIntake {
    QString time;  // 采购日期
    QString buyer; // 采购人
};

// One move out of 追溯码去向, with what its entry says about it.
struct CMoveOut {
    QString action; // 售出, 拆零, 报损, 退货
    QString quantity;
    QString time;
    QString operatorName;
    QString entryNumber;
    QString clerk;   // the sale's 营业员; empty for a write-off
    QString receipt; // the sale's 小票号, once printed
    QString reason;  // the write-off's 原因
};

struct CStory {
    std::optional<traceledger::CCodeRow> code; // nullopt: the books have no such code
    std::optional<CIntake> intake;             // nullopt: first seen at the sale
    std::vector<CMoveOut> moves;               // oldest first
};

// The story of `typed` (as typed or scanned). nullopt when the code has the wrong shape or the
// books cannot be read; `failure` says which, for the user.
std::optional<CStory> Load(CDatabase* db, const QString& typed, QString* failure);

// The story as lines for the user.
QString Text(const CStory& story);

} // namespace tracestory
