#pragma once
// The log row of each recorded purchase and sale, written in the entry's own transaction.
#include "audit_log.h"
#include "entry_statements.h"

namespace entrylog {

// 动作 "进货", 对象 "进", its values in words.
CLogEntry Purchase(const entrysql::Purchase& p);
// 动作 "销售", 对象 "销", its values in words.
CLogEntry Sale(const entrysql::Sale& s);

} // namespace entrylog
