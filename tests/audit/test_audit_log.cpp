// The log's rows: numbered in order, chained by 校验, and part of the caller's transaction.
#include "CTestBooks.h"
#include "CTransaction.h"
#include "audit_log.h"
#include "log_check.h"
#include "query_rows.h"

namespace {

class AuditLogTest : public CBooksTest {};

TEST_P(AuditLogTest, RowsFormAChainRecomputableFromTheBooks) {
    const QDateTime start(QDate(2024, 3, 9), QTime(8, 15, 30));
    // Texts that a plain separator could confuse: line breaks, digits and colons, quotes.
    const std::vector<CLogEntry> entries = {
        {QStringLiteral("系统"), QStringLiteral("升级"), QStringLiteral("账套"),
         QStringLiteral("账套由第 1 版升级到第 2 版")},
        {QStringLiteral("张三"), QStringLiteral("销售"), QStringLiteral("销"),
         QStringLiteral("3:阿莫西林\n'零售'")},
        {QString(), QStringLiteral("登录失败"), QStringLiteral("操作员"), QString()}};
    for (size_t i = 0; i < entries.size(); ++i)
        auditlog::Append(Db(), entries[i], start.addSecs(qint64(i) * 61));
    EXPECT_TRUE(Db().IsAutoCommit());

    const std::vector<QStringList> rows = QueryRows(
        Db(), "SELECT 序号, 时间, 操作员, 动作, 对象, 内容, 校验 FROM 日志 ORDER BY 序号");
    ASSERT_EQ(rows.size(), entries.size());
    QString previous;
    for (size_t i = 0; i < rows.size(); ++i) {
        const QStringList& row = rows[i];
        EXPECT_EQ(row[0].toLongLong(), qint64(i) + 1);
        const QDateTime time =
            QDateTime::fromString(row[1].left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        EXPECT_EQ(time, start.addSecs(qint64(i) * 61));
        const CLogEntry stored{row[2], row[3], row[4], row[5]};
        EXPECT_EQ(stored.content, entries[i].content);
        EXPECT_EQ(row[6], auditlog::ChainHash(previous, row[0].toLongLong(), time, stored));
        EXPECT_EQ(row[6].size(), 64);
        previous = row[6];
    }
    // Fields cannot slide into each other.
    EXPECT_NE(auditlog::RowText({}, 1, start, {"a", "b", "c", "d"}),
              auditlog::RowText({}, 1, start, {"a", "b", "", "c\nd"}));
}

TEST_P(AuditLogTest, ARolledBackChangeLeavesNoRow) {
    auditlog::Append(Db(), {"系统", "升级", "账套", "先有一行"}, QDateTime::currentDateTime());
    {
        CTransaction transaction(Db());
        transaction.Execute("UPDATE 操作员 SET 密码 = 'x'");
        auditlog::Append(Db(), {"管理员", "修改", "操作员", "管理员"},
                         QDateTime::currentDateTime());
        EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志"), "2");
    }
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志"), "1");
    EXPECT_EQ(QueryValue(Db(), "SELECT 密码 FROM 操作员"), "737");
    EXPECT_TRUE(Db().IsAutoCommit());
}

TEST_P(AuditLogTest, TheCheckNamesTheFirstChangedRemovedOrInsertedRow) {
    const QDateTime start(QDate(2024, 3, 9), QTime(0, 0));
    for (int i = 0; i < 4; ++i)
        auditlog::Append(Db(), {"张三", "销售", "销", QStringLiteral("第 %1 笔").arg(i + 1)},
                         start.addSecs(i));
    const auto firstBreak = [this] {
        const std::optional<auditlog::CChainCheck> check = auditlog::CheckChain(Db());
        EXPECT_TRUE(check.has_value());
        return check ? check->firstBreak : -1;
    };
    EXPECT_EQ(firstBreak(), 0);
    EXPECT_EQ(auditlog::CheckChain(Db())->rows, 4);
    struct Case {
        const char* tamper;
        long long firstBreak;
    };
    const Case cases[] = {
        {"UPDATE 日志 SET 内容='第 9 笔' WHERE 序号=2", 2},
        {"DELETE FROM 日志 WHERE 序号=3", 4},
        {"INSERT INTO 日志 (序号, 时间, 操作员, 动作, 对象, 内容, 校验) VALUES (5, "
         "'2024-03-09 00:00:04', '张三', '销售', '销', '补上的一笔', '0')",
         5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tamper);
        CTransaction transaction(Db());
        transaction.Execute(QString::fromUtf8(c.tamper));
        EXPECT_EQ(firstBreak(), c.firstBreak);
        transaction.Undo();
    }
}

APRICOT_INSTANTIATE_BACKENDS(AuditLogTest);

} // namespace
