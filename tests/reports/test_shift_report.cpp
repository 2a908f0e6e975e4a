// 交班报表 on both backends: the figures per 营业员 against the day report, who sees whom, and
// the log rows 交班 writes.
#include "CDBException.h"
#include "CShiftReportWnd.h"
#include "CTestBooks.h"
#include "money.h"
#include "query_rows.h"
#include "recording_prompts.h"
#include "report_statements.h"
#include "shift_report.h"

#include <QComboBox>
#include <QFile>
#include <QInputDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QDate kDay(2026, 12, 8);
const QDateTime kNow(kDay, QTime(18, 30));

// Answers the 点钞 that 交班 asks, one sum per operator in turn.
void AnswerCounts(QStringList sums) {
    QTimer::singleShot(0, [sums]() mutable {
        auto* ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!ask || sums.isEmpty()) {
            ADD_FAILURE() << "交班 did not ask for the cash counted";
            return;
        }
        const QString sum = sums.takeFirst();
        if (!sums.isEmpty())
            AnswerCounts(sums);
        ask->setTextValue(sum);
        ask->accept();
    });
}

class ShiftReportTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (!m_books)
            return;
        Exec(QStringLiteral("INSERT INTO 存 VALUES ('阿莫西林', '广州', '0.25g*24', '2028-01-01', "
                            "2.5, 10)"));
        Exec(QStringLiteral(
            "INSERT INTO 存 VALUES ('板蓝根', '北京', '10g*20', '2027-06-30', 10, 3)"));
    }

    // A sale of `quantity` boxes (below one: split packs) by `clerk`.
    void Sale(const char* stamp, double quantity, double paid, const char* clerk) {
        const bool amoxicillin = quantity >= 1;
        Exec(QStringLiteral("INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, "
                            "数量, 销售类型, 实收金额, 坏帐, 营业员) VALUES ('%1', '%2', 0, %3, "
                            "'%4', %5, 0, '%6')")
                 .arg(QString::fromUtf8(stamp),
                      amoxicillin ? QStringLiteral("阿莫西林', '广州', '0.25g*24', '2028-01-01")
                                  : QStringLiteral("板蓝根', '北京', '10g*20', '2027-06-30"))
                 .arg(quantity)
                 .arg(amoxicillin ? QStringLiteral("整盒销售") : QStringLiteral("拆零销售"))
                 .arg(paid)
                 .arg(QString::fromUtf8(clerk)));
    }

    // 张三 all day, with the sales just outside it.
    void OneClerkAllDay() {
        Sale("2026-12-07 23:59:59.999", 1, 5, "张三");
        Sale("2026-12-08 00:00:00", 2, 12.3, "张三");
        Sale("2026-12-08 08:41:22.250", 0.5, 3.35, "张三");
        Sale("2026-12-08 12:00:00", 1, 19.99, "张三");
        Sale("2026-12-08 23:59:59.999", 0.25, 1.01, "张三");
        Sale("2026-12-09 00:00:00", 1, 10, "张三");
    }

    // 张三, 李四 and a sale from before operators were recorded.
    void TwoClerks() {
        Sale("2026-12-08 08:41:22", 1, 0.1, "张三");
        Sale("2026-12-08 09:00:00", 1, 7.5, "");
        Sale("2026-12-08 10:15:00", 0.5, 0.2, "张三");
        Sale("2026-12-08 11:00:05", 0.5, 2.05, "李四");
        Sale("2026-12-08 18:02:30", 1, 1234.15, "李四");
        Exec(QStringLiteral(
            "INSERT INTO 操作员 (用户名, 密码, 角色) VALUES ('李四', '', '营业员')"));
    }

    static std::vector<QStringList> Rows(const CResultTable& table) {
        std::vector<QStringList> rows;
        for (int r = 0; r < table.RowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < table.ColumnCount(); ++c)
                cells << table.CellText(r, c);
            rows.push_back(cells);
        }
        return rows;
    }
    static std::vector<QStringList> Shown(const QTableWidget& table) {
        std::vector<QStringList> rows;
        for (int r = 0; r < table.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < table.columnCount(); ++c)
                cells << table.item(r, c)->text();
            rows.push_back(cells);
        }
        return rows;
    }
    std::vector<QStringList> HandOverRows() {
        return QueryRows(Db(), QStringLiteral("SELECT 操作员, 对象, 内容 FROM 日志 WHERE "
                                              "动作='交班' ORDER BY 序号"));
    }

    CRecordingPrompts m_prompts;
};

