#pragma once
// The statements of the record queries, the sales reports and the stock statistics, filled with
// the texts the condition dialogs give. Date texts enter as the pickers display them.
#include "sql_params.h"

#include <QDate>
#include <QString>

class CDatabase;

namespace reportsql {

// What the statements must allow for on PostgreSQL: its LIKE takes a backslash as its escape
// character, and a division by zero fails the whole statement where SQLite gives NULL.
bool OnPostgreSQL(const CDatabase* db);

// What the user typed into the four fields of the stock query, as typed.
struct StockPatterns {
    QString name;
    QString origin;
    QString packModel;
    QString expiry;
};

// 查询采购记录: purchase dates from `from` to `to`, no time of day added.
QString PurchaseQuery(const QString& from, const QString& to);
// 查询销售记录 and the detail rows of every sales report: the whole days from `from` to `to`.
QString SalesQuery(const QString& from, const QString& to);
// 查询库存: every non-empty pattern must occur in its column; '%' and '_' stay wildcards. Each
// pattern is bound, between its percent signs.
// `backslashEscapes`: the database's LIKE takes "\\" as its escape character (PostgreSQL).
CStatement StockQuery(const StockPatterns& patterns, bool backslashEscapes = false);

// The sales reports' detail rows (the same text as the sales query).
QString SalesDetail(const QString& from, const QString& to);
// The sales reports' four figures: turnover, total cost, net profit, profit rate in percent.
// `guardDivisors`: a zero divisor gives NULL, as on SQLite, instead of failing (PostgreSQL).
QString SalesSummary(const QString& from, const QString& to, bool guardDivisors = false);

// The stock statistics; `guardDivisors` as for the summary, so that a drug with nothing on
// hand shows an empty cell instead of emptying the whole list.
QString ExpiryCheck();
QString ShortageCheck(bool guardDivisors = false);
QString AverageCost(bool guardDivisors = false);
QString TotalStockCost();

// 药品预警: the stock cards with stock on hand that expired before `today` ("已过期"), those that
// expire from `today` to `nearExpiryDays` later ("近效期"), the drugs whose stock in cards that
// have not expired is below `shortageBoxes` ("库存不足", sold-out drugs included), and cards with
// stock whose 有效截止日期 is no date ("日期无效"), in that order. Columns: 预警, 名称, 产地,
// 规格型号, 有效截止日期, 现有存货量, 剩余天数 (days to expiry, negative when past; empty for a
// drug). Dates compare as "yyyy-MM-dd" texts computed here, so both databases give the same
// rows; `postgres` chooses how a date text is checked and its days reckoned.
// `ordered`: in the list's order (the counts need none).
QString StockAlerts(const QDate& today, int nearExpiryDays, double shortageBoxes, bool postgres,
                    bool ordered = true);

// 月采购报表 and 年采购报表: the purchases of the whole days from `from` to `to`.
QString PurchaseReport(const QString& from, const QString& to);

// 损耗报表: the 损 rows of the whole days from `from` to `to`, oldest first, with 成本金额
// (数量 × 成本单价) right after 成本单价.
QString LossReport(const QString& from, const QString& to);

// 交班报表: per 营业员 of the sales of the whole day `day` (one of them only when `clerk` is
// given, and bound), the count, the split-pack count, the sum of 实收金额 and the first and last
// 日期时间. Columns: 营业员, 笔数, 拆零笔数, 营业额, 首笔, 末笔; in no promised order.
CStatement ShiftReport(const QString& day, const QString* clerk = nullptr);
// The names an operator chooser offers for `day`: every 操作员 and every 营业员 of its sales.
QString ShiftOperators(const QString& day);
// 交班报表 by payment: per 营业员 and 支付方式 the sum of 实收金额 of `day` (one 营业员 only when
// `clerk` is given, and bound). A reversal counts under the method of the sale it reverses: the
// money went back the way it came. Columns: 营业员, 支付方式 ('' not paid yet), 金额.
CStatement ShiftPayments(const QString& day, const QString* clerk = nullptr);
// The 内容 of the 交班 log rows written from `day` on, for finding a second 交班.
QString ShiftHandOvers(const QString& day);

} // namespace reportsql
