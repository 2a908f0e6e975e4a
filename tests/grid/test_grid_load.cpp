// Loading a SELECT into cell texts: the packed table, the cell-text rules, the refusal rules and
// the error reports, on both backends.
#include "CDBException.h"
#include "CTestBooks.h"
#include "column_kinds.h"
#include "query_rows.h"
#include "recording_prompts.h"
#include "reported_statement.h"
#include "result_loader.h"
#include "result_table.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sql.h>
#include <sqlext.h>

namespace {

QStringList Row(const CResultTable& table, int row) {
    QStringList out;
    for (int c = 0; c < table.ColumnCount(); ++c)
        out << table.CellText(row, c);
    return out;
}

QStringList Column(const CResultTable& table, int column) {
    QStringList out;
    for (int r = 0; r < table.RowCount(); ++r)
        out << table.CellText(r, column);
    return out;
}

CResultTable TwoColumns() {
    CResultTable table;
    table.SetColumns({{QStringLiteral("名称"), SQL_VARCHAR}, {QStringLiteral("数量"), SQL_DOUBLE}});
    return table;
}

} // namespace

// --- the packed table -------------------------------------------------------------------------

TEST(ResultTable, CellsKeepTheirTextsThroughEditsInsertsAndRemovals) {
    CResultTable table = TwoColumns();
    for (int i = 0; i < 5; ++i) {
        const int row = table.AppendRow();
        table.SetCell(row, 0, QStringLiteral("药品%1").arg(i));
        table.SetCell(row, 1, QString::number(i));
    }
    table.SetCell(1, 0, QStringLiteral("短"));                    // shorter: in place
    table.SetCell(2, 0, QStringLiteral("一个长得多的名称 long")); // longer: appended
    const int inserted = table.InsertRow(0);
    EXPECT_EQ(inserted, 0);
    table.SetCell(0, 1, QStringLiteral("x"));
    table.RemoveRow(4); // was 药品3
    ASSERT_EQ(table.RowCount(), 5);
    EXPECT_EQ(Column(table, 0), (QStringList{"", "药品0", "短", "一个长得多的名称 long", "药品4"}));
    EXPECT_EQ(Column(table, 1), (QStringList{"x", "0", "1", "2", "4"}));
    // Out of range reads as empty and writes go nowhere.
    EXPECT_TRUE(table.CellText(9, 0).isEmpty());
    table.SetCell(9, 0, QStringLiteral("nowhere"));
    EXPECT_EQ(table.RowCount(), 5);
}

TEST(ResultTable, ManyRewritesOfOneCellDoNotGrowTheStoreWithoutBound) {
    CResultTable table = TwoColumns();
    table.AppendRow();
    table.AppendRow();
    table.SetCell(1, 0, QStringLiteral("keep"));
    QString text;
    for (int i = 0; i < 20000; ++i) {
        text = QString(i % 50 + 1, QChar(u'a' + i % 26));
        table.SetCell(0, 0, text);
    }
    EXPECT_EQ(table.CellText(0, 0), text);
    EXPECT_EQ(table.CellText(1, 0), QStringLiteral("keep"));
}

TEST(ResultTable, ReorderTakesOnlyAPermutation) {
    CResultTable table = TwoColumns();
    for (const char* name : {"a", "b", "c"})
        table.SetCell(table.AppendRow(), 0, QString::fromLatin1(name));
    table.Reorder({2, 0, 1});
    EXPECT_EQ(Column(table, 0), (QStringList{"c", "a", "b"}));
    table.Reorder({0, 0, 1}); // would double one row and lose another
    table.Reorder({0, 1});
    EXPECT_EQ(Column(table, 0), (QStringList{"c", "a", "b"}));
    // Rows removed after a reorder are the displayed ones.
    table.RemoveRow(0);
    EXPECT_EQ(Column(table, 0), (QStringList{"a", "b"}));
}

// --- cell-text rules --------------------------------------------------------------------------

