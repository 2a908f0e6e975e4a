// Writing grid rows back: statement texts, bound values, and what the tables hold afterwards.
#include "CDBException.h"
#include "CTestBooks.h"
#include "query_rows.h"
#include "recording_prompts.h"
#include "result_loader.h"
#include "sql_text.h"
#include "write_back.h"

#include <QScopeGuard>
#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <sql.h>
#include <sqlext.h>
#include <stdexcept>

namespace {

using writeback::DeleteStatement;
using writeback::InsertStatement;
using writeback::IsNumberText;
using writeback::UpdateStatement;

// A few columns of 进 as a grid shows them after a sort of 名称 (arrow in the title).
std::vector<CResultColumn> SampleColumns() {
    return {{QStringLiteral("采购日期"), SQL_TYPE_TIMESTAMP},
            {QStringLiteral("名称↓"), SQL_VARCHAR},
            {QStringLiteral("进价"), SQL_DOUBLE},
            {QStringLiteral("数量"), SQL_DOUBLE}};
}

// The statement's text and its bound values, as a reader sees them.
QString Sent(const CStatement& statement) {
    return statement.sql + QStringLiteral(" | ") + sqlparams::Describe(statement.values);
}

TEST(WriteBackText, InsertNamesEveryColumnAndBindsNumbersAsNumbers) {
    EXPECT_EQ(Sent(InsertStatement(QStringLiteral("进"), SampleColumns(),
                                   {QStringLiteral("2003-05-01 "), QStringLiteral("阿莫西林"),
                                    QStringLiteral("12.5"), QString()})),
              QStringLiteral("INSERT INTO 进(采购日期,名称,进价,数量) VALUES(?,?,?,?) | "
                             "'2003-05-01 ', '阿莫西林', 12.5, 0"));
}

TEST(WriteBackText, UpdateSetsEveryColumnAndMatchesAllOldValues) {
    EXPECT_EQ(Sent(UpdateStatement(QStringLiteral("进"), SampleColumns(),
                                   {QStringLiteral("2003-05-02"), QStringLiteral("O'Neil"),
                                    QStringLiteral("-1e3"), QStringLiteral("2")},
                                   {QStringLiteral("2003-05-01 "), QStringLiteral("阿莫西林"),
                                    QStringLiteral("0.15"), QStringLiteral("")})),
              QStringLiteral("UPDATE 进 SET 采购日期=?,名称=?,进价=?,数量=? WHERE 采购日期=? AND "
                             "名称=? AND 进价=? AND 数量=? | '2003-05-02', 'O'Neil', -1000, 2, "
                             "'2003-05-01 ', '阿莫西林', 0.14999999999999999, 0"));
}

TEST(WriteBackText, ARowWithANumberIsFoundByItAlone) {
    std::vector<CResultColumn> columns = SampleColumns();
    columns.push_back({QStringLiteral("单号↑"), SQL_VARCHAR});
    const QStringList old = {QStringLiteral("2003-05-01 "), QStringLiteral("阿莫西林"),
                             QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("n-1")};
    EXPECT_EQ(Sent(DeleteStatement(QStringLiteral("进"), columns, old)),
              QStringLiteral("DELETE FROM 进 WHERE 单号=? AND 单号<>'' | 'n-1'"));
    EXPECT_EQ(Sent(UpdateStatement(QStringLiteral("进"), columns, old, old)),
              QStringLiteral("UPDATE 进 SET 采购日期=?,名称=?,进价=?,数量=?,单号=? WHERE 单号=? "
                             "AND 单号<>'' | '2003-05-01 ', '阿莫西林', 1, 3, 'n-1', 'n-1'"));
    // Without a number it is found by every column, arrows removed from their names.
    QStringList unnumbered = old;
    unnumbered.last().clear();
    EXPECT_EQ(DeleteStatement(QStringLiteral("进"), columns, unnumbered).sql,
              QStringLiteral("DELETE FROM 进 WHERE 采购日期=? AND 名称=? AND 进价=? AND 数量=? "
                             "AND 单号=?"));
}

TEST(WriteBackText, CellsAreBoundAsNumbersOnlyInNumericColumns) {
    using sqlparams::Value;
    EXPECT_EQ(writeback::Bound(QStringLiteral("it's"), SQL_VARCHAR), Value(QStringLiteral("it's")));
    EXPECT_EQ(writeback::Bound(QStringLiteral("12"), SQL_VARCHAR), Value(QStringLiteral("12")));
    EXPECT_EQ(writeback::Bound(QString(), SQL_TYPE_TIMESTAMP), Value(QString()));
    // Every SQL-numeric kind, BIT included, takes a number; blank means 0.
    for (short type : {SQL_NUMERIC, SQL_DECIMAL, SQL_INTEGER, SQL_SMALLINT, SQL_FLOAT, SQL_REAL,
                       SQL_DOUBLE, SQL_BIGINT, SQL_TINYINT, SQL_BIT}) {
        EXPECT_EQ(writeback::Bound(QString(), type), Value(0LL)) << type;
        EXPECT_EQ(writeback::Bound(QStringLiteral(" 7 "), type), Value(7LL)) << type;
        EXPECT_EQ(writeback::Bound(QStringLiteral("-2.5"), type), Value(-2.5)) << type;
    }
    // A non-number stays a text, which the database refuses: it never becomes code.
    EXPECT_EQ(writeback::Bound(QStringLiteral("1;DELETE FROM 进"), SQL_DOUBLE),
              Value(QStringLiteral("1;DELETE FROM 进")));
}

TEST(WriteBackText, NumberTextsBothDatabasesRead) {
    for (const char* good : {"0", "-1", "+2.5", ".5", "5.", "1e5", "1E-3", "2.5e+10", " 12 ",
                             "0.6666666666666666", "007", ""}) {
        EXPECT_TRUE(IsNumberText(QString::fromUtf8(good))) << good;
    }
    for (const char* bad : {"abc",   "12元",
                            "1,5",   "inf",
                            "-inf",  "nan",
                            "NaN",   "Infinity",
                            "0x10",  "1e",
                            "1e+",   "--1",
                            "+-1",   "1-",
                            "1.2.3", "e5",
                            ".",     "+",
                            "-",     "1 2",
                            "１２",  "1;DROP TABLE 进",
                            "1--",   "(1)",
                            "1/3"}) {
        EXPECT_FALSE(IsNumberText(QString::fromUtf8(bad))) << bad;
    }
}

TEST(WriteBackNoConnection, EverythingFailsSilently) {
    CRecordingPrompts prompts;
    const auto columns = SampleColumns();
    const QStringList row = {QStringLiteral("2003-05-01"), QStringLiteral("x"),
                             QStringLiteral("abc"), QStringLiteral("1")};
    CRowWriter none(nullptr, nullptr);
    EXPECT_FALSE(none.ExecuteStatement(QStringLiteral("DELETE FROM 进")));
    EXPECT_FALSE(none.Insert(QStringLiteral("进"), columns, row));
    EXPECT_FALSE(none.Update(QStringLiteral("进"), columns, row, row));
    EXPECT_FALSE(none.Delete(QStringLiteral("进"), columns, row));
    CDatabase closed;
    CRowWriter unopened(&closed, nullptr);
    EXPECT_FALSE(unopened.ExecuteStatement(QStringLiteral("DELETE FROM 进")));
    EXPECT_FALSE(unopened.Delete(QStringLiteral("进"), columns, row));
    EXPECT_TRUE(prompts.Messages().empty());
}

// ---------------------------------------------------------------------------------------------

const QString kPurchase = QStringLiteral("进");
// The described columns: rows without a 单号, found by all their values.
const QString kPurchaseColumns = QStringLiteral(
    "采购日期,采购人,大类,小类,编号,名称,产地,规格型号,批号,有效截止日期,进价,数量,录入员");
const QString kSelectPurchases =
    QStringLiteral("SELECT ") + kPurchaseColumns + QStringLiteral(" FROM 进");

// One 进 row in the grid's cell texts, with the values a test changes given.
QStringList PurchaseRow(const QString& name = QStringLiteral("阿莫西林"),
                        const QString& price = QStringLiteral("12.5"),
                        const QString& count = QStringLiteral("10"),
                        const QString& date = QStringLiteral("2003-05-01 ")) {
    return {date,
            QStringLiteral("张三"),
            QStringLiteral("西药"),
            QStringLiteral("抗生素"),
            QStringLiteral("A001"),
            name,
            QStringLiteral("华北制药"),
            QStringLiteral("0.25g*24"),
            QStringLiteral("B20030401"),
            QStringLiteral("2005-04-01"),
            price,
            count,
            QString()};
}

class WriteBackTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Db().SetStatementHook([this](const QString& sql) {
            m_sent << sql;
            if (m_failOn && sql.startsWith(*m_failOn))
                throw CDBException(QStringLiteral("injected failure\n"));
            if (m_throwOn && sql.startsWith(*m_throwOn))
                throw std::runtime_error("not a database error");
        });
        m_columns = Grid(kSelectPurchases).Columns();
        ASSERT_EQ(m_columns.size(), 13u);
        m_writer = std::make_unique<CRowWriter>(&Db(), nullptr);
    }
    void TearDown() override {
        if (m_books) {
            Db().SetStatementHook({});
            // Whatever happened, the connection is back in auto-commit, in the driver too.
            EXPECT_TRUE(Db().IsAutoCommit());
            SQLULEN mode = 0;
            ASSERT_TRUE(SQL_SUCCEEDED(
                SQLGetConnectAttr(Db().Handle(), SQL_ATTR_AUTOCOMMIT, &mode, 0, nullptr)));
            EXPECT_EQ(mode, static_cast<SQLULEN>(SQL_AUTOCOMMIT_ON));
        }
    }

    // The result as the grid shows it.
    CResultTable Grid(const QString& sql) {
        CResultTable table;
        const resultloader::CLoadOutcome outcome = resultloader::Load(Db(), sql, table);
        EXPECT_TRUE(outcome.ok) << outcome.message.toStdString();
        return table;
    }
    std::vector<QStringList> GridRows(const QString& sql) {
        const CResultTable table = Grid(sql);
        std::vector<QStringList> rows;
        for (int r = 0; r < table.RowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < table.ColumnCount(); ++c)
                row << table.CellText(r, c);
            rows.push_back(row);
        }
        return rows;
    }
    // The rows in an order of their own, whatever the server's collation.
    std::vector<QStringList> Sorted(const QString& sql) {
        std::vector<QStringList> rows = GridRows(sql);
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    std::vector<QStringList> Purchases() { return Sorted(kSelectPurchases); }
    long long Count(const QString& where = {}) {
        return QueryValue(Db(), QStringLiteral("SELECT COUNT(*) FROM 进 ") + where).toLongLong();
    }
    // Stores a row with plain SQL, outside the writer; the two numbers may be expressions.
    void Store(const QStringList& row, int copies = 1) {
        QStringList values;
        for (int i = 0; i < row.size(); ++i)
            values << (i == 10 || i == 11 ? row[i] : sqltext::Quote(row[i]));
        for (int i = 0; i < copies; ++i)
            Exec(QStringLiteral("INSERT INTO 进(%1) VALUES(%2)")
                     .arg(kPurchaseColumns, values.join(QLatin1Char(','))));
    }
    QStringList Sent() {
        QStringList sent = m_sent;
        m_sent.clear();
        return sent;
    }

    CRecordingPrompts m_prompts;
    std::vector<CResultColumn> m_columns;
    std::unique_ptr<CRowWriter> m_writer;
    QStringList m_sent;
    std::optional<QString> m_failOn;
    std::optional<QString> m_throwOn;
};

