#pragma once
// The log row of a printed receipt: 动作 "打印小票" or "补打小票", 对象 "销", written in a short
// transaction of its own once the receipt is out. The sales change only where the receipt's
// number is new: it is stored with them in that same transaction, each sale with a log row
// "记小票号" of its own that holds the changed row.
#include "audit_log.h"
#include "receipt_content.h"

#include <QDateTime>
#include <QString>

class CDatabase;

namespace receiptlog {

// `where`: the PDF's path, or the print queue. The row gets a 单号 of its own.
CLogEntry Entry(const CReceipt& receipt, const QString& operatorName, const QString& where);
// Stores a new receipt number with its sales and appends `entry` at `now`, in one transaction.
// Empty when done; otherwise a line for the user: why nothing was written, or, when the reply to
// the commit was lost, whether the log holds the row.
QString Write(CDatabase& db, const CReceipt& receipt, const CLogEntry& entry, const QDateTime& now);

} // namespace receiptlog
