#pragma once
// The statements that show the log; no display.
#include <QDate>
#include <QString>

namespace auditlog {

// 操作日志: the rows of the days `from` to `to`, newest first. 校验 is shown too: a printed or
// exported log is what later shows a chain rewritten in the books.
QString PeriodStatement(const QDate& from, const QDate& to);

} // namespace auditlog