TEST_P(WriteBackTest, DriversCountTheRowsAStatementChanged) {
    Store(PurchaseRow(), 3);
    EXPECT_EQ(Db().ExecuteSQL(QStringLiteral("UPDATE 进 SET 数量=11 WHERE 数量=10")), 3);
    EXPECT_EQ(Db().ExecuteSQL(QStringLiteral("UPDATE 进 SET 数量=12 WHERE 数量=10")), 0);
    EXPECT_EQ(Db().ExecuteSQL(QStringLiteral("DELETE FROM 进 WHERE 数量=12")), 0);
    EXPECT_EQ(Db().ExecuteSQL(QStringLiteral("DELETE FROM 进 WHERE 数量=11")), 3);
}

TEST_P(WriteBackTest, InsertSendsItsShapeAndStoresTheTexts) {
    Sent();
    ASSERT_TRUE(m_writer->Insert(
        kPurchase, m_columns,
        PurchaseRow(QStringLiteral("O'Neil's \"药\""), QStringLiteral("0.15"), QString())));
    // The row, then its log row, committed together.
    const QStringList sent = Sent();
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_EQ(sent.first(), QStringLiteral("INSERT INTO 进(") + kPurchaseColumns +
                                QStringLiteral(") VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    EXPECT_EQ(sent.last(), QStringLiteral("COMMIT"));
    // The empty number is stored as 0, the quotes as typed.
    EXPECT_EQ(Purchases(),
              std::vector<QStringList>{PurchaseRow(QStringLiteral("O'Neil's \"药\""),
                                                   QStringLiteral("0.15"), QStringLiteral("0"))});
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(WriteBackTest, UpdateSendsItsShapeAndChangesTheRow) {
    Store(PurchaseRow());
    Store(PurchaseRow(QStringLiteral("板蓝根")));
    Sent();
    ASSERT_TRUE(m_writer->Update(kPurchase, m_columns, PurchaseRow(),
                                 PurchaseRow(QStringLiteral("'; DELETE FROM 进; --"),
                                             QStringLiteral("-3.5"), QStringLiteral(""))));
    const QStringList updateSent = Sent();
    ASSERT_FALSE(updateSent.isEmpty());
    EXPECT_EQ(updateSent.last(), QStringLiteral("COMMIT"));
    // The typed text travels as a value; the statement holds names and marks only.
    EXPECT_EQ(updateSent.first(),
              QStringLiteral("UPDATE 进 SET 采购日期=?,采购人=?,大类=?,小类=?,编号=?,名称=?,产地=?,"
                             "规格型号=?,批号=?,有效截止日期=?,进价=?,数量=?,录入员=? WHERE "
                             "采购日期=? AND 采购人=? AND 大类=? AND 小类=? AND 编号=? AND 名称=? "
                             "AND 产地=? AND 规格型号=? AND 批号=? AND 有效截止日期=? AND 进价=? "
                             "AND 数量=? AND 录入员=?"));
    EXPECT_EQ(Purchases(),
              (std::vector<QStringList>{PurchaseRow(QStringLiteral("'; DELETE FROM 进; --"),
                                                    QStringLiteral("-3.5"), QStringLiteral("0")),
                                        PurchaseRow(QStringLiteral("板蓝根"))}));
    // The stored quote text is matched again as the grid shows it.
    ASSERT_TRUE(m_writer->Delete(kPurchase, m_columns,
                                 PurchaseRow(QStringLiteral("'; DELETE FROM 进; --"),
                                             QStringLiteral("-3.5"), QStringLiteral("0"))));
    EXPECT_EQ(Purchases(), std::vector<QStringList>{PurchaseRow(QStringLiteral("板蓝根"))});
}

TEST_P(WriteBackTest, DeleteSendsItsShapeAndRemovesTheRow) {
    Store(PurchaseRow());
    Store(PurchaseRow(QStringLiteral("板蓝根")));
    Sent();
    ASSERT_TRUE(m_writer->Delete(kPurchase, m_columns, PurchaseRow()));
    const QStringList deleteSent = Sent();
    ASSERT_FALSE(deleteSent.isEmpty());
    EXPECT_EQ(deleteSent.last(), QStringLiteral("COMMIT"));
    EXPECT_EQ(deleteSent.first(),
              QStringLiteral("DELETE FROM 进 WHERE 采购日期=? AND 采购人=? AND 大类=? AND 小类=? "
                             "AND 编号=? AND 名称=? AND 产地=? AND 规格型号=? AND 批号=? AND "
                             "有效截止日期=? AND 进价=? AND 数量=? AND 录入员=?"));
    EXPECT_EQ(Purchases(), std::vector<QStringList>{PurchaseRow(QStringLiteral("板蓝根"))});
}

TEST_P(WriteBackTest, NonNumberIsRefusedBeforeAnyStatement) {
    Store(PurchaseRow());
    const auto before = Purchases();
    Sent();
    EXPECT_FALSE(m_writer->Insert(kPurchase, m_columns,
                                  PurchaseRow(QStringLiteral("新药"), QStringLiteral("12元"))));
    EXPECT_FALSE(m_writer->Update(kPurchase, m_columns, PurchaseRow(),
                                  PurchaseRow(QStringLiteral("阿莫西林"), QStringLiteral("12.5"),
                                              QStringLiteral("1;DELETE FROM 进"))));
    EXPECT_FALSE(m_writer->Delete(kPurchase, m_columns,
                                  PurchaseRow(QStringLiteral("阿莫西林"), QStringLiteral("nan"))));
    EXPECT_TRUE(Sent().isEmpty());
    EXPECT_EQ(Purchases(), before);
    const QStringList texts = m_prompts.Texts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts[0].contains(QStringLiteral("“进价”")) &&
                texts[0].contains(QStringLiteral("“12元”")))
        << texts[0].toStdString();
    EXPECT_TRUE(texts[1].contains(QStringLiteral("“数量”")) &&
                texts[1].contains(QStringLiteral("“1;DELETE FROM 进”")))
        << texts[1].toStdString();
    EXPECT_TRUE(texts[2].contains(QStringLiteral("“进价”")) &&
                texts[2].contains(QStringLiteral("“nan”")))
        << texts[2].toStdString();
    EXPECT_TRUE(texts[0].contains(QStringLiteral("不是数字")));
}

TEST_P(WriteBackTest, RowThatMatchesNothingIsReportedAndTableUnchanged) {
    // A third is stored; a few of its digits are not that number.
    Store(PurchaseRow(QStringLiteral("阿莫西林"), QStringLiteral("1/3.0")));
    const auto before = Purchases();
    const QStringList inexact = PurchaseRow(QStringLiteral("阿莫西林"), QStringLiteral("0.33333"));
    EXPECT_FALSE(
        m_writer->Update(kPurchase, m_columns, inexact, PurchaseRow(QStringLiteral("新"))));
    EXPECT_FALSE(m_writer->Delete(kPurchase, m_columns, PurchaseRow(QStringLiteral("已删除"))));
    EXPECT_EQ(Purchases(), before);
    const QStringList texts = m_prompts.Texts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].contains(QStringLiteral("没有修改任何记录"))) << texts[0].toStdString();
    EXPECT_TRUE(texts[1].contains(QStringLiteral("没有删除任何记录"))) << texts[1].toStdString();
    EXPECT_TRUE(texts[1].contains(QStringLiteral("“更新”")));
    // The text the grid shows matches.
    EXPECT_TRUE(m_writer->Delete(kPurchase, m_columns, before.front()));
    EXPECT_EQ(Count(), 0);
}

