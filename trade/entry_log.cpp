#include "entry_log.h"

#include "sql_text.h"

namespace entrylog {

// Every value goes in by one multi-argument arg(): a typed "%1" stays as typed. Numbers are
// written as stored, so the log row reads back as the row it records.

CLogEntry Sale(const entrysql::Sale& s, const QStringList& traceCodes) {
    const QString quantity =
        s.piecesPerBox == 1
            ? QString::number(s.quantity) + QStringLiteral(" 盒")
            : QStringLiteral("%1 件（每盒 %2 件）")
                  .arg(QString::number(s.quantity), QString::number(s.piecesPerBox));
    CLogEntry entry{
        s.clerk,
        QStringLiteral("销售"),
        QStringLiteral("销"),
        QStringLiteral("%1（%2，%3，有效期至 %4）%5，%6，零售价 %7 元，实收 %8 元；日期时间 %9")
            .arg(s.name, s.origin, s.packModel, s.expiry, quantity, s.saleType,
                 sqltext::Exact(s.price), s.amount, s.timestamp),
        s.number,
        CLoggedRow{CLoggedRow::Change::Added, QStringLiteral("销"), {s.number}, {}}};
    if (!traceCodes.isEmpty())
        entry.content += QStringLiteral("；追溯码 ") + traceCodes.join(QStringLiteral("、"));
    return entry;
}

} // namespace entrylog
