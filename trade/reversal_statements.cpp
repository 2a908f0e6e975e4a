#include "reversal_statements.h"

#include "entry_number.h"
#include "result_table.h"

namespace reversalsql {

namespace {

// The reversing row of each sale comes with it, so a list can say which are reversed already.
const QString kColumns = QStringLiteral(
    "SELECT 单号,日期时间,名称,产地,规格型号,有效截止日期,零售价,数量,销售类型,实收金额,坏帐,"
    "营业员,小票号,冲正单号,(SELECT MIN(r.单号) FROM 销 r WHERE r.冲正单号=销.单号 AND "
    "r.冲正单号<>'') FROM 销 WHERE ");

// No negative zero in the books: "-0" would read as a stored quantity of its own.
double Negated(double value) {
    return value == 0 ? 0.0 : -value;
}

} // namespace

CStatement ByNumber(const QString& number) {
    return {kColumns + entrynumber::ByNumber(), {number}};
}

CStatement ByReceipt(const QString& receipt) {
    return {kColumns + QStringLiteral("小票号=? AND 小票号<>'' ORDER BY 日期时间,单号"), {receipt}};
}

std::vector<Sale> Read(const CResultTable& rows) {
    std::vector<Sale> sales;
    for (int r = 0; r < rows.RowCount(); ++r) {
        const auto text = [&rows, r](int c) { return rows.CellText(r, c); };
        // To the second on both backends, as the books are written.
        sales.push_back({text(0), text(1).left(19), text(2), text(3), text(4), text(5),
                         text(6).toDouble(), text(7).toDouble(), text(8), text(9).toDouble(),
                         text(10).toDouble(), text(11), text(12), text(13), text(14)});
    }
    return sales;
}

CStatement ReversalOf(const QString& number) {
    return {QStringLiteral("SELECT 单号 FROM 销 WHERE 冲正单号=? AND 冲正单号<>''"), {number}};
}

CStatement InsertReversal(const Sale& sale, const QString& stamp, const QString& clerk,
                          const QString& number) {
    return {QStringLiteral("INSERT INTO 销(日期时间,名称,产地,规格型号,有效截止日期,零售价,数量,"
                           "销售类型,实收金额,坏帐,营业员,单号,小票号,冲正单号) "
                           "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
            {stamp, sale.name, sale.origin, sale.packModel, sale.expiry, sale.price,
             Negated(sale.quantity), sale.saleType, Negated(sale.amount), Negated(sale.badDebt),
             clerk, number, QString(), sale.number}};
}

CStatement RaiseStock(const Sale& sale) {
    return {QStringLiteral("UPDATE 存 SET 现有存货量=现有存货量+? WHERE 名称=? AND 产地=? AND "
                           "规格型号=? AND 有效截止日期=?"),
            {sale.quantity, sale.name, sale.origin, sale.packModel, sale.expiry}};
}

} // namespace reversalsql