TEST_P(ShiftReportTest, OneClerkAllDayTakesTheDayReportsTurnover) {
    OneClerkAllDay();
    const std::optional<CShiftFigures> figures =
        CShiftReport(&Db(), QStringLiteral("管理员"), true).Load(kDay, shiftreport::kAll, nullptr);
    ASSERT_TRUE(figures);
    // From 00:00:00.000 to 23:59:59.999; the midnight sale's time is shown, not dropped.
    EXPECT_EQ(Rows(shiftreport::Table(*figures)),
              (std::vector<QStringList>{
                  {"张三", "4", "2", "0", "36.65", "00:00:00", "23:59:59", "36.65"},
                  {"合计", "4", "2", "0", "36.65", "00:00:00", "23:59:59", "36.65"}}));
    const QString dayTurnover =
        QueryRows(Db(), reportsql::SalesSummary(QStringLiteral("2026-12-08"),
                                                QStringLiteral("2026-12-08"),
                                                GetParam() == Backend::PostgreSQL))
            .at(0)
            .at(0);
    EXPECT_EQ(money::Yuan(figures->total.cents), money::Amount(dayTurnover.toDouble()));
}

TEST_P(ShiftReportTest, EachClerkGetsARowAndTheTotalSumsThem) {
    TwoClerks();
    const std::optional<CShiftFigures> figures =
        CShiftReport(&Db(), QStringLiteral("管理员"), true).Load(kDay, shiftreport::kAll, nullptr);
    ASSERT_TRUE(figures);
    EXPECT_EQ(Rows(shiftreport::Table(*figures)),
              (std::vector<QStringList>{
                  {"（未记录）", "1", "0", "0", "7.50", "09:00:00", "09:00:00", "7.50"},
                  {"张三", "2", "1", "0", "0.30", "08:41:22", "10:15:00", "0.30"},
                  {"李四", "2", "1", "0", "1236.20", "11:00:05", "18:02:30", "1236.20"},
                  {"合计", "5", "2", "0", "1244.00", "08:41:22", "18:02:30", "1244.00"}}));
}

