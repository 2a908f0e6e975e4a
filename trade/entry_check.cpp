#include "entry_check.h"

#include "result_loader.h"

namespace entrycheck {

const QString kRecordedAfterLoss = QStringLiteral("已记录（连接曾中断，已核对）");
const QString kNotRecordedAfterLoss =
    QStringLiteral("未记录（连接曾中断，已核对）：账上没有这一笔，可以再按 添加");
const QString kOutcomeUnknown =
    QStringLiteral("结果未知：请在连接恢复后按 更新显示 核对，勿重复录入");
const QString kAlreadyRecorded =
    QStringLiteral("已记录：这一笔在连接中断时已经写入账上，没有重复录入");

std::optional<long long> Count(CDatabase* db, const QString& table, const QString& countSql,
                               QString* failure) {
    const std::optional<CResultTable> rows = RunStatement(db, table, countSql, failure);
    if (!rows || rows->RowCount() != 1 || rows->ColumnCount() != 1)
        return std::nullopt;
    bool ok = false;
    const long long count = rows->CellText(0, 0).toLongLong(&ok);
    return ok ? std::optional<long long>(count) : std::nullopt;
}

CEntryOutcome LookedUp(std::optional<bool> inBooks, int focus) {
    if (!inBooks)
        return CEntryOutcome::Status(kOutcomeUnknown);
    if (*inBooks)
        return CEntryOutcome::Recorded(kRecordedAfterLoss, focus, std::nullopt);
    return CEntryOutcome::Status(kNotRecordedAfterLoss);
}

} // namespace entrycheck