TEST(CellText, NullIsEmptyAndTrailingBlanksGo) {
    using resultloader::CellText;
    EXPECT_EQ(CellText(std::nullopt, SQL_VARCHAR), QString());
    EXPECT_EQ(CellText(QStringLiteral("  板蓝根 \t  "), SQL_CHAR), QStringLiteral("  板蓝根"));
    EXPECT_EQ(CellText(QStringLiteral("   "), SQL_CHAR), QString());
}

TEST(CellText, TimestampsLoseMidnightAndZeroMilliseconds) {
    using resultloader::CellText;
    EXPECT_EQ(CellText(QStringLiteral("2003-05-01 00:00:00.000"), SQL_TYPE_TIMESTAMP),
              QStringLiteral("2003-05-01 "));
    EXPECT_EQ(CellText(QStringLiteral("2003-05-01 14:20:05.000"), SQL_TIMESTAMP),
              QStringLiteral("2003-05-01 14:20:05"));
    EXPECT_EQ(CellText(QStringLiteral("2003-05-01 14:20:05.120"), SQL_TYPE_TIMESTAMP),
              QStringLiteral("2003-05-01 14:20:05.120"));
    EXPECT_EQ(CellText(QStringLiteral("2003-05-01 10:00:00.000"), SQL_TYPE_TIMESTAMP),
              QStringLiteral("2003-05-01 10:00:00"));
    // Other columns keep the text as it is.
    EXPECT_EQ(CellText(QStringLiteral("2003-05-01 00:00:00.000"), SQL_VARCHAR),
              QStringLiteral("2003-05-01 00:00:00.000"));
}

TEST(CellText, MicrosecondsAreNotCutOutOfTheirFraction) {
    using resultloader::CellText;
    EXPECT_EQ(CellText(QStringLiteral("2003-05-01 14:20:05.000120"), SQL_TYPE_TIMESTAMP),
              QStringLiteral("2003-05-01 14:20:05.000120"));
    EXPECT_EQ(CellText(QStringLiteral("2003-05-01 00:00:00.000500"), SQL_TYPE_TIMESTAMP),
              QStringLiteral("2003-05-01 00:00:00.000500"));
}

TEST(MayRun, RefusesWithoutAnOpenConnectionEmptyTextsOrForeignTable) {
    CDatabase closed;
    const QString sql = QStringLiteral("select * from 销");
    EXPECT_FALSE(resultloader::MayRun(nullptr, QStringLiteral("销"), sql));
    EXPECT_FALSE(resultloader::MayRun(&closed, QStringLiteral("销"), sql));
    CRecordingPrompts prompts;
    EXPECT_FALSE(RunStatement(&closed, QStringLiteral("销"), sql, nullptr).has_value());
    EXPECT_TRUE(prompts.Messages().empty());
}

// --- on both backends -------------------------------------------------------------------------

class LoadTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (m_books)
            RecordStatements();
    }
    std::optional<CResultTable> Run(const QString& table, const QString& sql) {
        return RunStatementReported(&Db(), table, sql, nullptr);
    }
    CRecordingPrompts m_prompts;
};

