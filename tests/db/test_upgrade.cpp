// Books of the first version brought to the newest: all of it or none of it.
#include "CDBException.h"
#include "CTestBooks.h"
#include "audit_log.h"
#include "books_upgrade.h"
#include "books_version.h"
#include "log_check.h"
#include "query_rows.h"
#include "schema.h"

namespace {

class UpgradeTest : public CBooksTest {
protected:
    CTestBooks::Tables InitialTables() const override { return CTestBooks::Tables::Version1; }

    void FillVersion1() {
        Exec("INSERT INTO 操作员 (用户名, 密码) VALUES ('收银员', '1')");
        Exec("INSERT INTO 进 (采购日期, 采购人, 大类, 小类, 编号, 名称, 产地, 规格型号, 批号, "
             "有效截止日期, 进价, 数量) VALUES ('2003-05-01 09:30:00', '张三', '西药', '抗生素', "
             "'X1', '阿莫西林', '广州', '0.25g*24', 'B1', '2005-01-01', 2.5, 10)");
        Exec("INSERT INTO 存 (名称, 产地, 规格型号, 有效截止日期, 平均成本单价, 现有存货量) "
             "VALUES ('阿莫西林', '广州', '0.25g*24', '2005-01-01', 2.5, 9)");
        Exec("INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, "
             "销售类型, 实收金额, 坏帐) VALUES ('2003-05-02 10:00:00', '阿莫西林', '广州', "
             "'0.25g*24', '2005-01-01', 4, 1, '零售', 4, 0)");
    }

    // Everything a failed upgrade must leave as it was: the tables there, their columns and
    // rows, and the version.
    std::vector<QStringList> Snapshot() {
        std::vector<QStringList> all;
        for (const QString& table : schema::AllTableNames()) {
            try {
                const QueryResult result =
                    RunQuery(Db(), QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table));
                all.push_back(QStringList{table} << result.columns);
                all.insert(all.end(), result.rows.begin(), result.rows.end());
            } catch (const CDBException&) {
                all.push_back({table, "(absent)"});
            }
        }
        all.push_back({QString::number(booksversion::Read(Db()))});
        return all;
    }

    QStringList Columns(const QString& table) {
        return RunQuery(Db(), QStringLiteral("SELECT * FROM %1 WHERE 1<0").arg(table)).columns;
    }
};

TEST_P(UpgradeTest, KeepsEveryRowAndMatchesNewBooks) {
    FillVersion1();
    ASSERT_EQ(booksversion::Read(Db()), 1);
    int calls = 0;
    const CUpgradeOutcome outcome = booksupgrade::Upgrade(Db(), [&](int from, int to) {
        ++calls;
        EXPECT_EQ(from, 1);
        EXPECT_EQ(to, booksversion::kNewest);
        Exec("INSERT INTO 日志 (序号, 时间, 操作员, 动作, 对象, 内容, 校验) VALUES "
             "(1, '2024-01-02 03:04:05', '系统', '升级', '账套', '第 1 版到第 2 版', 'x')");
    });
    ASSERT_EQ(outcome.result, CUpgradeOutcome::Result::Upgraded) << outcome.message.toStdString();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(Db().IsAutoCommit());
    EXPECT_EQ(booksversion::Read(Db()), booksversion::kNewest);

    EXPECT_EQ(QueryRows(Db(), "SELECT * FROM 操作员 ORDER BY 用户名"),
              (std::vector<QStringList>{{"收银员", "1", "店长"}, {"管理员", "737", "店长"}}));
    // Old rows got numbers of their own, which the next check looks at.
    EXPECT_EQ(QueryRows(Db(), "SELECT 采购日期, 采购人, 大类, 小类, 编号, 名称, 产地, 规格型号, "
                              "批号, 有效截止日期, 进价, 数量 FROM 进"),
              (std::vector<QStringList>{{"2003-05-01 09:30:00.000", "张三", "西药", "抗生素", "X1",
                                         "阿莫西林", "广州", "0.25g*24", "B1", "2005-01-01", "2.5",
                                         "10"}}));
    EXPECT_EQ(
        QueryRows(Db(), "SELECT * FROM 存"),
        (std::vector<QStringList>{{"阿莫西林", "广州", "0.25g*24", "2005-01-01", "2.5", "9"}}));
    EXPECT_EQ(QueryRows(Db(), "SELECT 日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, "
                              "销售类型, 实收金额, 坏帐, 营业员, 小票号 FROM 销"),
              (std::vector<QStringList>{{"2003-05-02 10:00:00.000", "阿莫西林", "广州", "0.25g*24",
                                         "2005-01-01", "4", "1", "零售", "4", "0", "", ""}}));
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志"), "1");
    // A password hash fits now; a new operator is a clerk unless made otherwise.
    Exec(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES ('新人', '%1')")
             .arg(QString(128, QLatin1Char('h'))));
    EXPECT_EQ(QueryValue(Db(), "SELECT 角色 FROM 操作员 WHERE 用户名 = '新人'"), "营业员");
    EXPECT_TRUE(Fails("UPDATE 操作员 SET 角色 = '老板' WHERE 用户名 = '新人'"));

    // Upgraded books and new books are the same books.
    std::vector<QStringList> upgraded;
    for (const QString& table : schema::AllTableNames())
        upgraded.push_back(Columns(table));
    Books().DropTables();
    schema::Create(Db());
    for (size_t i = 0; i < upgraded.size(); ++i)
        EXPECT_EQ(Columns(schema::AllTableNames()[int(i)]), upgraded[i]);
    EXPECT_EQ(booksversion::Read(Db()), booksversion::kNewest);
    EXPECT_EQ(booksupgrade::Upgrade(Db()).result, CUpgradeOutcome::Result::AlreadyCurrent);
}

