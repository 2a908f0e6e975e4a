#pragma once
// The log row of each recorded sale, written in the entry's own transaction (a purchase's is
// in entry_form/batch_receipt.h).
#include "audit_log.h"
#include "entry_statements.h"

#include <QStringList>

namespace entrylog {

// 动作 "销售", 对象 "销", its values in words, and the trace codes it took.
CLogEntry Sale(const entrysql::Sale& s, const QStringList& traceCodes = {});

} // namespace entrylog
