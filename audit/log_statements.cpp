#include "log_statements.h"

#include "sql_text.h"

namespace auditlog {

QString PeriodStatement(const QDate& from, const QDate& to) {
    return QStringLiteral("SELECT 序号,时间,操作员,动作,对象,内容,校验 FROM 日志 WHERE 时间 %1 "
                          "ORDER BY 序号 DESC")
        .arg(sqltext::WholeDayRange(sqltext::Date(from), sqltext::Date(to)));
}

} // namespace auditlog
