#include "entry_statements.h"

#include "sql_text.h"

#include <QRegularExpression>

namespace entrysql {

namespace {

// The four texts that name a stock card, as the WHERE of its statements binds them.
const QString kCardKey =
    QStringLiteral(" WHERE 名称=? AND 产地=? AND 规格型号=? AND 有效截止日期=?");

} // namespace

CStatement InsertPurchase(const Purchase& p) {
    return {QStringLiteral("INSERT INTO 进(采购日期,采购人,大类,小类,编号,名称,产地,规格型号,批号,"
                           "有效截止日期,进价,数量,录入员,单号) "
                           "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
            {sqltext::Date(p.purchaseDate), p.purchaser, p.category, p.subCategory, p.code, p.name,
             p.origin, p.packModel, p.batch, sqltext::Date(p.expiry), p.price, p.quantity,
             p.enteredBy, p.number}};
}

CStatement InsertStockCard(const Purchase& p) {
    return {
        QStringLiteral("INSERT INTO 存(名称,产地,规格型号,有效截止日期,平均成本单价,现有存货量) "
                       "VALUES(?,?,?,?,?,?)"),
        {p.name, p.origin, p.packModel, sqltext::Date(p.expiry), p.price, p.quantity}};
}

CStatement ReaverageStockCard(const Purchase& p) {
    // The batch's cost is computed here; the division stays in the statement, where a card
    // and a batch both of 0 boxes fail it.
    return {QStringLiteral("UPDATE 存 SET 平均成本单价=(平均成本单价*现有存货量+?)/(现有存货量+?),"
                           "现有存货量=现有存货量+?") +
                kCardKey,
            {p.price * p.quantity, p.quantity, p.quantity, p.name, p.origin, p.packModel,
             sqltext::Date(p.expiry)}};
}

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
