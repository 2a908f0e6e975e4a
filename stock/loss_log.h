#pragma once
// The log row of each 损 record, written in the record's own transaction.
#include "audit_log.h"
#include "loss_statements.h"

namespace losslog {

// 动作 "报损", "退货" (退回供应商) or "盘点" (盘亏, 盘盈); 对象 "损"; its values in words.
CLogEntry Loss(const losssql::Loss& loss);

} // namespace losslog