TEST_P(WriteBackTest, OneOfIdenticalRowsIsDeleted) {
    Store(PurchaseRow(), 3);
    Store(PurchaseRow(QStringLiteral("板蓝根")));
    ASSERT_TRUE(m_writer->Delete(kPurchase, m_columns, PurchaseRow()));
    EXPECT_EQ(Purchases(), (std::vector<QStringList>{PurchaseRow(QStringLiteral("板蓝根")),
                                                     PurchaseRow(), PurchaseRow()}));
    ASSERT_TRUE(m_writer->Delete(kPurchase, m_columns, PurchaseRow()));
    ASSERT_TRUE(m_writer->Delete(kPurchase, m_columns, PurchaseRow()));
    EXPECT_EQ(Purchases(), std::vector<QStringList>{PurchaseRow(QStringLiteral("板蓝根"))});
}

TEST_P(WriteBackTest, OneOfIdenticalRowsIsUpdated) {
    Store(PurchaseRow(), 3);
    const QStringList changed =
        PurchaseRow(QStringLiteral("阿莫西林"), QStringLiteral("12.5"), QStringLiteral("11"));
    ASSERT_TRUE(m_writer->Update(kPurchase, m_columns, PurchaseRow(), changed));
    EXPECT_EQ(Purchases(), (std::vector<QStringList>{PurchaseRow(), PurchaseRow(), changed}));
    EXPECT_TRUE(m_prompts.Messages().empty());
}

