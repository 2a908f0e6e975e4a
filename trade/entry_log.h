#pragma once
// The log row of each recorded purchase and sale, written in the entry's own transaction.
#include "audit_log.h"
#include "entry_statements.h"

#include <QStringList>

namespace entrylog {

// 动作 "进货", 对象 "进", its values in words, and how many trace codes came with it (the codes
// themselves are in 追溯码).
CLogEntry Purchase(const entrysql::Purchase& p, qsizetype traceCodes = 0);
// 动作 "销售", 对象 "销", its values in words, and the trace codes it took.
CLogEntry Sale(const entrysql::Sale& s, const QStringList& traceCodes = {});

} // namespace entrylog
