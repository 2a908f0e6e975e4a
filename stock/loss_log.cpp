#include "loss_log.h"

#include "loss_text.h"
#include "sql_text.h"

namespace losslog {

CLogEntry Loss(const losssql::Loss& l) {
    QString action = QStringLiteral("报损");
    if (l.reason == losstext::kReturn)
        action = QStringLiteral("退货");
    else if (l.reason == losstext::kShortfall || l.reason == losstext::kSurplus)
        action = QStringLiteral("盘点");
    // One pass over the values; the stored numbers as stored, the cost (not stored) in money.
    QString content = QStringLiteral("%1（%2，%3，有效期至 %4）%5 盒，原因 %6，成本单价 %7 元，"
                                     "成本 %8 元；日期时间 %9")
                          .arg(l.card.name, l.card.origin, l.card.packModel, l.card.expiry,
                               sqltext::Exact(l.quantity), l.reason, sqltext::Exact(l.unitCost),
                               losstext::Cost(l), l.timestamp);
    if (!l.destination.isEmpty())
        content += QStringLiteral("；去向 ") + l.destination;
    if (!l.note.isEmpty())
        content += QStringLiteral("；备注 ") + l.note;
    if (!l.traceCodes.isEmpty())
        content +=
            QStringLiteral("；追溯码 %1 个：%2")
                .arg(QString::number(l.traceCodes.size()), l.traceCodes.join(QStringLiteral("、")));
    return {l.operatorName,
            action,
            QStringLiteral("损"),
            content,
            l.number,
            CLoggedRow{CLoggedRow::Change::Added, QStringLiteral("损"), {l.number}, {}}};
}

} // namespace losslog