// Books of the third version, with sales, purchases, losses and a log, come up to the newest:
// every row numbered once, sales and losses of one second all kept, the log's chain whole.
TEST_P(UpgradeTest, ThirdVersionRowsGetNumbersAndStampsStopBeingKeys) {
    FillVersion1();
    for (const int version : {2, 3})
        for (const QString& step : schema::UpgradeStatements(Db().GetDialect(), version))
            Exec(step);
    ASSERT_EQ(booksversion::Read(Db()), 3);
    Exec("INSERT INTO 进 (采购日期, 采购人, 大类, 小类, 编号, 名称, 产地, 规格型号, 批号, "
         "有效截止日期, 进价, 数量) VALUES ('2003-05-03 09:30:00', '张三', '西药', '抗生素', "
         "'X1', '阿莫西林', '广州', '0.25g*24', 'B2', '2005-01-01', 2.5, 5)");
    Exec("INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, "
         "实收金额, 坏帐, 营业员) VALUES ('2003-05-02 10:00:01', '阿莫西林', '广州', '0.25g*24', "
         "'2005-01-01', 4, 2, '零售', 8, 0, '收银员')");
    const QString loss = QStringLiteral(
        "INSERT INTO 损 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 数量, 成本单价, 原因, "
        "操作员%1) VALUES ('2003-05-04 08:00:00', '阿莫西林', '广州', '0.25g*24', '2005-01-01', "
        "1, 2.5, '破损', '收银员'%2)");
    Exec(loss.arg(QString(), QString()));
    const QDateTime at(QDate(2003, 5, 4), QTime(8, 0));
    for (const char* action : {"进货", "销售"})
        auditlog::Append(Db(), {"张三", QString::fromUtf8(action), "销", "第三版的一行"}, at);

    const CUpgradeOutcome outcome = booksupgrade::Upgrade(Db(), [&](int from, int) {
        EXPECT_EQ(from, 3);
        auditlog::Append(Db(), {"系统", "升级", "账套", "第 3 版到第 4 版"}, at);
    });
    ASSERT_EQ(outcome.result, CUpgradeOutcome::Result::Upgraded) << outcome.message.toStdString();
    EXPECT_EQ(booksversion::Read(Db()), booksversion::kNewest);
    for (const auto& [table, rows] : {std::pair{"进", "2"}, {"销", "2"}, {"损", "1"}})
        EXPECT_EQ(QueryRows(Db(), QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT 单号) FROM %1 "
                                                 "WHERE 单号 <> ''")
                                      .arg(QString::fromUtf8(table))),
                  (std::vector<QStringList>{{rows, rows}}))
            << table;

    // Entries of one second, told apart by their numbers, are all kept; a number only once.
    const QString sale = QStringLiteral(
        "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, "
        "实收金额, 坏帐, 营业员, 单号) VALUES ('2003-05-02 10:00:00', '阿莫西林', '广州', "
        "'0.25g*24', '2005-01-01', 4, 1, '零售', 4, 0, '收银员', '%1')");
    Exec(sale.arg("n-1"));
    Exec(sale.arg("n-2"));
    EXPECT_TRUE(Fails(sale.arg("n-2")));
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 销 WHERE 日期时间 = '2003-05-02 10:00:00'"),
              "3");
    Exec(loss.arg(", 单号", ", 'l-1'"));
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 损"), "2");

    auditlog::Append(Db(), {"张三", "销售", "销", "第四版的一行", "n-1"}, at);
    const std::optional<auditlog::CChainCheck> chain = auditlog::CheckChain(Db());
    ASSERT_TRUE(chain);
    EXPECT_EQ(chain->rows, 4);
    EXPECT_EQ(chain->firstBreak, 0) << chain->why.toStdString();
}