TEST_P(WriteBackTest, UnchangedIdenticalRowsStayAsMany) {
    // Leaving an open row runs its Update even when nothing was typed; a value the database
    // takes as equal (the date without its blank) changes nothing either.
    Store(PurchaseRow(), 3);
    ASSERT_TRUE(m_writer->Update(kPurchase, m_columns, PurchaseRow(), PurchaseRow()));
    EXPECT_EQ(Count(), 3);
    const QStringList sameValues = PurchaseRow(QStringLiteral("阿莫西林"), QStringLiteral("12.50"),
                                               QStringLiteral("1e1"), QStringLiteral("2003-05-01"));
    ASSERT_TRUE(m_writer->Update(kPurchase, m_columns, PurchaseRow(), sameValues));
    EXPECT_EQ(Purchases(), (std::vector<QStringList>{PurchaseRow(), PurchaseRow(), PurchaseRow()}));
}

TEST_P(WriteBackTest, MidnightStampShownWithItsBlankMatches) {
    Exec(QStringLiteral(
        "INSERT INTO 进 (采购日期, 采购人, 大类, 小类, 编号, 名称, 产地, 规格型号, 批号, "
        "有效截止日期, 进价, 数量) VALUES('2003-05-01 00:00:00','张三','西药','抗生素','A001',"
        "'阿莫西林','华北制药','0.25g*24','B20030401','2005-04-01',12.5,10)"));
    Exec(QStringLiteral(
        "INSERT INTO 进 (采购日期, 采购人, 大类, 小类, 编号, 名称, 产地, 规格型号, 批号, "
        "有效截止日期, 进价, 数量) VALUES('2003-05-01 14:20:05','张三','西药','抗生素','A001',"
        "'阿莫西林','华北制药','0.25g*24','B20030401','2005-04-01',12.5,10)"));
    const auto rows = Purchases();
    ASSERT_EQ(rows.size(), 2u);
    QStringList midnight = rows[0][0] == QStringLiteral("2003-05-01 ") ? rows[0] : rows[1];
    ASSERT_EQ(midnight, PurchaseRow());
    const QStringList moved = PurchaseRow(QStringLiteral("阿莫西林"), QStringLiteral("12.5"),
                                          QStringLiteral("10"), QStringLiteral("2003-05-02"));
    ASSERT_TRUE(m_writer->Update(kPurchase, m_columns, midnight, moved));
    EXPECT_EQ(Count(QStringLiteral("WHERE 采购日期='2003-05-02 00:00:00'")), 1);
    EXPECT_EQ(Count(QStringLiteral("WHERE 采购日期='2003-05-01 14:20:05'")), 1);
    ASSERT_TRUE(m_writer->Delete(
        kPurchase, m_columns,
        GridRows(kSelectPurchases + QStringLiteral(" WHERE 采购日期='2003-05-02'")).at(0)));
    EXPECT_EQ(Count(), 1);
}

