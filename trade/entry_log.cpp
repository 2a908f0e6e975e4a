#include "entry_log.h"

#include "entry_fields.h"
#include "sql_text.h"

namespace entrylog {

CLogEntry Purchase(const entrysql::Purchase& p) {
    return {p.enteredBy, QStringLiteral("进货"), QStringLiteral("进"),
            QStringLiteral(
                "%1（%2，%3，批号 %4，有效期至 %5）%6 盒，进价 %7 元；采购人 %8，采购日期 %9；"
                "大类 %10，小类 %11，编号 %12")
                .arg(p.name, p.origin, p.packModel, p.batch, sqltext::Date(p.expiry),
                     entryfields::NumberText(p.quantity), entryfields::NumberText(p.price),
                     p.purchaser, sqltext::Date(p.purchaseDate))
                .arg(p.category, p.subCategory, p.code),
            p.number};
}

CLogEntry Sale(const entrysql::Sale& s) {
    const QString quantity =
        s.piecesPerBox == 1
            ? QStringLiteral("%1 盒").arg(s.quantity)
            : QStringLiteral("%1 件（每盒 %2 件）").arg(s.quantity).arg(s.piecesPerBox);
    return {s.clerk, QStringLiteral("销售"), QStringLiteral("销"),
            QStringLiteral("%1（%2，%3，有效期至 %4）%5，%6，零售价 %7 元，实收 %8 元；日期时间 %9")
                .arg(s.name, s.origin, s.packModel, s.expiry, quantity, s.saleType,
                     entryfields::NumberText(s.price), s.amount, s.timestamp),
            s.number};
}

} // namespace entrylog
