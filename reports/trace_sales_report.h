#pragma once
// 追溯码销售明细: one row per code that left by a sale in a period — what the medical
// insurance's sales upload asks for — and the boxes sold whole without a code in that period.
#include "sql_params.h"

#include <QDate>
#include <QString>
#include <optional>

class CDatabase;

namespace tracesales {

// The rows of the whole days `from` to `to`: every 售出 and 拆零 move of 追溯码去向, oldest
// first. Columns: 追溯码, 名称, 规格型号, 批号, 有效期, 拆零 (是/否), 数量, 时间, 营业员, 单号.
CStatement Rows(const QDate& from, const QDate& to);

// Boxes sold whole in the period (reversals not counted) beyond the codes their sales took,
// and the codes of the rows that no purchase brought in (first seen at the sale). `postgres`:
// the bounds are cast to 销's time stamps there.
CStatement Counts(const QDate& from, const QDate& to, bool postgres);
struct CCounts {
    double boxesWithoutCode = 0;
    long long codesFirstSeenAtSale = 0;
};
// Runs it on `db`; nullopt and why in `failure` when the books cannot be read.
std::optional<CCounts> Count(CDatabase* db, const QDate& from, const QDate& to, QString* failure);

// The status line under the report: the rows, those first seen at the sale, and the boxes
// without a code.
QString StatusText(int codes, const CCounts& counts);

} // namespace tracesales
