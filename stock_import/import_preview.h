#pragma once
// An opening-stock file read, parsed and held against the books before anything is written: what
// the window shows and the command line prints, and the import of the rows it found good.
#include "import_batch.h"
#include "import_write.h"

#include <QDateTime>
#include <QString>
#include <optional>

class CDatabase;

struct CImportPreview {
    QString path;
    QString fileName;
    QString digest;  // the file's SHA-256: the same file known again
    QString readAs;  // "GB18030 CSV，逗号分隔"
    QString refusal; // the file cannot be imported at all: unreadable, columns missing
    CImportBatches batches;
    stockimport::CImportSummary summary;
    // Per batch, what it will become ("新药品 · 新库存卡", "加入已有库存卡"); empty when faulty.
    std::vector<QString> becomes;
    // The same file imported before, when it was.
    std::optional<stockimport::CEarlierImport> earlier;

    // "200 行：新药品 150 种，新建库存卡 180 张，加入已有库存卡 20 张，共 3456 盒，成本 12345.67
    // 元；有误 2 行（不导入）：" and, on a line of their own, the first faults.
    QString SummaryText() const;
    // The rows without a fault.
    CImportBatches Good() const;
};

// Reads the file at `path` and holds it against the books on `db`; a failure to read the books
// is the preview's refusal. Writes nothing.
CImportPreview PreviewImport(CDatabase& db, const QString& path);

// The question before a file imported before is imported again.
QString AgainQuestion(const stockimport::CEarlierImport& earlier);
// What an import that landed wrote, for the user.
QString ImportedText(const stockimport::CImportOutcome& outcome);
