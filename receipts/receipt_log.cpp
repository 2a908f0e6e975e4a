#include "receipt_log.h"

#include "CDBException.h"
#include "CTransaction.h"

namespace receiptlog {

CLogEntry Entry(const CReceipt& receipt, const QString& operatorName, const QString& where) {
    return {operatorName, receipt.reprint ? QStringLiteral("补打小票") : QStringLiteral("打印小票"),
            QStringLiteral("销"),
            QStringLiteral("小票号 %1，%2 笔销售，合计 %3 元；%4")
                .arg(receipt.number)
                .arg(receipt.items.size())
                .arg(receipt.Total(), where)};
}

QString Write(CDatabase& db, const CLogEntry& entry, const QDateTime& now) {
    try {
        CTransaction transaction(db);
        auditlog::Append(db, entry, now);
        // Once committed the row stands; auto-commit left off is switched back by the guard.
        (void)transaction.Commit();
        return {};
    } catch (const CDBException& e) {
        return e.ErrorText().trimmed();
    }
}

} // namespace receiptlog