TEST_P(WriteBackTest, DoublesShownInShortestFormMatch) {
    Store(PurchaseRow(QStringLiteral("甲"), QStringLiteral("3/20.0"), QStringLiteral("2/3.0")));
    Store(PurchaseRow(QStringLiteral("乙"), QStringLiteral("2/3.0"), QStringLiteral("3/20.0")));
    const auto rows = Purchases();
    ASSERT_EQ(rows.size(), 2u);
    // 乙 sorts first. Two thirds show in at most 16 digits (the SQLite books keep 15).
    EXPECT_EQ(rows[1][10], QStringLiteral("0.15"));
    EXPECT_TRUE(rows[1][11] == QStringLiteral("0.6666666666666666") ||
                rows[1][11] == QStringLiteral("0.666666666666667"))
        << rows[1][11].toStdString();
    ASSERT_TRUE(m_writer->Update(kPurchase, m_columns, rows[1],
                                 PurchaseRow(QStringLiteral("甲"), QStringLiteral("1"))));
    ASSERT_TRUE(m_writer->Delete(kPurchase, m_columns, rows[0]));
    EXPECT_EQ(Purchases(),
              std::vector<QStringList>{PurchaseRow(QStringLiteral("甲"), QStringLiteral("1"))});
}

TEST_P(WriteBackTest, DriverTextOfAFailedStatementIsShownAlone) {
    // The second card with the same key breaks the stock card's primary key.
    const QString card =
        QStringLiteral("INSERT INTO 存 VALUES('阿莫西林','华北制药','0.25g*24','2005-04-01',1,2)");
    Exec(card);
    QString driverText;
    try {
        Db().ExecuteSQL(card);
    } catch (const CDBException& e) {
        driverText = e.ErrorText();
    }
    ASSERT_FALSE(driverText.isEmpty());
    EXPECT_FALSE(m_writer->ExecuteStatement(card));
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_EQ(m_prompts.Messages()[0].text, driverText);
    EXPECT_EQ(m_prompts.Messages()[0].buttons, CPrompts::Buttons::Ok);
}