TEST_P(ShiftReportTest, AClerkSeesOnlyThemselvesAndAManagerChoosesAnyone) {
    TwoClerks();
    CShiftReportWnd clerk(&Db(), QStringLiteral("李四"), false, kNow);
    auto* chooser = clerk.findChild<QComboBox*>(QStringLiteral("operator"));
    ASSERT_TRUE(chooser);
    EXPECT_FALSE(chooser->isEnabled());
    EXPECT_EQ(chooser->count(), 1);
    EXPECT_EQ(chooser->currentText(), QStringLiteral("李四"));
    const auto* table = clerk.findChild<QTableWidget*>(QStringLiteral("table"));
    EXPECT_EQ(Shown(*table),
              (std::vector<QStringList>{
                  {"李四", "2", "1", "0", "1236.20", "11:00:05", "18:02:30", "1236.20"},
                  {"合计", "2", "1", "0", "1236.20", "11:00:05", "18:02:30", "1236.20"}}));
    // Even asked for everyone, the logic gives a 营业员 their own figures.
    const std::optional<CShiftFigures> asked =
        CShiftReport(&Db(), QStringLiteral("李四"), false).Load(kDay, shiftreport::kAll, nullptr);
    ASSERT_TRUE(asked);
    ASSERT_EQ(asked->rows.size(), 1u);
    EXPECT_EQ(asked->rows[0].clerk, QStringLiteral("李四"));

    // 张三 is no operator of these books but sold that day.
    CShiftReportWnd manager(&Db(), QStringLiteral("管理员"), true, kNow);
    chooser = manager.findChild<QComboBox*>(QStringLiteral("operator"));
    EXPECT_TRUE(chooser->isEnabled());
    QStringList offered;
    for (int i = 0; i < chooser->count(); ++i)
        offered << chooser->itemText(i);
    EXPECT_EQ(offered, QStringList({"全部", "张三", "李四", "管理员"}));
    chooser->setCurrentText(QStringLiteral("张三"));
    EXPECT_EQ(Shown(*manager.findChild<QTableWidget*>(QStringLiteral("table"))),
              (std::vector<QStringList>{
                  {"张三", "2", "1", "0", "0.30", "08:41:22", "10:15:00", "0.30"},
                  {"合计", "2", "1", "0", "0.30", "08:41:22", "10:15:00", "0.30"}}));
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(ShiftReportTest, HandOverLogsOneRowPerClerkShown) {
    TwoClerks();
    CShiftReportWnd manager(&Db(), QStringLiteral("管理员"), true, kNow);
    // Each operator's drawer is counted; the sales without an operator have none.
    AnswerCounts({"0", "0"});
    QTest::mouseClick(manager.findChild<QPushButton*>(QStringLiteral("handover")), Qt::LeftButton);
    const QString noCash = QStringLiteral("；点钞：应有现金 0.00 元，实点 0.00 元，差额 0.00 元");
    const std::vector<QStringList> expected{
        {"管理员", "销",
         "（未记录） 2026-12-08 交班：销售 1 笔（拆零 0 笔），营业额 7.50 元，首笔 09:00:00，末笔 "
         "09:00:00；支付：未结账 7.50 元"},
        {"管理员", "销",
         "张三 2026-12-08 交班：销售 2 笔（拆零 1 笔），营业额 0.30 元，首笔 08:41:22，末笔 "
         "10:15:00；支付：未结账 0.30 元" +
             noCash},
        {"管理员", "销",
         "李四 2026-12-08 交班：销售 2 笔（拆零 1 笔），营业额 1236.20 元，首笔 11:00:05，末笔 "
         "18:02:30；支付：未结账 1236.20 元" +
             noCash}};
    EXPECT_EQ(HandOverRows(), expected);
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].icon, CPrompts::Icon::Information);
    EXPECT_TRUE(m_prompts.Messages()[0].text.startsWith(QStringLiteral("交班已记入日志")));
    // What is exported after 交班 carries the log's head taking in its rows.
    QTemporaryDir folder;
    m_prompts.ChooseFile(folder.filePath(QStringLiteral("shift.csv")));
    QTest::mouseClick(manager.findChild<QPushButton*>(QStringLiteral("export")), Qt::LeftButton);
    QFile csv(folder.filePath(QStringLiteral("shift.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        QString::fromUtf8(csv.readAll()).contains(auditlog::HeadText(*auditlog::Head(Db()))));

    // A 营业员 hands over their own figures only.
    CShiftReport clerk(&Db(), QStringLiteral("李四"), false);
    const CShiftFigures everyone =
        *CShiftReport(&Db(), QStringLiteral("管理员"), true).Load(kDay, shiftreport::kAll, nullptr);
    EXPECT_FALSE(clerk.HandOver(everyone, kNow).ok);
    EXPECT_EQ(HandOverRows().size(), 3u);
    const CShiftReport::Outcome own =
        clerk.HandOver(*clerk.Load(kDay, shiftreport::kAll, nullptr), kNow);
    EXPECT_TRUE(own.ok) << own.message.toStdString();
    const std::vector<QStringList> rows = HandOverRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[3], (QStringList{"李四", "销", QString(expected[2][2]).remove(noCash)}));
}

TEST_P(ShiftReportTest, SumsEachMethodAndKeepsTheCashCountedAndASecondHandOverAsks) {
    // 张三: cash, 微信, cash, one not paid yet, and a cash sale taken back (paid back in cash).
    const auto sale = [this](const char* number, const char* at, double paid, const char* method,
                             const char* reverses = "") {
        Exec(QStringLiteral("INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, "
                            "数量, 销售类型, 实收金额, 坏帐, 营业员, 单号, 冲正单号, 支付方式) "
                            "VALUES ('%1', '阿莫西林', '广州', '0.25g*24', '2028-01-01', %2, %3, "
                            "'整盒销售', %2, 0, '张三', '%4', '%5', '%6')")
                 .arg(QString::fromUtf8(at), QString::number(paid),
                      QString::number(paid < 0 ? -1 : 1), QString::fromUtf8(number),
                      QString::fromUtf8(reverses), QString::fromUtf8(method)));
    };
    sale("S1", "2026-12-08 09:00:00", 12.3, "现金");
    sale("S2", "2026-12-08 09:10:00", 5, "微信");
    sale("S3", "2026-12-08 09:20:00", 0.25, "现金");
    sale("S4", "2026-12-08 09:30:00", 1, "");
    sale("S5", "2026-12-08 09:40:00", 2, "现金");
    sale("R5", "2026-12-08 09:50:00", -2, "", "S5");

    CShiftReportWnd clerk(&Db(), QStringLiteral("张三"), false, kNow);
    const CShiftFigures& figures = clerk.Figures();
    EXPECT_EQ(shiftreport::Titles(figures).mid(7), QStringList({"现金", "微信", "未结账"}));
    EXPECT_EQ(Rows(shiftreport::Table(figures))[0],
              QStringList({"张三", "5", "0", "1", "18.55", "09:00:00", "09:50:00", "12.55", "5.00",
                           "1.00"}));

    AnswerCounts({"12"});
    ASSERT_TRUE(clerk.HandOver());
    const QString paid =
        QStringLiteral("；支付：现金 12.55 元，微信 5.00 元，未结账 1.00 元；点钞：应有现金 12.55 "
                       "元，实点 12.00 元，差额 -0.55 元");
    std::vector<QStringList> rows = HandOverRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0][2].endsWith(paid)) << rows[0][2].toStdString();

    // Handed over already: asked first, and No (the default) records nothing.
    m_prompts.Clear();
    EXPECT_FALSE(clerk.HandOver());
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text,
              QStringLiteral("张三 在 2026-12-08 已经交过班，还要再交一次吗？"));
    EXPECT_EQ(m_prompts.Messages()[0].buttons, CPrompts::Buttons::YesNoDefaultNo);
    EXPECT_EQ(HandOverRows().size(), 1u);
}

