#include "receipt_log.h"

#include "CDBException.h"
#include "CDatabase.h"
#include "CTransaction.h"
#include "entry_lookup.h"
#include "entry_number.h"

namespace receiptlog {

CLogEntry Entry(const CReceipt& receipt, const QString& operatorName, const QString& where) {
    return {operatorName, receipt.reprint ? QStringLiteral("补打小票") : QStringLiteral("打印小票"),
            QStringLiteral("销"),
            QStringLiteral("小票号 %1，%2 笔销售，合计 %3 元；%4")
                .arg(receipt.number, QString::number(receipt.items.size()), receipt.Total(), where),
            entrynumber::Next()};
}

QString Write(CDatabase& db, const CReceipt& receipt, const CLogEntry& entry,
              const QDateTime& now) {
    std::optional<CDBException> commitLost;
    try {
        CTransaction transaction(db);
        QStringList numbered;
        if (receipt.numberMade) {
            // A sale another counter numbered meanwhile keeps its number.
            for (const CReceiptItem& item : receipt.items)
                if (transaction.Execute(QStringLiteral("UPDATE 销 SET 小票号=? WHERE ") +
                                            entrynumber::ByNumber() +
                                            QStringLiteral(" AND 小票号=''"),
                                        {receipt.number, item.saleNumber}) == 1)
                    numbered << item.saleNumber;
        }
        // Each sale given the number is held by a log row of its own, numbered as parts of
        // the receipt's entry, so the books still match their log.
        for (qsizetype i = 0; i < numbered.size(); ++i)
            auditlog::Append(
                db,
                CLogEntry{
                    entry.operatorName, QStringLiteral("记小票号"), QStringLiteral("销"),
                    QStringLiteral("单号 %1 记小票号 %2").arg(numbered[i], receipt.number),
                    entrynumber::Part(entry.entryNumber, int(i) + 1),
                    CLoggedRow{
                        CLoggedRow::Change::Changed, QStringLiteral("销"), {numbered[i]}, {}}},
                now);
        auditlog::Append(db, entry, now);
        // Once committed the row stands; auto-commit left off is switched back by the guard.
        commitLost = entrylookup::CommitUnlessLost(transaction);
    } catch (const CDBException& e) {
        return QStringLiteral("日志没有写入：%1").arg(e.ErrorText().trimmed());
    }
    if (!commitLost)
        return {};
    // Looked up once the transaction is gone: the row is in the log by its own number, or not.
    return QStringLiteral("小票日志：%1")
        .arg(entrylookup::Reported(
            entrylookup::InBooks(&db, QStringLiteral("日志"), entry.entryNumber),
            commitLost->ErrorText()));
}

} // namespace receiptlog
