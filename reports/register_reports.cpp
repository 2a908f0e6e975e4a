#include "register_reports.h"

#include "sql_text.h"

namespace registerreports {

namespace {

// 销.日期时间 is a time stamp; PostgreSQL does not compare one with a bound text.
QString Bound(bool postgres) {
    return postgres ? QStringLiteral("CAST(? AS TIMESTAMP)") : QStringLiteral("?");
}

// What both registers share around their own columns and joins (s is the sale): the 冲正 mark,
// the period on the sale's own time stamp, never a reversing row, oldest first.
QString Statement(const QString& columns, const QString& joins, bool postgres) {
    return QStringLiteral("SELECT %1,s.单号,CASE WHEN EXISTS (SELECT 1 FROM 销 v WHERE "
                          "v.冲正单号=s.单号 AND v.冲正单号<>'') THEN ? ELSE ? END AS 冲正 "
                          "FROM %2 WHERE s.日期时间 BETWEEN %3 AND %3 AND s.冲正单号='' "
                          "ORDER BY s.日期时间,s.单号")
        .arg(columns, joins, Bound(postgres));
}

// The values after the columns' own: the mark's two words and the period's whole days.
void AddTail(sqlparams::Values& values, const QDate& from, const QDate& to) {
    values.insert(values.end(), {QStringLiteral("是"), QString(),
                                 sqltext::Date(from) + QStringLiteral(" 00:00:00.000"),
                                 sqltext::Date(to) + QStringLiteral(" 23:59:59.999")});
}

} // namespace

// A 处方销售 row whose 处方 is missing still lists the sale: the register leaves nothing out.
CStatement Prescriptions(const QDate& from, const QDate& to, bool postgres) {
    CStatement statement{
        Statement(QStringLiteral("s.日期时间 AS 销售时间,s.名称,s.规格型号,s.产地 AS 生产企业,"
                                 "p.批号,s.数量,s.销售类型,p.处方号,r.患者姓名,r.性别,r.年龄,"
                                 "r.处方医师,r.医疗机构,r.处方日期,r.审方药师,r.调配人"),
                  QStringLiteral("处方销售 p JOIN 销 s ON s.单号=p.单号 AND s.单号<>'' "
                                 "LEFT JOIN 处方 r ON r.处方号=p.处方号"),
                  postgres),
        {}};
    AddTail(statement.values, from, to);
    return statement;
}

CStatement Ephedrine(const QDate& from, const QDate& to, bool wholeIds, bool postgres) {
    // Every 身份证号 is 18 characters (the table checks it): the area code and the last 4 stay.
    const QString id = wholeIds
                           ? QStringLiteral("e.身份证号")
                           : QStringLiteral("substr(e.身份证号,1,6)||?||substr(e.身份证号,15,4)");
    CStatement statement{
        Statement(QStringLiteral("s.日期时间 AS 销售时间,s.名称 AS 药品名称,s.规格型号,s.数量,"
                                 "s.销售类型,s.产地 AS 生产企业,e.批号,e.姓名 AS 购买人姓名,"
                                 "%1 AS 身份证号,CASE WHEN e.处方号<>'' THEN ? ELSE ? END AS "
                                 "凭处方,s.营业员")
                      .arg(id),
                  QStringLiteral("麻黄碱登记 e JOIN 销 s ON s.单号=e.单号 AND s.单号<>''"),
                  postgres),
        {}};
    if (!wholeIds)
        statement.values.push_back(QStringLiteral("********"));
    statement.values.insert(statement.values.end(), {QStringLiteral("是"), QStringLiteral("否")});
    AddTail(statement.values, from, to);
    return statement;
}

} // namespace registerreports
