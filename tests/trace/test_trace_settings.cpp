// The rule every counter on the books shares: off until set, changed with its log row.
#include "CTestBooks.h"
#include "books_check.h"
#include "query_rows.h"
#include "trace_settings.h"

#include <gtest/gtest.h>

namespace {

class TraceSettingsTest : public CBooksTest {};

TEST_P(TraceSettingsTest, CodesRequiredIsSharedAndLoggedWhenChanged) {
    const QDateTime now(QDate(2026, 12, 8), QTime(10, 0));
    EXPECT_FALSE(tracesettings::CodesRequired(Db()));
    tracesettings::SetCodesRequired(Db(), false, "管理员", now);
    tracesettings::SetCodesRequired(Db(), true, "管理员", now);
    tracesettings::SetCodesRequired(Db(), true, "管理员", now);
    EXPECT_TRUE(tracesettings::CodesRequired(*Books().OpenAnotherConnection()));
    tracesettings::SetCodesRequired(Db(), false, "店长", now);
    EXPECT_FALSE(tracesettings::CodesRequired(Db()));
    EXPECT_EQ(QueryRows(Db(), "SELECT 操作员,动作,对象,内容,CASE WHEN 行校验<>'' THEN 'marked' END "
                              "FROM 日志 ORDER BY 序号"),
              (std::vector<QStringList>{
                  {"管理员", "追溯码设置", "账套设置", "销售须扫追溯码：否 → 是", "marked"},
                  {"店长", "追溯码设置", "账套设置", "销售须扫追溯码：是 → 否", "marked"}}));
    // The rule's marks are logged, not held against the stock's ledger.
    const CBooksCheck check = auditlog::CheckBooks(Db(), {});
    EXPECT_EQ(check.verdict, CBooksCheck::Verdict::Whole) << check.message.toStdString();
}

APRICOT_INSTANTIATE_BACKENDS(TraceSettingsTest);

} // namespace
