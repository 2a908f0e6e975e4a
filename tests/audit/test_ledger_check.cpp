// The books held against their log: a row changed, removed or added behind the program's back,
// a raised stock and an operator made 店长 are named; untouched books pass.
#include "CTestBooks.h"
#include "CTransaction.h"
#include "audit_log.h"
#include "books_check.h"
#include "entry_number.h"
#include "ledger_check.h"
#include "opening_stock.h"

namespace {

struct Tampering {
    const char* sql;   // %1: the logged sale's 单号
    const char* named; // a line of the problems names it so
};

class LedgerCheckTest : public CBooksTest {
protected:
    // One card of 10 boxes and a sale from before the log; the 期初; then a sale of 2 and a
    // 营业员, each with its log row, as the program writes them.
    void WriteBooks() {
        Exec("INSERT INTO 存 VALUES ('阿莫西林','华北','10粒','2027-01-01',1.5,10)");
        Exec("INSERT INTO 销 "
             "(日期时间,名称,产地,规格型号,有效截止日期,零售价,数量,销售类型,实收金额,"
             "坏帐,单号) VALUES ('2026-01-01 09:00:00','阿莫西林','华北','10粒','2027-01-01',3,1,"
             "'零售',3,0,'older')");
        auditlog::Append(Db(), openingstock::Entry(Db(), "系统", entrynumber::Next()),
                         QDateTime::currentDateTime());
        m_sale = entrynumber::Next();
        {
            CTransaction transaction(Db());
            transaction.Execute(
                "INSERT INTO 销 (日期时间,名称,产地,规格型号,有效截止日期,零售价,数量,销售类型,"
                "实收金额,坏帐,单号) VALUES ('2026-12-09 10:00:00','阿莫西林','华北','10粒',"
                "'2027-01-01',3,2,'零售',6,0,?)",
                {m_sale});
            transaction.Execute("UPDATE 存 SET 现有存货量=现有存货量-2");
            auditlog::Append(Db(),
                             {"管理员", "销售", "销", "阿莫西林 2 盒", m_sale,
                              CLoggedRow{CLoggedRow::Change::Added, "销", {m_sale}, {}}},
                             QDateTime::currentDateTime());
            (void)transaction.Commit();
        }
        CTransaction transaction(Db());
        transaction.Execute("INSERT INTO 操作员 VALUES ('李四','x','营业员')");
        auditlog::Append(Db(),
                         {"管理员",
                          "添加",
                          "操作员",
                          "李四",
                          {},
                          CLoggedRow{CLoggedRow::Change::Added, "操作员", {"李四"}, {}}},
                         QDateTime::currentDateTime());
        (void)transaction.Commit();
    }

    QString m_sale;
};

const Tampering kTamperings[] = {
    {"UPDATE 销 SET 实收金额=1 WHERE 单号='%1'", "销 %1：与日志记下的不同"},
    {"DELETE FROM 销 WHERE 单号='%1'", "销 %1：日志记下的这一行不在账上"},
    {"INSERT INTO 销 (日期时间,名称,产地,规格型号,有效截止日期,零售价,数量,销售类型,实收金额,坏帐,"
     "单号) VALUES ('2026-12-09 11:00:00','阿莫西林','华北','10粒','2027-01-01',3,1,'零售',3,0,"
     "'%1-9')",
     "销 %1-9：日志里没有这一行"},
    {"UPDATE 存 SET 现有存货量=20",
     "库存卡 阿莫西林（华北，10粒，有效期至 2027-01-01）：账上 20 盒，按期初和进销损应为 8 盒"},
    {"UPDATE 操作员 SET 角色='店长' WHERE 用户名='李四'", "操作员 李四：与日志记下的不同"},
    {"UPDATE 操作员 SET 密码='y' WHERE 用户名='管理员'", "操作员 管理员：与期初记下的不同"},
};

TEST_P(LedgerCheckTest, NamesWhatChangedBehindTheLog) {
    WriteBooks();
    const std::optional<auditlog::CLedgerCheck> whole = auditlog::CheckLedger(Db());
    ASSERT_TRUE(whole);
    EXPECT_TRUE(whole->hasOpening);
    EXPECT_EQ(auditlog::LedgerProblems(*whole), QStringList());
    EXPECT_EQ(whole->earlierRows.at("销"), 1);
    ASSERT_EQ(whole->cards.size(), 1u);
    EXPECT_EQ(whole->cards[0].fromMovements, 8);
    EXPECT_EQ(auditlog::CheckBooks(Db(), {}).verdict, CBooksCheck::Verdict::Whole);

    // Each change in a transaction of its own, undone after the check.
    for (const Tampering& tampering : kTamperings) {
        SCOPED_TRACE(tampering.sql);
        CTransaction transaction(Db());
        transaction.Execute(QString::fromUtf8(tampering.sql).replace("%1", m_sale));
        const std::optional<auditlog::CLedgerCheck> check = auditlog::CheckLedger(Db());
        ASSERT_TRUE(check);
        const QString problems = auditlog::LedgerProblems(*check).join('\n');
        EXPECT_TRUE(problems.contains(QString::fromUtf8(tampering.named).replace("%1", m_sale)))
            << problems.toStdString();
        // What 校验日志 and apricot-initdb --check (exit 1) tell.
        const CBooksCheck books = auditlog::CheckBooks(Db(), {});
        EXPECT_EQ(books.verdict, CBooksCheck::Verdict::Broken);
        EXPECT_TRUE(books.message.contains(problems)) << books.message.toStdString();
    }
}

APRICOT_INSTANTIATE_BACKENDS(LedgerCheckTest);

} // namespace
