// 追溯码查询 on both backends: a box's story names its purchase and buyer, the sale that took it
// with its 营业员 and receipt, and a code of the wrong shape is answered by its shape alone.
#include "CTestBooks.h"
#include "trace_code.h"
#include "trace_ledger.h"
#include "trace_story.h"

#include <gtest/gtest.h>

namespace {

const QString kCode = QStringLiteral("81234567890123456789");

class TraceStoryTest : public CBooksTest {};

TEST_P(TraceStoryTest, NamesThePurchaseAndTheSaleWithItsClerkAndReceipt) {
    Exec("INSERT INTO 进 (采购日期, 采购人, 大类, 小类, 编号, 名称, 产地, 规格型号, 批号, "
         "有效截止日期, 进价, 数量, 单号) VALUES ('2026-12-01 09:00:00', '李四', '西药', '抗生素', "
         "'X1', '阿莫西林', '石药', '0.25g*24', 'B7', '2027-06-30', 10, 3, 'P-1')");
    Exec("INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, "
         "实收金额, 坏帐, 营业员, 单号, 小票号) VALUES ('2026-12-08 10:31:00', '阿莫西林', '石药', "
         "'0.25g*24', '2027-06-30', 15, 1, '整盒销售', 15, 0, '张三', 'S-1', 'R-20261208-7')");
    const traceledger::CCard card{"阿莫西林", "石药", "0.25g*24", "2027-06-30", "B7"};
    ASSERT_TRUE(
        traceledger::Capture(Db(), {kCode}, card, {"P-1", "2026-12-01 09:00:00", "管理员"}).ok());
    // The clerk of the sale row, not the operator logged in, is who sold it.
    const traceledger::CStep sold =
        traceledger::Sell(Db(), {kCode}, card, {"S-1", "2026-12-08 10:31:00", "管理员"});
    ASSERT_TRUE(sold.ok()) << sold.refusal.toStdString();

    QString failure;
    const std::optional<tracestory::CStory> story = tracestory::Load(&Db(), kCode, &failure);
    ASSERT_TRUE(story) << failure.toStdString();
    ASSERT_EQ(story->moves.size(), 1u);
    EXPECT_EQ(story->moves[0].clerk, QStringLiteral("张三"));
    EXPECT_EQ(story->moves[0].receipt, QStringLiteral("R-20261208-7"));
    const QString text = tracestory::Text(*story);
    for (const char* part : {"已售", "采购人 李四", "进货单号 P-1", "批号 B7", "售出",
                             "营业员 张三", "小票号 R-20261208-7", "单号 S-1"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part << "\n" << text.toStdString();

    // A wrong shape is told as such and never looked up.
    RecordStatements();
    EXPECT_FALSE(tracestory::Load(&Db(), QStringLiteral("8123456789012345678"), &failure));
    EXPECT_EQ(failure, tracecode::Problem(QStringLiteral("8123456789012345678")));
    EXPECT_TRUE(m_sent.isEmpty());
}

APRICOT_INSTANTIATE_BACKENDS(TraceStoryTest);

} // namespace