TEST_P(ShiftReportTest, AHandOverWhoseReplyIsLostIsReportedTrulyAndNeverLoggedTwice) {
    TwoClerks();
    // After the COMMIT has run its reply is lost: on PostgreSQL the connection is really ended.
    std::unique_ptr<CDatabase> killer;
    if (GetParam() == Backend::PostgreSQL)
        killer = Books().OpenAnotherConnection();
    bool cut = false, stayGone = false, gone = false;
    Db().SetStatementHook([&](const QString& sql) {
        if (!gone && !(cut && sql.startsWith(QStringLiteral("COMMIT"))))
            return;
        cut = false;
        gone = stayGone;
        if (killer)
            killer->ExecuteSQL(
                QStringLiteral("SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity "
                               "WHERE datname=current_database() AND pid<>pg_backend_pid()"));
        throw CDBException(QStringLiteral("[test] 回复前连接中断\n"), QStringLiteral("08S01"));
    });
    const auto unhook = qScopeGuard([&] { Db().SetStatementHook({}); });
    CShiftReport manager(&Db(), QStringLiteral("管理员"), true);
    const CShiftFigures figures = *manager.Load(kDay, shiftreport::kAll, nullptr);
    const QString handOver = QStringLiteral("交班：");

    cut = true;
    CShiftReport::Outcome outcome = manager.HandOver(figures, kNow);
    EXPECT_TRUE(outcome.ok);
    EXPECT_TRUE(outcome.message.startsWith(handOver + entrylookup::kRecordedAfterLoss))
        << outcome.message.toStdString();
    EXPECT_EQ(HandOverRows().size(), 3u);

    // Not found out while the server is gone; pressed again once it is back, nothing is added.
    cut = stayGone = true;
    outcome = manager.HandOver(figures, kNow);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.message.startsWith(handOver + entrylookup::kOutcomeUnknown))
        << outcome.message.toStdString();
    gone = stayGone = false;
    outcome = manager.HandOver(figures, kNow);
    EXPECT_EQ(outcome.message, handOver + entrylookup::kAlreadyRecorded);
    EXPECT_EQ(HandOverRows().size(), 6u);
}

} // namespace

APRICOT_INSTANTIATE_BACKENDS(ShiftReportTest);