TEST_P(LoadTest, StatementWithoutTheTableNameIsNotRun) {
    EXPECT_FALSE(Run(QStringLiteral("存"), QStringLiteral("select * from 销")).has_value());
    EXPECT_FALSE(Run(QString(), QStringLiteral("select * from 销")).has_value());
    EXPECT_FALSE(Run(QStringLiteral("销"), QString()).has_value());
    EXPECT_TRUE(m_sent.isEmpty());
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(LoadTest, EmptyResultGivesTheColumnsAndSucceeds) {
    const auto table = Run(QStringLiteral("销"), QStringLiteral("select * from 销 WHERE 1<0"));
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(table->RowCount(), 0);
    ASSERT_EQ(table->ColumnCount(), 15);
    QStringList names;
    for (const CResultColumn& column : table->Columns())
        names << column.m_strName;
    EXPECT_EQ(names, (QStringList{"日期时间", "名称", "产地", "规格型号", "有效截止日期", "零售价",
                                  "数量", "销售类型", "实收金额", "坏帐", "营业员", "单号",
                                  "小票号", "冲正单号", "支付方式"}));
    const short stamp = table->Columns()[0].m_nSQLType;
    EXPECT_TRUE(stamp == SQL_TYPE_TIMESTAMP || stamp == SQL_TIMESTAMP) << stamp;
    // DOUBLE on SQLite, FLOAT on PostgreSQL: a number either way.
    EXPECT_TRUE(columnkinds::IsSortNumeric(table->Columns()[5].m_nSQLType));
    EXPECT_FALSE(columnkinds::IsSortNumeric(table->Columns()[1].m_nSQLType));
    EXPECT_EQ(m_sent, QStringList{QStringLiteral("select * from 销 WHERE 1<0")});
}

TEST_P(LoadTest, NullsAreEmptyAndTrailingBlanksOfCharValuesGo) {
    Exec(QStringLiteral("CREATE TABLE 样 (名 CHAR(8), 注 VARCHAR(20), 值 DOUBLE PRECISION)"));
    Exec(QStringLiteral("INSERT INTO 样 VALUES ('ab', NULL, NULL)"));
    Exec(QStringLiteral("INSERT INTO 样 VALUES ('甘草  ', '  前 后  ', 0.15)"));
    const auto table = Run(QStringLiteral("样"), QStringLiteral("SELECT * FROM 样 ORDER BY 名"));
    ASSERT_TRUE(table.has_value());
    ASSERT_EQ(table->RowCount(), 2);
    // PostgreSQL pads CHAR(8); SQLite keeps what was written. Either way the blanks go.
    EXPECT_EQ(Row(*table, 0), (QStringList{"ab", "", ""}));
    EXPECT_EQ(Row(*table, 1), (QStringList{"甘草", "  前 后", "0.15"}));
    Exec(QStringLiteral("DROP TABLE 样"));
}

TEST_P(LoadTest, TimestampTextsAndFetchOrder) {
    const QString insert = QStringLiteral(
        "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, "
        "实收金额, 坏帐) VALUES ('%1', '板蓝根', '广州', '10袋', '2005-01-01', 12.5, 1, "
        "'整盒销售', 12.5, 0)");
    Exec(insert.arg(QStringLiteral("2003-05-01 14:20:05")));
    Exec(insert.arg(QStringLiteral("2003-05-01")));
    Exec(insert.arg(QStringLiteral("2003-05-01 14:20:05.120")));
    Exec(insert.arg(QStringLiteral("2003-05-02 00:00:00.5")));
    const auto table = Run(QStringLiteral("销"),
                           QStringLiteral("SELECT 日期时间, 零售价 FROM 销 ORDER BY 日期时间 ASC"));
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(Column(*table, 0),
              (QStringList{"2003-05-01 ", "2003-05-01 14:20:05", "2003-05-01 14:20:05.120",
                           "2003-05-02 00:00:00.500"}));
    EXPECT_EQ(Column(*table, 1), (QStringList{"12.5", "12.5", "12.5", "12.5"}));
}

TEST_P(LoadTest, NumbersReadAsTheirShortestText) {
    Exec(QStringLiteral("INSERT INTO 存 VALUES ('甲', '乙', '丙', '2005-01-01', 3/20.0, 2)"));
    const auto table = Run(QStringLiteral("存"), QStringLiteral("select * from 存"));
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(Row(*table, 0), (QStringList{"甲", "乙", "丙", "2005-01-01", "0.15", "2"}));
}

// The load reads bound UTF-8 buffers; the texts must be those of CRecordset::GetFieldValue.
TEST_P(LoadTest, BoundReadingGivesTheSameTextsAsReadingValueByValue) {
    Exec(QStringLiteral("CREATE TABLE 样 (序 INTEGER, 数 DOUBLE PRECISION, 文 VARCHAR(2000), "
                        "时 TIMESTAMP)"));
    const QString longText = QString(300, QChar(u'药')) + QStringLiteral(" end");
    const QStringList numbers{"0.15",
                              "2",
                              "100000",
                              "10000",
                              "1e20",
                              "0.0001",
                              "0.001",
                              "1/3.0",
                              "-2.5",
                              "2.5e-7",
                              "-0.0",
                              "123456789012345678",
                              "12345.678901234567",
                              "0"};
    for (int i = 0; i < numbers.size(); ++i)
        Exec(QStringLiteral("INSERT INTO 样 VALUES (%1, %2, '%3', '2003-05-01 14:20:05.%4')")
                 .arg(i)
                 .arg(numbers[i], i == 3 ? longText : QStringLiteral("短 "),
                      QString::number(100 + i)));
    const QString sql = QStringLiteral("SELECT 数, 文, 时 FROM 样 ORDER BY 序");
    const QueryResult direct = RunQuery(Db(), sql);
    const auto loaded = Run(QStringLiteral("样"), sql);
    ASSERT_TRUE(loaded.has_value());
    ASSERT_EQ(std::size_t(loaded->RowCount()), direct.rows.size());
    for (int r = 0; r < loaded->RowCount(); ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(loaded->CellText(r, c),
                      resultloader::CellText(direct.rows[r][c], direct.types[c]))
                << numbers[r].toStdString() << " column " << c;
    EXPECT_EQ(loaded->CellText(3, 1), longText);
    EXPECT_EQ(loaded->CellText(0, 0), QStringLiteral("0.15"));
    EXPECT_EQ(loaded->CellText(2, 0), QStringLiteral("1e+05"));

    // Read on the reading connection (on server books through the driver's cursor), the same
    // texts.
    CResultTable streamed;
    resultloader::CLoad load(Db(), streamed);
    ASSERT_TRUE(load.StartStreaming(sql));
    load.FetchAll();
    ASSERT_TRUE(load.Outcome().ok) << load.Outcome().message.toStdString();
    ASSERT_EQ(streamed.RowCount(), loaded->RowCount());
    for (int r = 0; r < loaded->RowCount(); ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(streamed.CellText(r, c), loaded->CellText(r, c)) << r << " column " << c;
    Exec(QStringLiteral("DROP TABLE 样"));
}

TEST_P(LoadTest, ErrorWhileOpeningShowsTheDriversTextAndFails) {
    const QString bad = QStringLiteral("select 没有这列 from 销");
    QString expected;
    try {
        RunQuery(Db(), bad);
    } catch (const CDBException& e) {
        expected = e.ErrorText();
    }
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_FALSE(Run(QStringLiteral("销"), bad).has_value());
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text, expected);
    EXPECT_EQ(m_prompts.Messages()[0].buttons, CPrompts::Buttons::Ok);
}

TEST_P(LoadTest, ReportedRunnerShowsNothingOnSuccess) {
    const std::optional<CResultTable> rows = RunStatementReported(
        &Db(), QStringLiteral("操作员"), QStringLiteral("SELECT * FROM 操作员"), nullptr);
    ASSERT_TRUE(rows.has_value());
    const CResultTable& table = *rows;
    ASSERT_EQ(table.RowCount(), 1);
    EXPECT_EQ(Row(table, 0), (QStringList{"管理员", "737", "店长"}));
    EXPECT_TRUE(m_prompts.Messages().empty());
}

// A large result read in parts keeps its statement open; on SQLite books a second connection
// reads it, whose open statement would lock the books' writer out.
TEST_P(LoadTest, AStreamedLoadIsReadToTheEndBeforeTheBooksAreWritten) {
    Exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                        "2500) INSERT INTO 存 SELECT '药' || i, '厂', '盒', '2030-01-01', 1.5, i "
                        "FROM n"));
    CResultTable table;
    resultloader::CLoad load(Db(), table);
    ASSERT_TRUE(load.StartStreaming(QStringLiteral("select * from 存")));
    EXPECT_EQ(load.FetchSome(100), 100);
    const auto finish = std::make_shared<std::function<void()>>([&] { load.FetchAll(); });
    Db().SetPendingRead(finish);
    Exec(QStringLiteral("INSERT INTO 存 VALUES ('后来', '厂', '盒', '2030-01-01', 1, 1)"));
    EXPECT_TRUE(load.Done());
    EXPECT_TRUE(load.Outcome().ok);
    EXPECT_EQ(table.RowCount(), 2500);
    EXPECT_EQ(QueryRows(Db(), QStringLiteral("SELECT COUNT(*) FROM 存")).at(0).at(0), "2501");

    // A computed column keeps the type the books' own connection gives it, and a statement
    // that changes rows is run, not skipped.
    CResultTable sums;
    resultloader::CLoad sum(Db(), sums);
    ASSERT_TRUE(sum.StartStreaming(QStringLiteral("SELECT SUM(现有存货量) AS s FROM 存")));
    sum.FetchAll();
    EXPECT_TRUE(columnkinds::IsSortNumeric(sums.Columns()[0].m_nSQLType));
    EXPECT_EQ(sums.CellText(0, 0), "3126251");
    CResultTable none;
    resultloader::CLoad insert(Db(), none);
    insert.StartStreaming(QStringLiteral(
        "WITH x AS (SELECT 1 AS v) INSERT INTO 存 SELECT '再来', '厂', '盒', '2030-01-01', v, v "
        "FROM x"));
    insert.FetchAll();
    EXPECT_EQ(QueryRows(Db(), QStringLiteral("SELECT COUNT(*) FROM 存")).at(0).at(0), "2502");
}

