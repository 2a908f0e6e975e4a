#include "report_statements.h"

#include "CDatabase.h"
#include "sql_text.h"
#include "text_forms.h"

namespace reportsql {

namespace {

// One clause of the stock query, its pattern between percent signs bound to its mark. Where
// LIKE takes a backslash as its escape character (PostgreSQL) a typed one is doubled, so it
// stands for itself as it does on SQLite; "%" and "_" stay wildcards.
void AddLikeClause(CStatement& statement, const QString& column, const QString& typed,
                   bool backslashEscapes) {
    // Stored texts end in no blank: a typed trailing blank would hide the card it names.
    QString pattern = textforms::WithoutTrailingBlanks(typed);
    if (pattern.isEmpty())
        return;
    if (backslashEscapes)
        pattern.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    statement.sql += QStringLiteral(" AND ") + column + QStringLiteral(" like ?");
    statement.values.push_back(QLatin1Char('%') + pattern + QLatin1Char('%'));
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

CStatement StockQuery(const StockPatterns& patterns, bool backslashEscapes) {
    CStatement statement{QStringLiteral("SELECT * FROM 存 WHERE 1>0"), {}};
    AddLikeClause(statement, QStringLiteral("名称"), patterns.name, backslashEscapes);
    AddLikeClause(statement, QStringLiteral("产地"), patterns.origin, backslashEscapes);
    AddLikeClause(statement, QStringLiteral("规格型号"), patterns.packModel, backslashEscapes);
    AddLikeClause(statement, QStringLiteral("有效截止日期"), patterns.expiry, backslashEscapes);
    return statement;
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

namespace {

// Days since 1970-01-01 of the civil date y-m-d (y >= 1), in integer arithmetic both databases
// share (the days-from-civil algorithm).
QString DaysFromCivil(const QString& y, const QString& m, const QString& d) {
    const QString yy = QStringLiteral("(%1-(CASE WHEN %2<=2 THEN 1 ELSE 0 END))").arg(y, m);
    const QString era = QStringLiteral("(%1/400)").arg(yy);
    const QString yoe = QStringLiteral("(%1-%2*400)").arg(yy, era);
    const QString mp = QStringLiteral("(%1+(CASE WHEN %1>2 THEN -3 ELSE 9 END))").arg(m);
    const QString doy = QStringLiteral("((153*%1+2)/5+%2-1)").arg(mp, d);
    const QString doe = QStringLiteral("(%1*365+%1/4-%1/100+%2)").arg(yoe, doy);
    return QStringLiteral("(%1*146097+%2-719468)").arg(era, doe);
}

long long DaysFromCivil(const QDate& date) {
    return QDate(1970, 1, 1).daysTo(date);
}

} // namespace

QString StockAlerts(const QDate& today, int nearExpiryDays, double shortageBoxes, bool postgres,
                    bool ordered) {
    const QString y = QStringLiteral("CAST(SUBSTR(有效截止日期,1,4) AS INTEGER)");
    const QString m = QStringLiteral("CAST(SUBSTR(有效截止日期,6,2) AS INTEGER)");
    const QString d = QStringLiteral("CAST(SUBSTR(有效截止日期,9,2) AS INTEGER)");
    const QString monthDays =
        QStringLiteral("(CASE WHEN %1 IN (4,6,9,11) THEN 30 WHEN %1=2 THEN (CASE WHEN (%2%4=0 "
                       "AND %2%100<>0) OR %2%400=0 THEN 29 ELSE 28 END) ELSE 31 END)")
            .arg(m, y);
    // 1 for a "yyyy-MM-dd" text that names a day of year 1 or later, else 0. SQLite asks the
    // books' own date-time check (in C, far cheaper per card); the numbers are read only once
    // the text has the shape of a date.
    const QString valid =
        postgres
            ? QStringLiteral("(CASE WHEN 有效截止日期 ~ '^[0-9]{4}-[0-9]{2}-[0-9]{2}$' THEN (CASE "
                             "WHEN %1>=1 AND %2 BETWEEN 1 AND 12 AND %3 BETWEEN 1 AND %4 THEN 1 "
                             "ELSE 0 END) ELSE 0 END)")
                  .arg(y, m, d, monthDays)
            : QStringLiteral(
                  "(CASE WHEN 有效截止日期 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9]"
                  "[0-9]' AND 有效截止日期>='0001' AND apricot_is_datetime(有效截止日期) "
                  "THEN 1 ELSE 0 END)");
    const QString todayText = sqltext::Quote(sqltext::Date(today));
    const QString lastDay = sqltext::Quote(sqltext::Date(today.addDays(nearExpiryDays)));
    // One pass over the cards with stock sorts each into its list, or none; the date test is
    // the dear part, so it runs once per card and the days only for the cards listed.
    const QString cards =
        QStringLiteral("WITH 卡 AS MATERIALIZED (SELECT 名称,产地,规格型号,有效截止日期,现有存货量,"
                       "CASE WHEN %1=0 THEN 4 WHEN 有效截止日期<%2 THEN 1 WHEN 有效截止日期<=%3 "
                       "THEN 2 END AS 序 FROM 存 WHERE 现有存货量>0) ")
            .arg(valid, todayText, lastDay);
    const QString listedCards =
        QStringLiteral(
            "SELECT 序,CASE 序 WHEN 1 THEN '已过期' WHEN 2 THEN '近效期' ELSE '日期无效' "
            "END AS 预警,名称,产地,规格型号,有效截止日期,现有存货量,CASE WHEN 序<4 THEN "
            "%1-%2 END AS 剩余天数,有效截止日期 AS 日期键,0 AS 量键 FROM 卡 WHERE 序 IS "
            "NOT NULL")
            .arg(DaysFromCivil(y, m, d), sqltext::Count(DaysFromCivil(today)));
    // Every drug, sold-out ones too, with the stock of its cards that have not expired.
    const QString shortDrugs =
        QStringLiteral(
            "SELECT 3,'库存不足',名称,产地,规格型号,'',量,NULL,'',量 FROM (SELECT 名称,"
            "产地,规格型号,SUM(CASE WHEN 现有存货量>0 AND 有效截止日期>=%1 AND %2=1 THEN "
            "现有存货量 ELSE 0 END) AS 量 FROM 存 GROUP BY 名称,产地,规格型号) 药 WHERE "
            "量<%3")
            .arg(todayText, valid, sqltext::Number(shortageBoxes));
    return cards +
           QStringLiteral(
               "SELECT 预警,名称,产地,规格型号,有效截止日期,现有存货量,剩余天数 FROM (") +
           listedCards + QStringLiteral(" UNION ALL ") + shortDrugs + QStringLiteral(") 预警表") +
           (ordered ? QStringLiteral(" ORDER BY 序,日期键,量键,名称,产地,规格型号") : QString());
}

QString PurchaseReport(const QString& from, const QString& to) {
    return QStringLiteral("SELECT * FROM 进 WHERE 采购日期 ") + sqltext::WholeDayRange(from, to);
}

QString LossReport(const QString& from, const QString& to) {
    return QStringLiteral(
               "SELECT 日期时间,名称,产地,规格型号,有效截止日期,数量,成本单价,"
               "数量*成本单价 AS 成本金额,原因,去向,操作员,备注 FROM 损 WHERE 日期时间 ") +
           sqltext::WholeDayRange(from, to) + QStringLiteral(" ORDER BY 日期时间");
}

CStatement ShiftReport(const QString& day, const QString* clerk) {
    CStatement statement{
        QStringLiteral("SELECT 营业员,COUNT(CASE WHEN 冲正单号='' THEN 1 END) AS 笔数,"
                       "COUNT(CASE WHEN 销售类型='拆零销售' AND 冲正单号='' THEN 1 END) AS "
                       "拆零笔数,SUM(实收金额) AS 营业额,MIN(日期时间) AS 首笔,MAX(日期时间) AS "
                       "末笔,COUNT(CASE WHEN 冲正单号<>'' THEN 1 END) AS 冲正笔数 FROM "
                       "销 WHERE 日期时间 ") +
            sqltext::WholeDayRange(day, day),
        {}};
    if (clerk) {
        statement.sql += QStringLiteral(" AND 营业员=?");
        statement.values.push_back(*clerk);
    }
    statement.sql += QStringLiteral(" GROUP BY 营业员");
    return statement;
}

CStatement ShiftPayments(const QString& day, const QString* clerk) {
    const QString method =
        QStringLiteral("CASE WHEN s.冲正单号='' THEN s.支付方式 ELSE COALESCE(o.支付方式,'') END");
    CStatement statement{QStringLiteral("SELECT s.营业员,") + method +
                             QStringLiteral(" AS 支付方式,SUM(s.实收金额) AS 金额 FROM 销 s LEFT "
                                            "JOIN 销 o ON s.冲正单号<>'' AND o.单号=s.冲正单号 "
                                            "WHERE s.日期时间 ") +
                             sqltext::WholeDayRange(day, day),
                         {}};
    if (clerk) {
        statement.sql += QStringLiteral(" AND s.营业员=?");
        statement.values.push_back(*clerk);
    }
    statement.sql += QStringLiteral(" GROUP BY s.营业员,") + method;
    return statement;
}

QString ShiftHandOvers(const QString& day) {
    return QStringLiteral("SELECT 内容 FROM 日志 WHERE 动作='交班' AND 时间 ") +
           sqltext::WholeDayRange(day, QStringLiteral("9999-12-31"));
}

QString ShiftOperators(const QString& day) {
    return QStringLiteral("SELECT 用户名 FROM 操作员 UNION SELECT 营业员 FROM 销 WHERE 日期时间 ") +
           sqltext::WholeDayRange(day, day);
}

} // namespace reportsql
