// Reading results: column names, type codes, NULL, numbers and date-times as text.
#include "CDBException.h"
#include "CRecordset.h"
#include "CTestBooks.h"

#include <gtest/gtest.h>
#include <memory>
#include <sqlext.h>

namespace {

class RecordsetTest : public CBooksTest {
protected:
    QString QueryOne(const char* sql) {
        const auto row = FirstRow(QString::fromUtf8(sql));
        return row.empty() ? QString() : row[0].value_or(QString());
    }
    // The first row of a SELECT, every value as the record set gives it.
    std::vector<std::optional<QString>> FirstRow(const QString& sql) {
        CRecordset rs(&Db());
        rs.Open(sql);
        std::vector<std::optional<QString>> row;
        if (rs.Fetch())
            for (short i = 0; i < rs.GetODBCFieldCount(); ++i)
                row.push_back(rs.GetFieldValue(i));
        return row;
    }
};

TEST_P(RecordsetTest, ColumnNamesAndTypeCodes) {
    CRecordset rs(&Db());
    rs.Open(QStringLiteral("select * from 销 WHERE 1<0"));
    ASSERT_EQ(rs.GetODBCFieldCount(), 15);
    const QStringList names{"日期时间", "名称", "产地",     "规格型号", "有效截止日期",
                            "零售价",   "数量", "销售类型", "实收金额", "坏帐",
                            "营业员",   "单号", "小票号",   "冲正单号", "支付方式"};
    for (short i = 0; i < 15; ++i)
        EXPECT_EQ(rs.GetODBCFieldInfo(i).m_strName, names[i]);
    const SQLSMALLINT stamp = rs.GetODBCFieldInfo(0).m_nSQLType;
    EXPECT_TRUE(stamp == SQL_TYPE_TIMESTAMP || stamp == SQL_TIMESTAMP) << stamp;
    const SQLSMALLINT price = rs.GetODBCFieldInfo(5).m_nSQLType;
    EXPECT_TRUE(price == SQL_DOUBLE || price == SQL_FLOAT) << price;
    const SQLSMALLINT text = rs.GetODBCFieldInfo(1).m_nSQLType;
    EXPECT_TRUE(text == SQL_VARCHAR || text == SQL_WVARCHAR || text == SQL_CHAR ||
                text == SQL_WCHAR || text == SQL_LONGVARCHAR || text == SQL_WLONGVARCHAR)
        << text;
    EXPECT_FALSE(rs.Fetch()); // WHERE 1<0: the columns and no row
}

TEST_P(RecordsetTest, NumbersComeBackAsShortestExactText) {
    Db().ExecuteSQL(
        QStringLiteral("INSERT INTO 存(名称,产地,规格型号,有效截止日期,平均成本单价,现有存货量) "
                       "VALUES('甲','乙','丙','2030-01-01',2/3.0,3/20.0)"));
    Db().ExecuteSQL(
        QStringLiteral("INSERT INTO 存(名称,产地,规格型号,有效截止日期,平均成本单价,现有存货量) "
                       "VALUES('甲','乙','丙','2030-01-02',3,12.5)"));
    auto row = FirstRow(
        QStringLiteral("SELECT 平均成本单价,现有存货量 FROM 存 WHERE 有效截止日期='2030-01-01'"));
    ASSERT_EQ(row.size(), 2u);
    // SQLite keeps numbers at the 15 digits its driver reads; PostgreSQL keeps every digit.
    EXPECT_EQ(row[0], GetParam() == Backend::SQLite ? QStringLiteral("0.666666666666667")
                                                    : QStringLiteral("0.6666666666666666"));
    EXPECT_EQ(row[1], QStringLiteral("0.15"));
    // The text read back finds the row again when written into a WHERE clause.
    const QString average = *row[0];
    row = FirstRow(
        QStringLiteral("SELECT 平均成本单价,现有存货量 FROM 存 WHERE 有效截止日期='2030-01-02'"));
    EXPECT_EQ(row[0], QStringLiteral("3"));
    EXPECT_EQ(row[1], QStringLiteral("12.5"));
    row = {average};
    CRecordset rs(&Db());
    rs.Open(QStringLiteral("SELECT COUNT(*) FROM 存 WHERE 平均成本单价=%1 AND "
                           "现有存货量=0.15")
                .arg(*row[0]));
    ASSERT_TRUE(rs.Fetch());
    EXPECT_EQ(rs.GetFieldValue(0), QStringLiteral("1"));
}

TEST_P(RecordsetTest, NullIsToldApartFromEmptyText) {
    auto row = FirstRow(QStringLiteral("SELECT NULL, '', SUM(现有存货量) FROM 存"));
    ASSERT_EQ(row.size(), 3u);
    EXPECT_FALSE(row[0].has_value());
    ASSERT_TRUE(row[1].has_value());
    EXPECT_EQ(*row[1], QString());
    EXPECT_FALSE(row[2].has_value()); // SUM over no rows
}

TEST_P(RecordsetTest, DateTimesComeInOneFormOnBothDatabases) {
    for (const char* stamp : {"2003-05-01", "2003-05-01 14:20:05", "2003-05-01 14:20:05.120"})
        Db().ExecuteSQL(
            QStringLiteral(
                "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, "
                "销售类型, 实收金额, 坏帐) VALUES('%1','药','地','规','2030-01-01',"
                "1,1,'整盒销售',1,0)")
                .arg(QLatin1String(stamp)));
    CRecordset rs(&Db());
    rs.Open(QStringLiteral("SELECT 日期时间 FROM 销 ORDER BY 日期时间 ASC"));
    QStringList texts;
    while (rs.Fetch())
        texts << rs.GetFieldValue(0).value_or(QStringLiteral("NULL"));
    EXPECT_EQ(texts, (QStringList{"2003-05-01 00:00:00.000", "2003-05-01 14:20:05.000",
                                  "2003-05-01 14:20:05.120"}));
}

TEST_P(RecordsetTest, ChineseNamesAndValuesRoundTrip) {
    const QString value = QStringLiteral("复方甘草片（口服）·𠀀 “特价” 100%");
    Db().ExecuteSQL(
        QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES('%1','密码')").arg(value));
    CRecordset rs(&Db());
    rs.Open(QStringLiteral("SELECT 用户名 AS 操作员名称 FROM 操作员 WHERE 密码='密码'"));
    EXPECT_EQ(rs.GetODBCFieldInfo(0).m_strName, QStringLiteral("操作员名称"));
    ASSERT_TRUE(rs.Fetch());
    EXPECT_EQ(rs.GetFieldValue(0), value);
}

TEST_P(RecordsetTest, LongTextsAreReadWhole) {
    const QString longText(3000, QChar(0x836F)); // longer than one read buffer
    Db().ExecuteSQL(QStringLiteral("INSERT INTO 操作员 (用户名, 密码) VALUES('长','x')"));
    auto row = FirstRow(QStringLiteral("SELECT '%1' FROM 操作员 WHERE 用户名='长'").arg(longText));
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0], longText);
}