TEST_P(WriteBackTest, FailedInsertAndUpdateShowTheDriverText) {
    const auto cards = Grid(QStringLiteral("SELECT * FROM 存")).Columns();
    const QStringList a = {QStringLiteral("甲"),         QStringLiteral("厂"), QStringLiteral("盒"),
                           QStringLiteral("2005-04-01"), QStringLiteral("1"),  QStringLiteral("2")};
    QStringList b = a;
    b[0] = QStringLiteral("乙");
    ASSERT_TRUE(m_writer->Insert(QStringLiteral("存"), cards, a));
    ASSERT_TRUE(m_writer->Insert(QStringLiteral("存"), cards, b));
    EXPECT_FALSE(m_writer->Insert(QStringLiteral("存"), cards, a));
    EXPECT_FALSE(m_writer->Update(QStringLiteral("存"), cards, b, a));
    const QStringList texts = m_prompts.Texts();
    ASSERT_EQ(texts.size(), 2);
    for (const QString& text : texts) {
        EXPECT_FALSE(text.isEmpty());
        EXPECT_FALSE(text.contains(QStringLiteral("没有"))) << text.toStdString();
    }
    EXPECT_EQ(Sorted(QStringLiteral("SELECT * FROM 存")), (std::vector<QStringList>{b, a}));
}

TEST_P(WriteBackTest, FailurePuttingCopiesBackUndoesTheWhole) {
    Store(PurchaseRow(), 3);
    m_failOn = QStringLiteral("INSERT");
    EXPECT_FALSE(m_writer->Delete(kPurchase, m_columns, PurchaseRow()));
    EXPECT_EQ(m_prompts.Texts(), QStringList{QStringLiteral("injected failure\n")});
    m_failOn.reset();
    EXPECT_EQ(Count(), 3);
}

TEST_P(WriteBackTest, FailureReplacingOneOfIdenticalRowsUndoesTheWhole) {
    Store(PurchaseRow(), 3);
    m_failOn = QStringLiteral("INSERT");
    EXPECT_FALSE(
        m_writer->Update(kPurchase, m_columns, PurchaseRow(), PurchaseRow(QStringLiteral("新"))));
    m_failOn.reset();
    EXPECT_EQ(m_prompts.Texts(), QStringList{QStringLiteral("injected failure\n")});
    EXPECT_EQ(Purchases(), (std::vector<QStringList>{PurchaseRow(), PurchaseRow(), PurchaseRow()}));
}

TEST_P(WriteBackTest, ExceptionOtherThanDatabaseErrorStillEndsTheTransaction) {
    Store(PurchaseRow(), 2);
    m_throwOn = QStringLiteral("UPDATE");
    EXPECT_THROW(
        m_writer->Update(kPurchase, m_columns, PurchaseRow(), PurchaseRow(QStringLiteral("新"))),
        std::runtime_error);
    m_throwOn.reset();
    EXPECT_EQ(Purchases(), (std::vector<QStringList>{PurchaseRow(), PurchaseRow()}));
}

