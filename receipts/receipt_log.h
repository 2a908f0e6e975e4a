#pragma once
// The log row of a printed receipt: 动作 "打印小票" or "补打小票", 对象 "销", written in a short
// transaction of its own once the receipt is out (printing never changes the sales).
#include "audit_log.h"
#include "receipt_content.h"

#include <QDateTime>
#include <QString>

class CDatabase;

namespace receiptlog {

// `where`: the PDF's path, or the print queue.
CLogEntry Entry(const CReceipt& receipt, const QString& operatorName, const QString& where);
// Appends `entry` at `now` in its own transaction; empty, or why it could not be written.
QString Write(CDatabase& db, const CLogEntry& entry, const QDateTime& now);

} // namespace receiptlog