TEST_P(RecordsetTest, FailingStatementsCarryTheDriversText) {
    CRecordset rs(&Db());
    try {
        rs.Open(QStringLiteral("SELECT * FROM 没有这个表"));
        FAIL() << "no error";
    } catch (const CDBException& e) {
        EXPECT_FALSE(e.ErrorText().isEmpty());
        EXPECT_TRUE(e.ErrorText().endsWith(QLatin1Char('\n')));
    }
    EXPECT_THROW(Db().ExecuteSQL(
                     QStringLiteral("INSERT INTO 进 (采购日期, 采购人, 大类, 小类, 编号, 名称, "
                                    "产地, 规格型号, 批号, 有效截止日期, 进价, 数量) VALUES(1)")),
                 CDBException);
}

// A value travels beside the statement, never inside it: a text that would end a literal on a
// server whose database turned standard_conforming_strings off is stored and read back as it
// was typed, whatever the database's default, and numbers come back as bound.
TEST_P(RecordsetTest, BoundValuesStayValues) {
    const QString typed = QStringLiteral("\\'; CREATE TABLE pwned(x int); --");
    std::unique_ptr<CDatabase> db;
    if (Books().GetBackend() == Backend::PostgreSQL) {
        Exec(QStringLiteral("ALTER DATABASE \"%1\" SET standard_conforming_strings = off")
                 .arg(QueryOne("SELECT current_database()")));
        db = Books().OpenAnotherConnection();
        Exec(QStringLiteral("ALTER DATABASE \"%1\" RESET standard_conforming_strings")
                 .arg(QueryOne("SELECT current_database()")));
        CRecordset setting(db.get());
        setting.Open(QStringLiteral("SHOW standard_conforming_strings"));
        ASSERT_TRUE(setting.Fetch());
        EXPECT_EQ(setting.GetFieldValue(0), QStringLiteral("on"));
    }
    CDatabase& books = db ? *db : Db();
    books.ExecuteSQL(
        QStringLiteral("INSERT INTO 存 VALUES(?,?,?,?,?,?)"),
        {typed, typed, QStringLiteral("丙"), QStringLiteral("2099-01-01"), 0.1, qlonglong(3)});
    CRecordset rs(&books);
    rs.Open(QStringLiteral("SELECT 名称, 平均成本单价, 现有存货量 FROM 存 WHERE 产地=?"), {typed});
    ASSERT_TRUE(rs.Fetch());
    EXPECT_EQ(rs.GetFieldValue(0), typed);
    EXPECT_EQ(rs.GetFieldValue(1), QStringLiteral("0.1"));
    EXPECT_EQ(rs.GetFieldValue(2), QStringLiteral("3"));
    EXPECT_TRUE(Fails(QStringLiteral("SELECT * FROM pwned")));
}

