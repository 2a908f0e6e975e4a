#pragma once
// The registers an inspector reads: 处方药销售登记 (every sale a prescription served) and
// 含麻黄碱类复方制剂销售登记 (every ephedrine sale and its buyer). One row per sale line, oldest
// first; a sale later reversed stays, marked 冲正 "是", and the reversing row is left out.
#include "sql_params.h"

#include <QDate>

namespace registerreports {

// The sales of the whole days `from` to `to`. Columns: 销售时间, 名称, 规格型号, 生产企业, 批号,
// 数量 (boxes, as the sale stored them), 销售类型, 处方号, 患者姓名, 性别, 年龄, 处方医师,
// 医疗机构, 处方日期, 审方药师, 调配人, 单号, 冲正. `postgres`: the bounds are cast to 销's time
// stamps there.
CStatement Prescriptions(const QDate& from, const QDate& to, bool postgres);

// The ephedrine sales of the whole days `from` to `to`. Columns: 销售时间, 药品名称, 规格型号,
// 数量, 销售类型, 生产企业, 批号, 购买人姓名, 身份证号, 凭处方 (是/否), 营业员, 单号, 冲正.
// `wholeIds` false: the ID number is masked by the statement itself ("110101********1234"),
// so the whole number never leaves the books.
CStatement Ephedrine(const QDate& from, const QDate& to, bool wholeIds, bool postgres);

} // namespace registerreports