TEST_P(WriteBackTest, InsideACallersTransactionNothingIsCommitted) {
    Store(PurchaseRow(), 3);
    Db().SetAutoCommit(false);
    ASSERT_TRUE(m_writer->Delete(kPurchase, m_columns, PurchaseRow()));
    EXPECT_FALSE(m_writer->Delete(kPurchase, m_columns, PurchaseRow(QStringLiteral("无"))));
    EXPECT_FALSE(Db().IsAutoCommit());
    EXPECT_EQ(Count(), 2);
    Db().Rollback();
    Db().SetAutoCommit(true);
    EXPECT_EQ(Count(), 3);
}

TEST_P(WriteBackTest, EachChangeLeavesOneLogRowWithItsValues) {
    CRowWriter writer(&Db(), nullptr, {QStringLiteral("李四"), {}, {}});
    ASSERT_TRUE(writer.Insert(kPurchase, m_columns, PurchaseRow()));
    ASSERT_TRUE(writer.Update(
        kPurchase, m_columns, PurchaseRow(),
        PurchaseRow(QStringLiteral("阿莫西林"), QStringLiteral("12.5"), QStringLiteral("12"))));
    ASSERT_TRUE(writer.Delete(
        kPurchase, m_columns,
        PurchaseRow(QStringLiteral("阿莫西林"), QStringLiteral("12.5"), QStringLiteral("12"))));
    const auto rows =
        QueryRows(Db(), QStringLiteral("SELECT 操作员, 动作, 对象, 内容 FROM 日志 ORDER BY 序号"));
    ASSERT_EQ(rows.size(), 3u);
    const QString whole =
        QStringLiteral("采购日期：2003-05-01 "
                       "；采购人：张三；大类：西药；小类：抗生素；编号：A001；名称：阿莫西林；"
                       "产地：华北制药；规格型号：0.25g*24；批号：B20030401；有效截止日期：2005-04-"
                       "01；进价：12.5；"
                       "数量：%1；录入员：");
    EXPECT_EQ(rows[0], (QStringList{"李四", "添加", "进", whole.arg(10)}));
    // Only what changed.
    EXPECT_EQ(rows[1], (QStringList{"李四", "修改", "进", "数量：10 → 12"}));
    EXPECT_EQ(rows[2], (QStringList{"李四", "删除", "进", whole.arg(12)}));
}

TEST_P(WriteBackTest, AFailedChangeLeavesNoLogRowAndAFailedLogRowNoChange) {
    Store(PurchaseRow());
    // The books refuse the row: no log row either.
    const auto cards = Grid(QStringLiteral("SELECT * FROM 存")).Columns();
    const QStringList card = {QStringLiteral("甲"), QStringLiteral("厂"),
                              QStringLiteral("盒"), QStringLiteral("2005-04-01"),
                              QStringLiteral("1"),  QStringLiteral("2")};
    Exec(QStringLiteral("INSERT INTO 存 VALUES('甲','厂','盒','2005-04-01',1,2)"));
    EXPECT_FALSE(m_writer->Insert(QStringLiteral("存"), cards, card));
    // The log refuses its row: the change goes too.
    m_failOn = QStringLiteral("INSERT INTO 日志");
    EXPECT_FALSE(
        m_writer->Update(kPurchase, m_columns, PurchaseRow(), PurchaseRow(QStringLiteral("新"))));
    EXPECT_FALSE(m_writer->Delete(kPurchase, m_columns, PurchaseRow()));
    m_failOn.reset();
    // A guard that finds the books no longer as they must be undoes the change and its row.
    QStringList guarded;
    writeback::CWriter refusing(&Db(), {QStringLiteral("李四"), {}, [&](const QStringList& old) {
                                            guarded = old;
                                            return QStringLiteral("不行");
                                        }});
    const writeback::CWriteOutcome changed =
        refusing.Update(kPurchase, m_columns, PurchaseRow(), PurchaseRow(QStringLiteral("新")));
    EXPECT_EQ(guarded, PurchaseRow());
    EXPECT_EQ(refusing.Delete(kPurchase, m_columns, PurchaseRow()).failure, "不行");
    EXPECT_FALSE(changed.ok);
    EXPECT_EQ(changed.failure, "不行");
    EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT COUNT(*) FROM 日志")), "0");
    EXPECT_EQ(Purchases(), std::vector<QStringList>{PurchaseRow()});
}

APRICOT_INSTANTIATE_BACKENDS(WriteBackTest);

// Rows written back on the books as the program sees them: every column of the table.
class WriteBackBooksTest : public CBooksTest {
protected:
    CResultTable Rows(CDatabase& db, const QString& sql) {
        CResultTable table;
        const resultloader::CLoadOutcome outcome = resultloader::Load(db, sql, table);
        EXPECT_TRUE(outcome.ok) << outcome.message.toStdString();
        return table;
    }
    static QStringList Row(const CResultTable& table, int row) {
        QStringList cells;
        for (int c = 0; c < table.ColumnCount(); ++c)
            cells << table.CellText(row, c);
        return cells;
    }
};

