#pragma once
// Printing a customer's receipt: the one call the sales entry, the reprint and the settings
// dialog need. It reads the sales, lays the receipt out on the paper of this counter's settings,
// sends it to the print queue or saves it as a PDF, and writes its log row. Of the sales it only
// ever sets the receipt's number: a receipt that fails leaves them recorded, to be reprinted.
#include "receipt_settings.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

class CDatabase;

struct CReceiptOutcome {
    bool ok = false;
    // What to tell the user: "小票已保存：/path/x.pdf", "小票已送往打印机 …", or why it failed.
    QString message;
    QString file; // the PDF's path when one was written
};

// The receipt of the sales numbered `saleNumbers` (单号 of 销), with the settings saved on this
// computer. Its first print stores its number with its sales; every reprint carries that one.
// `operatorName` signs the log row; `reprint` marks the receipt "补打". A print queue this computer
// does not have gives a PDF instead, and says so. PDFs go to the folder receiptfiles::Folder names.
// `tenderedCents`: what a customer paying cash handed over at 结账, printed with the change.
CReceiptOutcome PrintReceipt(CDatabase& db, const QStringList& saleNumbers,
                             const QString& operatorName, bool reprint,
                             const QDateTime& now = QDateTime::currentDateTime(),
                             std::optional<long long> tenderedCents = std::nullopt);
// The same with the settings and the PDF folder given.
CReceiptOutcome PrintReceipt(CDatabase& db, const QStringList& saleNumbers,
                             const QString& operatorName, bool reprint, const QDateTime& now,
                             const CReceiptSettings& settings, const QString& pdfFolder,
                             std::optional<long long> tenderedCents = std::nullopt);

// The choices of the settings dialog: CReceiptSettings::kSaveAsPdf, then this computer's
// print queues.
QStringList ReceiptPrinterChoices();
