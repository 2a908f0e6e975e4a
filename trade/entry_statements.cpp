#include "entry_statements.h"

#include "sql_text.h"

#include <QRegularExpression>

namespace entrysql {

namespace {

// The four texts that name a stock card, as the WHERE of its statements binds them.
const QString kCardKey =
    QStringLiteral(" WHERE 名称=? AND 产地=? AND 规格型号=? AND 有效截止日期=?");

} // namespace

CStatement FindStockCard(const Sale& s) {
    return {QStringLiteral("SELECT 名称,产地,规格型号,有效截止日期 FROM 存") + kCardKey,
            {s.name, s.origin, s.packModel, s.expiry}};
}

bool IsAmount(const QString& text) {
    static const QRegularExpression amount(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    return amount.match(text).hasMatch();
}

double Boxes(const Sale& s) {
    return double(s.quantity) / double(s.piecesPerBox);
}

CStatement InsertSale(const Sale& s) {
    // The amount goes as the text shown, which the number column reads exactly as typed.
    return {QStringLiteral("INSERT INTO 销(日期时间,名称,产地,规格型号,有效截止日期,零售价,数量,"
                           "销售类型,实收金额,坏帐,营业员,单号) VALUES(?,?,?,?,?,?,?,?,?,?,?,?)"),
            {s.timestamp, s.name, s.origin, s.packModel, s.expiry, s.price, Boxes(s), s.saleType,
             s.amount, 0.0, s.clerk, s.number}};
}

CStatement LowerStock(const Sale& s) {
    return {QStringLiteral("UPDATE 存 SET 现有存货量=现有存货量-?") + kCardKey,
            {Boxes(s), s.name, s.origin, s.packModel, s.expiry}};
}

} // namespace entrysql