TEST_P(WriteBackBooksTest, ATypedQuoteIsStoredAsTypedWhereBackslashesAreNoEscape) {
    if (GetParam() != Backend::PostgreSQL)
        GTEST_SKIP() << "only a server reads backslashes in literals";
    const QString database = QueryValue(Db(), "SELECT current_database()");
    Exec(QStringLiteral("ALTER DATABASE \"%1\" SET standard_conforming_strings = off")
             .arg(database));
    const auto reset = qScopeGuard([&] {
        Exec(QStringLiteral("ALTER DATABASE \"%1\" RESET standard_conforming_strings")
                 .arg(database));
    });
    Exec(QStringLiteral(
        "INSERT INTO 存 VALUES('维生素C片','华中药业','0.1g*100片','2099-12-31',2,10)"));
    Exec(QStringLiteral("INSERT INTO 存 VALUES('板蓝根','白云山','10g*20袋','2099-12-31',3,5)"));
    Exec(QStringLiteral("INSERT INTO 操作员 VALUES('张三','x','营业员')"));
    const std::unique_ptr<CDatabase> fresh = Books().OpenAnotherConnection();
    // Whatever the connection sets when it opens, the session too reads backslashes as escapes.
    fresh->ExecuteSQL(QStringLiteral("SET standard_conforming_strings = off"));
    ASSERT_EQ(QueryValue(*fresh, "SHOW standard_conforming_strings"), "off");
    const QString select = QStringLiteral("SELECT * FROM 存 ORDER BY 名称");
    const CResultTable before = Rows(*fresh, select);
    ASSERT_EQ(before.RowCount(), 2);
    const int card = Row(before, 0).at(0) == QStringLiteral("板蓝根") ? 1 : 0;
    const QString typed =
        QStringLiteral("\\'; UPDATE 操作员 SET 角色=$$店长$$; CREATE TABLE pwned(x int); --");
    QStringList changed = Row(before, card);
    changed[2] = typed;

    CRecordingPrompts prompts;
    ASSERT_TRUE(CRowWriter(fresh.get(), nullptr)
                    .Update(QStringLiteral("存"), before.Columns(), Row(before, card), changed));

    const CResultTable after = Rows(*fresh, select);
    ASSERT_EQ(after.RowCount(), 2);
    EXPECT_EQ(Row(after, card), changed);
    EXPECT_EQ(Row(after, 1 - card), Row(before, 1 - card));
    EXPECT_EQ(QueryValue(Db(), "SELECT 角色 FROM 操作员 WHERE 用户名='张三'"), "营业员");
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM pg_tables WHERE tablename='pwned'"), "0");
}

TEST_P(WriteBackBooksTest, ANumberedSaleEqualToAnotherChangesOnlyItself) {
    const QString sale = QStringLiteral(
        "INSERT INTO 销 VALUES('2026-01-05 10:00:00','维生素C片','华中药业','0.1g*100片',"
        "'2099-12-31',3.5,1,'整盒销售',3.5,0,'张三','%1','','','')");
    Exec(sale.arg(QStringLiteral("n-1")));
    Exec(sale.arg(QStringLiteral("n-2")));
    const QString select = QStringLiteral("SELECT * FROM 销 ORDER BY 单号");
    const CResultTable before = Rows(Db(), select);
    ASSERT_EQ(before.RowCount(), 2);
    const int count = writeback::NumberColumn(before.Columns());
    ASSERT_GE(count, 0);
    QStringList changed = Row(before, 1);
    changed[6] = QStringLiteral("2");
    changed[8] = QStringLiteral("7");

    CRecordingPrompts prompts;
    CRowWriter writer(&Db(), nullptr, {QStringLiteral("李四"), {}, {}});
    ASSERT_TRUE(writer.Update(QStringLiteral("销"), before.Columns(), Row(before, 1), changed));
    CResultTable after = Rows(Db(), select);
    EXPECT_EQ(Row(after, 0), Row(before, 0));
    EXPECT_EQ(Row(after, 1), changed);
    EXPECT_EQ(QueryValue(Db(), "SELECT 单号 FROM 日志 WHERE 动作='修改'"), "n-2");

    // Deleted by its number too; a new row without one is given its own.
    ASSERT_TRUE(writer.Delete(QStringLiteral("销"), before.Columns(), Row(before, 0)));
    QStringList added = Row(before, 0);
    added[count].clear();
    ASSERT_TRUE(writer.Insert(QStringLiteral("销"), before.Columns(), added));
    after = Rows(Db(), select);
    ASSERT_EQ(after.RowCount(), 2);
    EXPECT_EQ(Row(after, 1), changed);
    EXPECT_EQ(after.CellText(0, count), writer.NewNumber());
    EXPECT_EQ(writer.NewNumber().size(), 36);
}

APRICOT_INSTANTIATE_BACKENDS(WriteBackBooksTest);

} // namespace
