#include "receipt_print.h"

#include "receipt_content.h"
#include "receipt_files.h"
#include "receipt_log.h"
#include "receipt_render.h"
#include "receipt_text.h"

#include <QDir>
#include <QPrinterInfo>

namespace {

const QString kNothingToPrint = QStringLiteral("没有可打印的销售记录");
const QString kSalesKept = QStringLiteral("销售已经记录，可以稍后补打小票。");

CReceiptOutcome Failed(const QString& why) {
    return {false, why, {}};
}

} // namespace

CReceiptOutcome PrintReceipt(CDatabase& db, const QStringList& saleNumbers,
                             const QString& operatorName, bool reprint, const QDateTime& now,
                             std::optional<long long> tenderedCents) {
    return PrintReceipt(db, saleNumbers, operatorName, reprint, now, CReceiptSettings::Load(),
                        receiptfiles::Folder(db), tenderedCents);
}

CReceiptOutcome PrintReceipt(CDatabase& db, const QStringList& saleNumbers,
                             const QString& operatorName, bool reprint, const QDateTime& now,
                             const CReceiptSettings& settings, const QString& pdfFolder,
                             std::optional<long long> tenderedCents) {
    if (saleNumbers.isEmpty())
        return Failed(kNothingToPrint);
    QString failure;
    std::optional<CReceipt> receipt = receiptcontent::Load(db, saleNumbers, settings, reprint, now,
                                                           receiptcontent::CounterName(), &failure);
    if (receipt)
        receipt->tenderedCents = tenderedCents;
    if (!receipt) {
        if (failure.isEmpty())
            failure = QStringLiteral("数据库没有连接");
        return Failed(QStringLiteral("无法读取销售记录，小票没有打印：%1").arg(failure.trimmed()));
    }
    if (receipt->items.empty())
        return Failed(kNothingToPrint);

    const std::vector<CReceiptLine> lines =
        receipttext::Layout(*receipt, receipttext::ColumnsOf(settings.paper));
    CReceiptOutcome outcome;
    QString where;
    const bool toQueue = settings.printer != CReceiptSettings::kSaveAsPdf &&
                         QPrinterInfo::availablePrinterNames().contains(settings.printer);
    if (toQueue) {
        if (!receiptrender::Print(settings.printer, lines, settings.paper, receipt->number,
                                  &failure))
            return Failed(QStringLiteral("小票没有打印：%1。%2").arg(failure, kSalesKept));
        outcome.message = QStringLiteral("小票已送往打印机 %1").arg(settings.printer);
        where = QStringLiteral("打印机 %1").arg(settings.printer);
    } else {
        const QDir folder(pdfFolder);
        if (!folder.mkpath(QStringLiteral(".")))
            return Failed(QStringLiteral("无法创建文件夹“%1”，小票没有保存。%2")
                              .arg(QDir::toNativeSeparators(folder.absolutePath()), kSalesKept));
        const QString path = folder.absoluteFilePath(receiptfiles::PdfName(*receipt));
        if (!receiptrender::WritePdf(path, lines, settings.paper, receipt->number, &failure))
            return Failed(QStringLiteral("%1，小票没有保存。%2").arg(failure, kSalesKept));
        outcome.file = path;
        outcome.message = QStringLiteral("小票已保存：%1").arg(QDir::toNativeSeparators(path));
        if (settings.printer != CReceiptSettings::kSaveAsPdf)
            outcome.message.prepend(QStringLiteral("本机没有打印机“%1”，").arg(settings.printer));
        where = QStringLiteral("PDF 文件 %1").arg(QDir::toNativeSeparators(path));
    }
    outcome.ok = true;
    const QString logged =
        receiptlog::Write(db, *receipt, receiptlog::Entry(*receipt, operatorName, where), now);
    if (!logged.isEmpty())
        outcome.message += QLatin1Char('\n') + logged;
    return outcome;
}

QStringList ReceiptPrinterChoices() {
    return QStringList{CReceiptSettings::kSaveAsPdf} + QPrinterInfo::availablePrinterNames();
}
