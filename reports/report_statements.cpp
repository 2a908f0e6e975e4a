#include "report_statements.h"

#include "CDatabase.h"
#include "sql_text.h"
#include "text_forms.h"

namespace reportsql {

namespace {

// One clause of the stock query: the pattern between its percent signs, as one literal. Where
// LIKE takes a backslash as its escape character (PostgreSQL) a typed one is doubled, so it
// stands for itself as it does on SQLite; "%" and "_" stay wildcards.
QString LikeClause(const QString& column, const QString& typed, bool backslashEscapes) {
    // Stored texts end in no blank: a typed trailing blank would hide the card it names.
    QString pattern = textforms::WithoutTrailingBlanks(typed);
    if (pattern.isEmpty())
        return {};
    if (backslashEscapes)
        pattern.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    return QStringLiteral(" AND ") + column + QStringLiteral(" like '%") +
           sqltext::Escape(pattern) + QStringLiteral("%'");
}

// The divisor of a division, guarded so that zero gives NULL.
QString Divisor(const QString& sum, bool guard) {
    return guard ? QStringLiteral("NULLIF(") + sum + QStringLiteral(",0)") : sum;
}

} // namespace

bool OnPostgreSQL(const CDatabase* db) {
    return db && db->GetDialect() == CDatabase::Dialect::PostgreSQL;
}

QString PurchaseQuery(const QString& from, const QString& to) {
    return QStringLiteral("SELECT * FROM 进 WHERE 采购日期 BETWEEN %1 AND %2")
        .arg(sqltext::Quote(from), sqltext::Quote(to));
}

QString SalesQuery(const QString& from, const QString& to) {
    return QStringLiteral("SELECT * FROM 销 WHERE 日期时间 ") + sqltext::WholeDayRange(from, to);
}

QString StockQuery(const StockPatterns& patterns, bool backslashEscapes) {
    return QStringLiteral("SELECT * FROM 存 WHERE 1>0") +
           LikeClause(QStringLiteral("名称"), patterns.name, backslashEscapes) +
           LikeClause(QStringLiteral("产地"), patterns.origin, backslashEscapes) +
           LikeClause(QStringLiteral("规格型号"), patterns.packModel, backslashEscapes) +
           LikeClause(QStringLiteral("有效截止日期"), patterns.expiry, backslashEscapes);
}

QString SalesDetail(const QString& from, const QString& to) {
    return SalesQuery(from, to);
}

QString SalesSummary(const QString& from, const QString& to, bool guardDivisors) {
    // The tab before the second AND is part of the statement as it has always been sent.
    return QStringLiteral("SELECT SUM(实收金额), SUM(存.平均成本单价*销.数量), "
                          "SUM(实收金额)-SUM(存.平均成本单价*销.数量),"
                          "(SUM(实收金额)-SUM(存.平均成本单价*销.数量))/") +
           Divisor(QStringLiteral("(SUM(存.平均成本单价*销.数量))"), guardDivisors) +
           QStringLiteral("*100.0 FROM 销,存 WHERE 销.日期时间 ") +
           sqltext::WholeDayRange(from, to) +
           QStringLiteral(" AND 销.名称 = 存.名称\tAND 销.产地 = 存.产地 AND 销.规格型号 = "
                          "存.规格型号 AND 销.有效截止日期 = 存.有效截止日期");
}

QString ExpiryCheck() {
    return QStringLiteral("SELECT 有效截止日期,名称,产地,规格型号,平均成本单价,现有存货量 FROM 存 "
                          "ORDER BY 有效截止日期 ASC");
}

QString ShortageCheck(bool guardDivisors) {
    return QStringLiteral("SELECT SUM(现有存货量) AS 现有存货总量,名称,产地,规格型号,"
                          "SUM(现有存货量*平均成本单价) AS 该药总成本, "
                          "SUM(现有存货量*平均成本单价)/") +
           Divisor(QStringLiteral("SUM(现有存货量)"), guardDivisors) +
           QStringLiteral(" AS 该药平均成本单价 FROM 存 GROUP BY 名称,产地,规格型号 ORDER BY "
                          "现有存货总量 ASC");
}

QString AverageCost(bool guardDivisors) {
    return QStringLiteral("SELECT 名称,产地,规格型号,SUM(平均成本单价*现有存货量)/") +
           Divisor(QStringLiteral("SUM(现有存货量)"), guardDivisors) +
           QStringLiteral(" AS 同类药品平均成本单价 FROM 存 GROUP BY 名称,产地,规格型号");
}

QString TotalStockCost() {
    return QStringLiteral(
        "SELECT SUM(现有存货量*平均成本单价) AS 库存总成本,COUNT(*) AS 药品种类 FROM 存");
}

QString PurchaseReport(const QString& from, const QString& to) {
    return QStringLiteral("SELECT * FROM 进 WHERE 采购日期 ") + sqltext::WholeDayRange(from, to);
}

} // namespace reportsql
