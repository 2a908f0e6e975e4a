#pragma once
// Taking an opening-stock file into the books: what it will come to, whether the same file came
// in before, and the import itself, in one transaction, each batch as a purchase.
#include "import_batch.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

class CDatabase;

namespace stockimport {

// 编号 and 大类 of every purchase an import writes.
extern const QString kOpeningCode;
// 动作 of the import's own log row.
extern const QString kImportAction;

// What the rows without a fault will write, for the preview.
struct CImportSummary {
    int rows = 0;         // every row read
    int faulty = 0;       // rows with a fault, left out
    int newDrugs = 0;     // drugs the catalogue lacks
    int cardsCreated = 0; // cards that do not exist yet
    int cardsAddedTo = 0; // cards that exist and are re-averaged
    double boxes = 0;
    long long costCents = 0; // 进价 × 数量 of each row, to the fen, summed
};

// Marks as faulty each row whose 条形码 the catalogue, or an earlier row of the file, gives to
// another drug: the catalogue keeps a code to one drug. Throws CDBException.
void MarkCodeConflicts(CDatabase& db, CImportBatches& batches);

// Reads the catalogue's and the cards' keys once; writes nothing. `becomes`, when given, gets
// per batch what it will become ("新药品 · 新库存卡", "加入已有库存卡"; empty for a faulty one).
// Throws CDBException.
CImportSummary Summarize(CDatabase& db, const CImportBatches& batches,
                         std::vector<QString>* becomes = nullptr);

// The file's SHA-256, lower-case hexadecimal: how an import knows the same file again.
QString FileDigest(const QByteArray& bytes);

struct CEarlierImport {
    QString time;         // as the log keeps it
    QString operatorName; // who imported it
};
// When and by whom the file of `digest` was imported before; nullopt when never. Throws
// CDBException.
std::optional<CEarlierImport> EarlierImport(CDatabase& db, const QString& digest);

struct CImportOutcome {
    bool written = false;
    QString failure; // why nothing was written; for a row, "第 n 行：…"
    int rows = 0;    // batches written
    int newDrugs = 0;
    int cardsCreated = 0;
    int cardsAddedTo = 0;
    int drugsFilled = 0; // catalogue rows that took a price, a class … from the file
    double boxes = 0;
    long long costCents = 0;
};

// Writes every batch of `batches` (none faulty: the caller leaves those out) as a purchase with
// 编号 "期初" by `operatorName` at `now`, fills what the catalogue lacks from the file, and logs
// the import with `fileName` and `digest`: all in one transaction, or nothing.
CImportOutcome WriteImport(CDatabase& db, const QString& fileName, const QString& digest,
                           const CImportBatches& batches, const QString& operatorName,
                           const QDateTime& now);

} // namespace stockimport
