#include "trace_sales_report.h"

#include "report_statements.h"
#include "result_loader.h"
#include "sql_text.h"

namespace tracesales {

namespace {

// 销.日期时间 is a time stamp; PostgreSQL does not compare one with a bound text.
QString Bound(bool postgres) {
    return postgres ? QStringLiteral("CAST(? AS TIMESTAMP)") : QStringLiteral("?");
}

} // namespace

// A reversed sale sold nothing: its codes (back in stock) and its boxes are left out.
CStatement Rows(const QDate& from, const QDate& to) {
    CStatement statement{
        QStringLiteral("SELECT d.追溯码,c.名称,c.规格型号,c.批号,c.有效截止日期 AS 有效期,"
                       "CASE WHEN d.动作=? THEN ? ELSE ? END AS 拆零,d.数量,d.时间,"
                       "COALESCE(NULLIF(s.营业员,''),d.操作员) AS 营业员,d.单号 "
                       "FROM 追溯码去向 d JOIN 追溯码 c ON c.追溯码=d.追溯码 "
                       "LEFT JOIN 销 s ON s.单号=d.单号 AND s.单号<>'' "
                       "WHERE d.时间 BETWEEN ? AND ? AND d.动作 IN (?,?) AND NOT EXISTS "
                       "(SELECT 1 FROM 销 r WHERE r.冲正单号=d.单号 AND r.冲正单号<>'') "
                       "ORDER BY d.时间,d.单号,d.追溯码"),
        // 时间 is a "yyyy-MM-dd HH:mm:ss" text: the day's bounds compare as texts.
        {QStringLiteral("拆零"), QStringLiteral("是"), QStringLiteral("否"),
         sqltext::Date(from) + QStringLiteral(" 00:00:00"),
         sqltext::Date(to) + QStringLiteral(" 23:59:59"), QStringLiteral("售出"),
         QStringLiteral("拆零")}};
    return statement;
}

CStatement Counts(const QDate& from, const QDate& to, bool postgres) {
    return {QStringLiteral(
                "SELECT COALESCE(SUM(CASE WHEN q.数量>q.码数 THEN q.数量-q.码数 ELSE 0 END),0), "
                "(SELECT COUNT(*) FROM 追溯码去向 d JOIN 追溯码 c ON c.追溯码=d.追溯码 WHERE "
                "d.时间 BETWEEN ? AND ? AND d.动作 IN (?,?) AND c.进货单号='' AND NOT EXISTS "
                "(SELECT 1 FROM 销 r WHERE r.冲正单号=d.单号 AND r.冲正单号<>'')) "
                "FROM (SELECT s.数量 AS 数量,(SELECT COUNT(*) FROM 追溯码去向 d WHERE "
                "d.单号=s.单号 AND d.动作=?) AS 码数 FROM 销 s WHERE s.日期时间 BETWEEN "
                "%1 AND %1 AND s.销售类型=? AND s.冲正单号='' AND NOT EXISTS (SELECT 1 FROM 销 r "
                "WHERE r.冲正单号=s.单号 AND r.冲正单号<>'')) q")
                .arg(Bound(postgres)),
            {sqltext::Date(from) + QStringLiteral(" 00:00:00"),
             sqltext::Date(to) + QStringLiteral(" 23:59:59"), QStringLiteral("售出"),
             QStringLiteral("拆零"), QStringLiteral("售出"),
             sqltext::Date(from) + QStringLiteral(" 00:00:00.000"),
             sqltext::Date(to) + QStringLiteral(" 23:59:59.999"), QStringLiteral("整盒销售")}};
}

std::optional<CCounts> Count(CDatabase* db, const QDate& from, const QDate& to, QString* failure) {
    const std::optional<CResultTable> result = RunStatement(
        db, QStringLiteral("销"), Counts(from, to, reportsql::OnPostgreSQL(db)), failure);
    if (!result || result->RowCount() != 1)
        return std::nullopt;
    bool boxesRead = false, codesRead = false;
    const CCounts counts{result->CellText(0, 0).toDouble(&boxesRead),
                         result->CellText(0, 1).toLongLong(&codesRead)};
    if (!(boxesRead && codesRead)) {
        if (failure)
            *failure = QStringLiteral("统计读不出：%1，%2")
                           .arg(result->CellText(0, 0), result->CellText(0, 1));
        return std::nullopt;
    }
    return counts;
}

QString StatusText(int codes, const CCounts& counts) {
    const QString firstSeen =
        counts.codesFirstSeenAtSale > 0
            ? QStringLiteral("（其中 %1 个未经入库登记）").arg(counts.codesFirstSeenAtSale)
            : QString();
    return QStringLiteral("追溯码 %1 个%2；本期整盒销售未扫码 %3 盒")
        .arg(QString::number(codes), firstSeen, sqltext::Exact(counts.boxesWithoutCode));
}

} // namespace tracesales
