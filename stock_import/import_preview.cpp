#include "import_preview.h"

#include "CDBException.h"
#include "import_file.h"
#include "import_parse.h"
#include "money.h"
#include "sql_text.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString Boxes(double boxes) {
    return sqltext::Exact(boxes);
}

} // namespace

QString CImportPreview::SummaryText() const {
    QString text =
        QStringLiteral("%1 行：新药品 %2 种，新建库存卡 %3 张，加入已有库存卡 %4 张，"
                       "共 %5 盒，成本 %6 元")
            .arg(QString::number(summary.rows), QString::number(summary.newDrugs),
                 QString::number(summary.cardsCreated), QString::number(summary.cardsAddedTo),
                 Boxes(summary.boxes), money::Yuan(summary.costCents));
    if (summary.faulty == 0)
        return text;
    text += QStringLiteral("；有误 %1 行（不导入）：").arg(summary.faulty);
    // The first few named here, so that none hides below the fold of a long file.
    constexpr int kNamed = 5;
    QStringList named;
    for (const CImportBatch& b : batches)
        if (!b.fault.isEmpty() && named.size() < kNamed)
            named << b.fault;
    if (summary.faulty > kNamed)
        named << QStringLiteral("……");
    return text + QStringLiteral("\n") + named.join(QStringLiteral("；"));
}

CImportBatches CImportPreview::Good() const {
    CImportBatches good;
    for (const CImportBatch& b : batches)
        if (b.fault.isEmpty())
            good.push_back(b);
    return good;
}

CImportPreview PreviewImport(CDatabase& db, const QString& path) {
    CImportPreview preview;
    preview.path = path;
    preview.fileName = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        preview.refusal = QStringLiteral("无法打开文件 %1：%2").arg(path, file.errorString());
        return preview;
    }
    preview.digest = stockimport::FileDigest(file.readAll());
    file.close();
    const std::optional<CImportTable> table = ReadImportFile(path, &preview.refusal);
    if (!table)
        return preview;
    preview.readAs = table->readAs;
    std::optional<CImportBatches> batches = ParseBatches(*table, &preview.refusal);
    if (!batches)
        return preview;
    preview.batches = std::move(*batches);
    try {
        stockimport::MarkCodeConflicts(db, preview.batches);
        preview.summary = stockimport::Summarize(db, preview.batches, &preview.becomes);
        preview.earlier = stockimport::EarlierImport(db, preview.digest);
    } catch (const CDBException& e) {
        preview.refusal = QStringLiteral("无法读取账套：") + e.ErrorText().trimmed();
    }
    return preview;
}

QString AgainQuestion(const stockimport::CEarlierImport& earlier) {
    return QStringLiteral("这个文件已于 %1 由 %2 导入过。再导入一次会把其中的库存再加一遍。\n\n"
                          "确定要再导入一次吗？")
        .arg(earlier.time.left(19), earlier.operatorName);
}

QString ImportedText(const stockimport::CImportOutcome& outcome) {
    return QStringLiteral("期初库存已导入：%1 批，新药品 %2 种，新建库存卡 %3 张，加入已有库存卡 "
                          "%4 张，共 %5 盒，成本 %6 元。")
        .arg(QString::number(outcome.rows), QString::number(outcome.newDrugs),
             QString::number(outcome.cardsCreated), QString::number(outcome.cardsAddedTo),
             Boxes(outcome.boxes), money::Yuan(outcome.costCents));
}
