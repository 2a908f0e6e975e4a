#pragma once
// 库存核对: every card's stock in the books beside what its movements since the 期初 come to,
// the cards that differ first.
#include "ledger_check.h"
#include "sql_params.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace stockreconciliation {

// The grid's columns, from a statement that yields none of its rows: the rows are reckoned.
CStatement Columns();
// One row per card, in the columns' order: 名称, 产地, 规格型号, 有效截止日期, 账上存货量,
// 按进销损应有, 差额, 核对 ("不符" or "相符").
std::vector<QStringList> Rows(const auditlog::CLedgerCheck& check);
// Why there is nothing to reconcile against, or empty.
QString NothingToReconcile(const auditlog::CLedgerCheck& check);

} // namespace stockreconciliation
