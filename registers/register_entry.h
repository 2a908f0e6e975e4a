#pragma once
// What the registers keep of one sale line, written in the sale's own transaction: the
// prescription it was sold on (written once, by the first line of 本单 that needs it) and the
// line's tie to it, and the buyer of an ephedrine product. Each with its log row.
#include "ephedrine.h"
#include "prescription.h"

#include <QDateTime>
#include <QString>

class CDatabase;

namespace registers {

// The sale line as it went into 销.
struct CSoldLine {
    QString number; // 销's 单号
    QString time;   // its 日期时间 as stored
    QString name;
    QString origin;
    QString packModel;
    QString expiry;
    QString operatorName;
};

// Writes what `line` needs in the registers: a prescription line when `onPrescription` is
// given, an ephedrine line when `buyer` is. The batch (批号) is the one of the codes the sale
// took, else the card's latest purchase. The log never holds the buyer's ID number whole.
// Throws CDBException; the caller's transaction then goes back with the sale.
void Write(CDatabase& db, const CSoldLine& line, const prescription::CPrescription* onPrescription,
           const ephedrine::CBuyer* buyer, const QDateTime& now);

} // namespace registers
