#include "receipt_files.h"

#include "CDatabase.h"
#include "connect_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace receiptfiles {

QString Folder(const CDatabase& db) {
    const QString books = SqliteBooksPath(db.ConnectString());
    if (!books.isEmpty())
        return QFileInfo(books).absoluteDir().filePath(QStringLiteral("receipts"));
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/apricot/receipts");
}

QString PdfName(const CReceipt& receipt) {
    if (!receipt.reprint)
        return receipt.number + QStringLiteral(".pdf");
    const QString at =
        QDateTime::fromString(receipt.printedAt, QStringLiteral("yyyy-MM-dd HH:mm:ss"))
            .toString(QStringLiteral("yyyyMMddHHmmss"));
    return receipt.number + QStringLiteral("-补打-") + at + QStringLiteral(".pdf");
}

} // namespace receiptfiles