TEST_P(RecordsetTest, RowCountsAndTransactions) {
    const QString insert = QStringLiteral("INSERT INTO 存 VALUES('甲','乙','丙','%1',1,1)");
    EXPECT_EQ(Db().ExecuteSQL(insert.arg("2030-01-01")), 1);
    EXPECT_EQ(Db().ExecuteSQL(insert.arg("2030-01-02")), 1);
    EXPECT_EQ(Db().ExecuteSQL(QStringLiteral("UPDATE 存 SET 现有存货量=5 WHERE 名称='甲'")), 2);
    EXPECT_EQ(Db().ExecuteSQL(QStringLiteral("DELETE FROM 存 WHERE 名称='无'")), 0);

    Db().SetAutoCommit(false);
    Db().ExecuteSQL(insert.arg("2030-01-03"));
    Db().Savepoint(QStringLiteral("card"));
    EXPECT_THROW(Db().ExecuteSQL(insert.arg("2030-01-03")), CDBException); // the key
    Db().RollbackToSavepoint(QStringLiteral("card"));
    Db().ExecuteSQL(insert.arg("2030-01-04"));
    Db().Rollback();
    Db().SetAutoCommit(true);
    auto row = FirstRow(QStringLiteral("SELECT COUNT(*) FROM 存"));
    EXPECT_EQ(row[0], QStringLiteral("2"));

    Db().SetAutoCommit(false);
    Db().ExecuteSQL(insert.arg("2030-01-05"));
    Db().CommitTrans();
    Db().SetAutoCommit(true);
    row = FirstRow(QStringLiteral("SELECT COUNT(*) FROM 存"));
    EXPECT_EQ(row[0], QStringLiteral("3"));
}

// SQLite ends a transaction by itself after some errors (a disk I/O error, a full disk); a
// ROLLBACK run directly does the same here. The next transaction must still be one: seen by
// no other connection until committed, and gone when rolled back.
TEST_P(RecordsetTest, TransactionAfterOneTheDatabaseEndedItself) {
    const QString insert = QStringLiteral("INSERT INTO 存 VALUES('甲','乙','丙','%1',1,1)");
    Db().SetAutoCommit(false);
    Db().ExecuteSQL(insert.arg("2030-01-01"));
    Db().ExecuteSQL(QStringLiteral("ROLLBACK"));
    EXPECT_NO_THROW(Db().Rollback());
    Db().SetAutoCommit(true);

    Db().SetAutoCommit(false);
    Db().ExecuteSQL(insert.arg("2030-01-02"));
    {
        std::unique_ptr<CDatabase> other = Books().OpenAnotherConnection();
        CRecordset rs(other.get());
        rs.Open(QStringLiteral("SELECT COUNT(*) FROM 存"));
        ASSERT_TRUE(rs.Fetch());
        EXPECT_EQ(rs.GetFieldValue(0), QStringLiteral("0"))
            << "the entry ran outside a transaction";
    }
    Db().Rollback();
    Db().SetAutoCommit(true);
    EXPECT_EQ(FirstRow(QStringLiteral("SELECT COUNT(*) FROM 存"))[0], QStringLiteral("0"));

    // Turning auto-commit on commits, as the driver's own transactions do.
    Db().SetAutoCommit(false);
    Db().ExecuteSQL(insert.arg("2030-01-03"));
    Db().SetAutoCommit(true);
    std::unique_ptr<CDatabase> other = Books().OpenAnotherConnection();
    CRecordset rs(other.get());
    rs.Open(QStringLiteral("SELECT COUNT(*) FROM 存"));
    ASSERT_TRUE(rs.Fetch());
    EXPECT_EQ(rs.GetFieldValue(0), QStringLiteral("1"));
}

// On SQLite the program's own BEGIN opens the transaction (the PostgreSQL driver keeps its
// own); when it is refused, the connection must not claim manual commit with no transaction.
TEST(SQLiteTransactionTest, RefusedBeginLeavesAutoCommitOn) {
    CTestBooks books(Backend::SQLite);
    CDatabase& db = books.Db();
    db.ExecuteSQL(QStringLiteral("BEGIN"));
    EXPECT_THROW(db.SetAutoCommit(false), CDBException);
    EXPECT_TRUE(db.IsAutoCommit());
    db.ExecuteSQL(QStringLiteral("ROLLBACK"));
    db.SetAutoCommit(false);
    db.ExecuteSQL(QStringLiteral("INSERT INTO 存 VALUES('甲','乙','丙','2030-01-01',1,1)"));
    db.Rollback();
    db.SetAutoCommit(true);
    CRecordset rs(&db);
    rs.Open(QStringLiteral("SELECT COUNT(*) FROM 存"));
    ASSERT_TRUE(rs.Fetch());
    EXPECT_EQ(rs.GetFieldValue(0), QStringLiteral("0"));
}

APRICOT_INSTANTIATE_BACKENDS(RecordsetTest);

} // namespace
