#pragma once
// Keeping the catalogue (药品, 药品条码) in step with what the other entries write: the rule that
// a code names one drug only, the drugs a card still names, and the drug a purchase brings in.
#include "audit_log.h"
#include "drug.h"

#include <QString>
#include <optional>
#include <vector>

class CDatabase;

namespace drugcatalogue {

extern const QString kCardsNameIt;

// What a code typed or scanned must not be: thirteen digits whose EAN-13 check digit is wrong
// (misread or mistyped). Empty when the code may be kept.
QString CodeProblem(const QString& code);
// What a catalogue row typed in the grid must not hold: a class or an ephedrine mark the
// catalogue does not know. Empty when it may be written.
QString ClassProblem(const QString& drugClass, const QString& ephedrine);

// A refusal when `code` already names a drug other than this one, in 药品 or 药品条码; empty
// when the code is free, empty or this drug's. Throws CDBException.
QString CodeTakenBy(CDatabase& db, const QString& code, const QString& name, const QString& origin,
                    const QString& packModel);

// Whether rows of `table` (a fixed name, never typed) still name the drug while 药品 has
// no row under these words: asked after a catalogue row was changed or deleted, in the same
// transaction. Throws CDBException.
bool StillNamedOutsideCatalogue(CDatabase& db, const QString& table, const QString& name,
                                const QString& origin, const QString& packModel);

// A refusal when the drug is no longer in the catalogue under these words but a card still
// names it. Throws CDBException.
QString CardsStillName(CDatabase& db, const QString& name, const QString& origin,
                       const QString& packModel);

// What bringing a purchased drug into the catalogue came to.
struct CPurchasedDrug {
    QString refusal;            // the purchase must not go on; nothing was written
    QString note;               // for the purchase's log row; empty when nothing changed
    std::vector<CLogEntry> log; // to append after the purchase's own log row
};

// Inside the purchase's transaction: a drug the catalogue lacks is added (with `code` as its
// first code, and the pieces its pack model names); a code new to a known drug becomes its
// first code or one of its further codes. Throws CDBException.
CPurchasedDrug EnterPurchased(CDatabase& db, const QString& name, const QString& origin,
                              const QString& packModel, const QString& code,
                              const QString& operatorName);
// The part of EnterPurchased for a drug the caller knows the catalogue lacks, with a code it
// knows no other drug has (an import checks both for the whole file at once): added without
// asking the catalogue first. Throws CDBException.
CPurchasedDrug EnterNew(CDatabase& db, const QString& name, const QString& origin,
                        const QString& packModel, const QString& code, const QString& operatorName);
// The row a drug just added by EnterNew holds.
CDrug NewDrug(const QString& name, const QString& origin, const QString& packModel,
              const QString& code);

// What a supplier's list or an opening-stock file says of a drug; nullopt or empty where it
// says nothing.
struct CDrugFacts {
    std::optional<double> boxPrice; // 零售价
    QString approval;               // 批准文号
    QString drugClass;              // 类别
    std::optional<double> piecesPerBox;
};

// Inside the caller's transaction: `facts` go into the drug's row only where it holds nothing
// of its own yet (零售价 0, 批准文号 empty, 类别 其他, 每盒总量 as its pack model or the table
// guessed it). The log row of the change; nullopt when nothing changed or the drug is not in
// the catalogue. Throws CDBException.
// `known`, when given, is the drug's row as the caller knows it, which spares reading it.
std::optional<CLogEntry> FillBlanks(CDatabase& db, const QString& name, const QString& origin,
                                    const QString& packModel, const CDrugFacts& facts,
                                    const QString& operatorName, const CDrug* known = nullptr);

} // namespace drugcatalogue