// A part of the rows must never pass for the whole: the grid, its exports and report totals
// would be short.
TEST_P(LoadTest, AValueThatCannotBeReadFailsTheLoadWithTheDriversTextAndNoRows) {
    for (const char* name : {"甲", "乙", "丙"})
        Exec(QStringLiteral("INSERT INTO 存 VALUES ('%1', '厂', '盒', '2030-01-01', 1, 1)")
                 .arg(QString::fromUtf8(name)));
    CResultTable table;
    resultloader::CLoad load(Db(), table);
    load.SetReadHook([](int row, short column) {
        if (row == 1 && column == 2)
            throw CDBException(QStringLiteral("无法转换的值"));
    });
    ASSERT_TRUE(load.Start(QStringLiteral("select * from 存")));
    load.FetchAll();
    EXPECT_FALSE(load.Outcome().ok);
    EXPECT_EQ(load.Outcome().message, QStringLiteral("无法转换的值"));
    EXPECT_EQ(table.RowCount(), 0);
    EXPECT_EQ(table.ColumnCount(), 6);
}

// Wherever a streamed load reads, a statement that changes rows runs once.
TEST_P(LoadTest, AStreamedStatementWithoutColumnsChangesItsRowsOnce) {
    Exec(QStringLiteral("INSERT INTO 存 VALUES ('甲', '厂', '盒', '2030-01-01', 1, 1)"));
    for (const QString& sql :
         {QStringLiteral("UPDATE 存 SET 现有存货量 = 现有存货量 + 1"),
          QStringLiteral("INSERT INTO 存 SELECT 名称 || '乙', 产地, 规格型号, 有效截止日期, "
                         "平均成本单价, 现有存货量 FROM 存")}) {
        CResultTable none;
        resultloader::CLoad load(Db(), none);
        EXPECT_TRUE(load.StartStreaming(sql)) << sql.toStdString();
        load.FetchAll();
        EXPECT_TRUE(load.Outcome().ok) << load.Outcome().message.toStdString();
    }
    EXPECT_EQ(QueryRows(Db(), QStringLiteral("SELECT 名称, 现有存货量 FROM 存 ORDER BY 名称")),
              (std::vector<QStringList>{{"甲", "2"}, {"甲乙", "2"}}));
}

APRICOT_INSTANTIATE_BACKENDS(LoadTest);
