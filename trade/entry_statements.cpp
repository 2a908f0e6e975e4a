#include "entry_statements.h"

#include "sql_text.h"

#include <QRegularExpression>
#include <initializer_list>
#include <stdexcept>

namespace entrysql {

namespace {

// Fills the template's "%s" marks in order, in one pass, so that a value holding "%s" stays
// as it is.
QString Fill(const char* templ, std::initializer_list<QString> values) {
    const QString text = QString::fromUtf8(templ);
    QString out;
    auto next = values.begin();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('%') && i + 1 < text.size() && text[i + 1] == QLatin1Char('s')) {
            if (next == values.end())
                throw std::logic_error("statement template has more marks than values");
            out += *next++;
            ++i;
        } else {
            out += text[i];
        }
    }
    if (next != values.end())
        throw std::logic_error("statement template has fewer marks than values");
    return out;
}

QString E(const QString& text) {
    return sqltext::Escape(text);
}
QString N(double value) {
    return sqltext::Number(value);
}

} // namespace

QString InsertPurchase(const Purchase& p) {
    return Fill(
        "INSERT INTO 进(采购日期,采购人,大类,小类,编号,名称,产地,规格型号,批号,有效截止日期,"
        "进价,数量,录入员) VALUES('%s','%s','%s','%s','%s','%s','%s','%s','%s','%s',%s,%s,'%s')",
        {sqltext::Date(p.purchaseDate), E(p.purchaser), E(p.category), E(p.subCategory), E(p.code),
         E(p.name), E(p.origin), E(p.packModel), E(p.batch), sqltext::Date(p.expiry), N(p.price),
         N(p.quantity), E(p.enteredBy)});
}

QString InsertStockCard(const Purchase& p) {
    return Fill("INSERT INTO 存(名称,产地,规格型号,有效截止日期,平均成本单价,现有存货量) "
                "VALUES('%s','%s','%s','%s',%s,%s)",
                {E(p.name), E(p.origin), E(p.packModel), sqltext::Date(p.expiry), N(p.price),
                 N(p.quantity)});
}

QString ReaverageStockCard(const Purchase& p) {
    return Fill("UPDATE 存 SET 平均成本单价=(平均成本单价*现有存货量+%s*%s)/(现有存货量+%s),"
                "现有存货量=现有存货量+%s WHERE 名称='%s' AND 产地='%s' AND 规格型号='%s' AND "
                "有效截止日期='%s'  ",
                {N(p.price), N(p.quantity), N(p.quantity), N(p.quantity), E(p.name), E(p.origin),
                 E(p.packModel), sqltext::Date(p.expiry)});
}

namespace {

// Every row of 进 equal to the purchase in all twelve columns.
QString PurchaseRows(const Purchase& p) {
    return Fill("进 WHERE 采购日期='%s' AND 采购人='%s' AND 大类='%s' AND 小类='%s' "
                "AND 编号='%s' AND 名称='%s' AND 产地='%s' AND 规格型号='%s' AND 批号='%s' AND "
                "有效截止日期='%s' AND 进价=%s AND 数量=%s",
                {sqltext::Date(p.purchaseDate), E(p.purchaser), E(p.category), E(p.subCategory),
                 E(p.code), E(p.name), E(p.origin), E(p.packModel), E(p.batch),
                 sqltext::Date(p.expiry), N(p.price), N(p.quantity)});
}

} // namespace

QString DeletePurchase(const Purchase& p) {
    return QStringLiteral("DELETE FROM ") + PurchaseRows(p);
}

QString CountPurchase(const Purchase& p) {
    return QStringLiteral("SELECT COUNT(*) FROM ") + PurchaseRows(p);
}

QString FindStockCard(const Sale& s) {
    return Fill("SELECT 名称,产地,规格型号,有效截止日期 FROM 存 WHERE 名称='%s' AND 产地='%s' AND "
                "规格型号='%s' AND 有效截止日期='%s'",
                {E(s.name), E(s.origin), E(s.packModel), E(s.expiry)});
}

bool IsAmount(const QString& text) {
    static const QRegularExpression amount(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    return amount.match(text).hasMatch();
}

QString InsertSale(const Sale& s) {
    // The amount goes in bare only when it is a plain decimal; anything else stays one literal,
    // which the number column refuses.
    const QString amount = IsAmount(s.amount) ? s.amount : sqltext::Quote(s.amount);
    return Fill(
        "INSERT INTO 销(日期时间,名称,产地,规格型号,有效截止日期,零售价,数量,销售类型,实收金额,"
        "坏帐,营业员) VALUES('%s','%s','%s','%s','%s',%s,%s/%s.0,'%s',%s,%s,'%s')",
        {E(s.timestamp), E(s.name), E(s.origin), E(s.packModel), E(s.expiry), N(s.price),
         sqltext::Count(s.quantity), sqltext::Count(s.piecesPerBox), E(s.saleType), amount,
         QStringLiteral("0"), E(s.clerk)});
}

QString LowerStock(const Sale& s) {
    return Fill("UPDATE 存 SET 现有存货量=现有存货量-%s/%s.0 WHERE 名称='%s' AND 产地='%s' AND "
                "规格型号='%s' AND 有效截止日期='%s'",
                {sqltext::Count(s.quantity), sqltext::Count(s.piecesPerBox), E(s.name), E(s.origin),
                 E(s.packModel), E(s.expiry)});
}

QString DeleteSale(const Sale& s) {
    return Fill("DELETE FROM 销 WHERE 日期时间='%s'", {E(s.timestamp)});
}

QString CountSale(const Sale& s) {
    return Fill("SELECT COUNT(*) FROM 销 WHERE 日期时间='%s' AND 名称='%s' AND 产地='%s' AND "
                "规格型号='%s' AND 有效截止日期='%s'",
                {E(s.timestamp), E(s.name), E(s.origin), E(s.packModel), E(s.expiry)});
}

QString ClampNegativeStock() {
    return QStringLiteral("UPDATE 存 set 现有存货量=0 WHERE 现有存货量<0");
}

} // namespace entrysql
