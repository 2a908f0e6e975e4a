#include "stock_reconciliation.h"

#include "sql_text.h"

#include <cmath>

namespace stockreconciliation {

CStatement Columns() {
    return {QStringLiteral("SELECT 名称,产地,规格型号,有效截止日期,现有存货量 AS 账上存货量,"
                           "现有存货量 AS 按进销损应有,现有存货量 AS 差额,名称 AS 核对 FROM 存 "
                           "WHERE 1=0"),
            {}};
}

std::vector<QStringList> Rows(const auditlog::CLedgerCheck& check) {
    std::vector<QStringList> differing, agreeing;
    for (const auditlog::CCardReconciliation& card : check.cards) {
        QStringList row = card.card;
        const double books = card.inBooks.value_or(0);
        row << (card.inBooks ? sqltext::Exact(books) : QStringLiteral("（不在账上）"))
            << sqltext::Exact(card.fromMovements)
            << sqltext::Exact(std::round((books - card.fromMovements) * 1e6) / 1e6)
            << (card.Differs() ? QStringLiteral("不符") : QStringLiteral("相符"));
        (card.Differs() ? differing : agreeing).push_back(row);
    }
    differing.insert(differing.end(), agreeing.begin(), agreeing.end());
    return differing;
}

QString NothingToReconcile(const auditlog::CLedgerCheck& check) {
    if (check.hasOpening)
        return {};
    return QStringLiteral("账套没有期初记录（由较早的程序建立且尚未升级，或不是用本程序建立的），"
                          "无法核对库存。");
}

} // namespace stockreconciliation
