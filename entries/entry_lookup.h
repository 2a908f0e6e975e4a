#pragma once
// An entry whose COMMIT reached the server but whose reply was lost may or may not be in the
// books. It is looked up by its own number (单号), never by its time or its values, so another
// counter's entry is never taken for it; and it keeps that number until its outcome is known,
// so pressing again can never record it twice.
#include "CDBException.h"

#include <QString>
#include <optional>

class CDatabase;
class CTransaction;

namespace entrylookup {

extern const QString kRecordedAfterLoss;
extern const QString kNotRecordedAfterLoss;
extern const QString kOutcomeUnknown;
extern const QString kAlreadyRecorded;

// Whether `table` holds a row numbered `number` (its 单号 column); nullopt when that cannot be
// read, and why in `failure`. (By entrynumber::ByNumber.) The log (日志) is
// looked up the same way: every entry writes its log row in its own transaction, so an entry that
// writes no row of its own is found there.
std::optional<bool> InBooks(CDatabase* db, const QString& table, const QString& number,
                            QString* failure = nullptr);

// What the user is told after a lost reply, with the driver's text after it: in the books, not
// in the books (to be entered again with `button`), or unknown (nullopt: the server is still
// gone).
QString Reported(std::optional<bool> inBooks, const QString& driverText,
                 const QString& button = QStringLiteral("添加"));

// Commits `transaction`. A connection lost on the way is returned, the entry being then in the
// books or not, to be looked up by its number once the transaction is gone; any other failure
// is thrown.
std::optional<CDBException> CommitUnlessLost(CTransaction& transaction);
// After such a loss, for an entry whose log row is numbered `number`: empty when that row is in
// the log, else what the user is told (Reported, with `button`).
QString LoggedAfterLoss(CDatabase* db, const QString& number, const CDBException& lost,
                        const QString& button);

// The number of an entry in the making. A number whose entry's outcome is unknown is kept, and
// the next try of the same entry uses it again: first looked up, and written only when it is
// surely not in the books, where the unique number would refuse a second row anyway.
class CPendingNumber {
public:
    // What a new try of the entry does first.
    struct CTry {
        enum class Step {
            Write,           // write the entry with `number`
            AlreadyRecorded, // the entry of the kept `number` is in the books: write nothing
            StillUnknown,    // the look-up could not be read (`failure`): write nothing
        };
        Step step = Step::Write;
        QString number;
        QString failure;
    };
    // The number this try uses. A kept number is looked up first in `table` (by its row
    // `part`, where the entry writes several rows numbered by entrynumber::Part): found, it is
    // forgotten; not found, the try writes with it and it is forgotten until Keep; not
    // readable, it stays kept.
    CTry BeforeTry(CDatabase* db, const QString& table, int part = 0);
    // The outcome of the try with `number` is unknown: keep it for the next try.
    void Keep(const QString& number) { m_kept = number; }
    // The entry is recorded, or surely not: the next entry gets a new number.
    void Forget() { m_kept.clear(); }
    bool Holds() const { return !m_kept.isEmpty(); }

private:
    QString m_kept;
};

} // namespace entrylookup