TEST_P(UpgradeTest, AFailingStepLeavesTheBooksAsTheyWere) {
    FillVersion1();
    const std::vector<QStringList> before = Snapshot();
    // A step early, the operators half changed, the last step, and the caller's own row.
    const QString operators = GetParam() == Backend::SQLite ? QStringLiteral("DROP TABLE 操作员")
                                                            : QStringLiteral("UPDATE 操作员");
    for (const QString& failAfter : {QStringLiteral("ALTER TABLE 进"), operators,
                                     QStringLiteral("INSERT INTO 账套版本"), QString()}) {
        bool failed = false;
        Db().SetStatementHook([&](const QString& sql) {
            if (!failAfter.isEmpty() && sql.startsWith(failAfter) && !failed) {
                failed = true;
                throw CDBException(QStringLiteral("磁盘已满\n"));
            }
        });
        const CUpgradeOutcome outcome = booksupgrade::Upgrade(Db(), [&](int, int) {
            if (failAfter.isEmpty())
                throw CDBException(QStringLiteral("日志写不进去\n"));
        });
        Db().SetStatementHook({});
        EXPECT_EQ(failed, !failAfter.isEmpty()) << failAfter.toStdString();
        EXPECT_EQ(outcome.result, CUpgradeOutcome::Result::Failed) << failAfter.toStdString();
        EXPECT_TRUE(outcome.message.contains(QStringLiteral("没有做任何改动")));
        EXPECT_TRUE(Db().IsAutoCommit());
        EXPECT_EQ(Snapshot(), before) << failAfter.toStdString();
    }
    EXPECT_EQ(booksupgrade::Upgrade(Db()).result, CUpgradeOutcome::Result::Upgraded);
}

TEST_P(UpgradeTest, NewerBooksAreRefusedUnchanged) {
    ASSERT_EQ(booksupgrade::Upgrade(Db()).result, CUpgradeOutcome::Result::Upgraded);
    const int newer = booksversion::kNewest + 1;
    Exec(QStringLiteral("UPDATE 账套版本 SET 版本 = %1").arg(newer));
    bool ran = false;
    const CUpgradeOutcome outcome = booksupgrade::Upgrade(Db(), [&](int, int) { ran = true; });
    EXPECT_EQ(outcome.result, CUpgradeOutcome::Result::Refused);
    EXPECT_TRUE(outcome.message.contains(QStringLiteral("第 %1 版").arg(newer)))
        << outcome.message.toStdString();
    EXPECT_FALSE(ran);
    EXPECT_EQ(booksversion::Read(Db()), newer);
    EXPECT_EQ(booksversion::Compare(newer), booksversion::Standing::Newer);
}

APRICOT_INSTANTIATE_BACKENDS(UpgradeTest);

} // namespace
