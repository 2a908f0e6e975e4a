// The log's head printed on a report: read back, and what it shows that the chain alone cannot.
#include "CTestBooks.h"
#include "CTransaction.h"
#include "audit_log.h"
#include "books_check.h"
#include "log_check.h"
#include "log_head.h"
#include "query_rows.h"

namespace {

class LogHeadTest : public CBooksTest {};

// Every 校验 from `from` on recomputed over the rows as they now stand: the chain looks whole.
void Rechain(CDatabase& db, long long from) {
    QString previous;
    for (const QStringList& row : QueryRows(
             db, "SELECT 序号, 时间, 操作员, 动作, 对象, 内容, 校验 FROM 日志 ORDER BY 序号")) {
        const long long number = row[0].toLongLong();
        if (number < from) {
            previous = row[6];
            continue;
        }
        previous = auditlog::ChainHash(
            previous, number, QDateTime::fromString(row[1].left(19), "yyyy-MM-dd HH:mm:ss"),
            {row[2], row[3], row[4], row[5]});
        db.ExecuteSQL(
            CStatement{"UPDATE 日志 SET 校验 = ? WHERE 序号 = ?", {previous, qlonglong(number)}});
    }
}

TEST_P(LogHeadTest, APrintedHeadCatchesAChainRewrittenOrCutShortAfterIt) {
    const QDateTime start(QDate(2024, 3, 9), QTime(8, 0));
    for (int i = 0; i < 5; ++i)
        auditlog::Append(Db(), {"张三", "销售", "销", QStringLiteral("第 %1 笔").arg(i + 1)},
                         start.addSecs(i));
    const std::optional<auditlog::CChainHead> printed = auditlog::Head(Db());
    ASSERT_TRUE(printed);
    EXPECT_EQ(auditlog::HeadText(*printed),
              QStringLiteral("日志 5 条 · 校验 ") +
                  QueryValue(Db(), "SELECT 校验 FROM 日志 WHERE 序号 = 5").left(16));

    const CBooksCheck untouched = auditlog::CheckBooks(Db(), {}, printed);
    EXPECT_EQ(untouched.verdict, CBooksCheck::Verdict::Whole) << untouched.message.toStdString();
    EXPECT_TRUE(untouched.message.contains("第 5 行与打印的校验相符"));

    const struct {
        const char* tamper;
        const char* named;
    } cases[] = {{"UPDATE 日志 SET 内容 = '第 9 笔' WHERE 序号 = 3", "第 5 行的校验是"},
                 {"DELETE FROM 日志 WHERE 序号 >= 4", "日志只有 3 行，打印时已有 5 行"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tamper);
        CTransaction transaction(Db());
        transaction.Execute(QString::fromUtf8(c.tamper));
        Rechain(Db(), 3);
        ASSERT_EQ(auditlog::CheckChain(Db())->firstBreak, 0); // the chain alone is fooled
        const CBooksCheck check = auditlog::CheckBooks(Db(), {}, printed);
        EXPECT_EQ(check.verdict, CBooksCheck::Verdict::Broken);
        EXPECT_TRUE(check.message.contains(QString::fromUtf8(c.named)))
            << check.message.toStdString();
        transaction.Undo();
    }
}

APRICOT_INSTANTIATE_BACKENDS(LogHeadTest);

struct HeadFigure {
    const char* text;
    long long rows; // 0: refused
    const char* hash16;
};

class ParseHeadTest : public ::testing::TestWithParam<HeadFigure> {};

TEST_P(ParseHeadTest, ReadsOnlyARowNumberAndSixteenHexDigits) {
    const std::optional<auditlog::CChainHead> head =
        auditlog::ParseHead(QString::fromUtf8(GetParam().text));
    ASSERT_EQ(head.has_value(), GetParam().rows != 0);
    if (head) {
        EXPECT_EQ(head->rows, GetParam().rows);
        EXPECT_EQ(head->hash16, QString::fromLatin1(GetParam().hash16));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Figures, ParseHeadTest,
    ::testing::Values(
        HeadFigure{"12:0123456789abcdef", 12, "0123456789abcdef"},
        HeadFigure{" 7:0123456789ABCDEF\n", 7, "0123456789abcdef"},
        HeadFigure{"0:0123456789abcdef", 0, ""}, HeadFigure{"-3:0123456789abcdef", 0, ""},
        HeadFigure{"12:0123456789abcde", 0, ""}, HeadFigure{"12:0123456789abcdef0", 0, ""},
        HeadFigure{"12:0123456789abcdeg", 0, ""}, HeadFigure{"12 0123456789abcdef", 0, ""},
        HeadFigure{"日志 12 条 · 校验 0123456789abcdef", 0, ""}, HeadFigure{"", 0, ""}));

} // namespace
