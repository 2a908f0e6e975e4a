// The keys of the books and the constraints that make a bad statement fail on both backends.
#include "CDBException.h"
#include "CTestBooks.h"
#include "entry_statements.h"
#include "query_rows.h"
#include "schema.h"

#include <sqlext.h>

namespace {

const QString kCard1990 = QStringLiteral(
    "INSERT INTO 存(名称,产地,规格型号,有效截止日期,平均成本单价,现有存货量) "
    "VALUES('阿莫西林胶囊','石药集团','0.25g*24粒','1990-01-20',8.500000,10.000000)");

// psqlODBC reports DOUBLE PRECISION as SQL_FLOAT, the SQLite driver DOUBLE as SQL_DOUBLE; both
// are the 8-byte floating-point type.
bool IsDouble(short type) {
    return type == SQL_DOUBLE || type == SQL_FLOAT;
}

class SchemaTest : public CBooksTest {};

TEST_P(SchemaTest, NewBooksHoldOnlyTheFirstOperator) {
    EXPECT_EQ(QueryRows(Db(), "SELECT * FROM 操作员"),
              (std::vector<QStringList>{{"管理员", "737", "店长"}}));
    for (const char* table : {"进", "存", "销"})
        EXPECT_EQ(QueryValue(Db(), QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)), "0")
            << table;
}

TEST_P(SchemaTest, ColumnsComeInTheirOrderWithTheirKinds) {
    const QueryResult purchases = RunQuery(Db(), "select * from 进 WHERE 1<0");
    EXPECT_EQ(purchases.columns,
              QStringList({"采购日期", "采购人", "大类", "小类", "编号", "名称", "产地", "规格型号",
                           "批号", "有效截止日期", "进价", "数量", "录入员", "单号"}));
    EXPECT_TRUE(purchases.rows.empty());
    EXPECT_EQ(purchases.types[0], SQL_TYPE_TIMESTAMP);
    EXPECT_TRUE(IsDouble(purchases.types[10]));
    EXPECT_TRUE(IsDouble(purchases.types[11]));

    const QueryResult cards = RunQuery(Db(), "select * from 存 WHERE 1<0");
    EXPECT_EQ(cards.columns, QStringList({"名称", "产地", "规格型号", "有效截止日期",
                                          "平均成本单价", "现有存货量"}));
    EXPECT_TRUE(IsDouble(cards.types[4]));
    EXPECT_TRUE(IsDouble(cards.types[5]));

    // The view shows the sales' columns before there is any sale.
    const QueryResult sales = RunQuery(Db(), "select * from 销 WHERE 1<0");
    EXPECT_EQ(sales.columns, QStringList({"日期时间", "名称", "产地", "规格型号", "有效截止日期",
                                          "零售价", "数量", "销售类型", "实收金额", "坏帐",
                                          "营业员", "单号", "小票号", "冲正单号", "支付方式"}));
    EXPECT_TRUE(sales.rows.empty());
    EXPECT_EQ(sales.types[0], SQL_TYPE_TIMESTAMP);
    for (int number : {5, 6, 8, 9})
        EXPECT_TRUE(IsDouble(sales.types[number])) << sales.columns[number].toStdString();
    for (int text : {1, 2, 3, 4, 7, 10, 11, 12, 13, 14})
        EXPECT_FALSE(IsDouble(sales.types[text])) << sales.columns[text].toStdString();
}

TEST_P(SchemaTest, StockCardKeyAllowsOneCardPerExpiryDate) {
    Exec(kCard1990);
    EXPECT_TRUE(Fails(kCard1990));
    // Another price and stock do not make another card either.
    EXPECT_TRUE(Fails(QString(kCard1990).replace("8.500000,10.000000", "9.000000,1.000000")));
    Exec(QString(kCard1990).replace("1990-01-20", "1990-02-20"));
    EXPECT_EQ(QueryRows(Db(), "SELECT 有效截止日期,现有存货量 FROM 存 ORDER BY 有效截止日期 ASC"),
              (std::vector<QStringList>{{"1990-01-20", "10"}, {"1990-02-20", "10"}}));
}

// Sales of one second are all kept; a number is a sale's once, and a statement that names none
// (an older program's) still runs.
TEST_P(SchemaTest, ASaleIsKeyedByItsNumberNotItsStamp) {
    const QString sale = QStringLiteral(
        "INSERT INTO "
        "销(日期时间,名称,产地,规格型号,有效截止日期,零售价,数量,销售类型,实收金额,坏帐%1) "
        "VALUES('2003-05-01 09:30:00','板蓝根颗粒','广州白云山','10g*20袋','2005-01-01',12.000000,"
        "1/1.0,'整盒销售',12.00,0%2)");
    Exec(sale.arg(QString(), QString()));
    Exec(sale.arg(QString(), QString()));
    Exec(sale.arg(",单号", ",'a-1'"));
    EXPECT_TRUE(Fails(QString(sale.arg(",单号", ",'a-1'")).replace("板蓝根颗粒", "感冒灵颗粒")));
    Exec(sale.arg(",单号", ",'a-2'"));
    EXPECT_EQ(QueryRows(Db(), "SELECT 单号 FROM 销 ORDER BY 单号"),
              (std::vector<QStringList>{{""}, {""}, {"a-1"}, {"a-2"}}));
}

TEST_P(SchemaTest, NumberColumnsRefuseTextsAndNulls) {
    EXPECT_TRUE(Fails(QString(kCard1990).replace("8.500000", "'八块五'")));
    EXPECT_TRUE(Fails(QString(kCard1990).replace("10.000000", "NULL")));
    // A division by zero must fail the statement on SQLite too, where it gives NULL.
    EXPECT_TRUE(Fails(QString(kCard1990).replace("10.000000", "1/0")));
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 存"), "0");
}

TEST_P(SchemaTest, DateTimeColumnsRefuseWhatIsNoDateTime) {
    const QString purchase = QStringLiteral(
        "INSERT INTO 进(采购日期,采购人,大类,小类,编号,名称,产地,规格型号,批号,有效截止日期,进价,"
        "数量) VALUES('%1','张明','西药','抗生素','YP001','阿莫西林胶囊','石药集团','0.25g*24粒',"
        "'24031501','2026-03-01',8.500000,10.000000)");
    Exec(purchase.arg("2003-05-01"));
    EXPECT_TRUE(Fails(purchase.arg("")));
    EXPECT_TRUE(Fails(purchase.arg("五月一日")));
    EXPECT_TRUE(Fails(purchase.arg("2003-02-30")));
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 进"), "1");
}

TEST_P(SchemaTest, TextTooLongForTheCardIsRefusedByThePurchaseRow) {
    entrysql::Purchase p;
    p.purchaseDate = QDate(2003, 5, 1);
    p.name = QString(101, QChar(0x836F)); // 药 × 101
    p.origin = "石药集团";
    p.packModel = "0.25g*24粒";
    p.expiry = QDate(2005, 5, 1);
    p.price = 8.5f;
    p.quantity = 10;
    EXPECT_THROW(Db().ExecuteSQL(entrysql::InsertPurchase(p)), CDBException);
    p.name.chop(1);
    Db().ExecuteSQL(entrysql::InsertPurchase(p));
    Db().ExecuteSQL(entrysql::InsertStockCard(p));
    EXPECT_EQ(QueryValue(Db(), "SELECT 名称 FROM 存"), p.name);
}

TEST_P(SchemaTest, AnyTableExistsSeesEachTableAlone) {
    EXPECT_TRUE(schema::AnyTableExists(Db()));
    Books().DropTables();
    EXPECT_FALSE(schema::AnyTableExists(Db()));
    for (const QString& table : schema::TableNames()) {
        Exec(QStringLiteral("CREATE TABLE %1 (x VARCHAR(10))").arg(table));
        EXPECT_TRUE(schema::AnyTableExists(Db())) << table.toStdString();
        Exec(QStringLiteral("DROP TABLE %1").arg(table));
    }
}

TEST_P(SchemaTest, CreateOnExistingBooksFailsAndKeepsThem) {
    Exec(kCard1990);
    EXPECT_THROW(schema::Create(Db()), CDBException);
    EXPECT_TRUE(Db().IsAutoCommit());
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 存"), "1");
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 操作员"), "1");
}

TEST_P(SchemaTest, FailedCreateLeavesNoTableBehind) {
    Books().DropTables();
    // 销 exists already, so the script fails at its last table, after the other three.
    Exec("CREATE TABLE 销 (x VARCHAR(10))");
    EXPECT_THROW(schema::Create(Db()), CDBException);
    Exec("DROP TABLE 销");
    EXPECT_FALSE(schema::AnyTableExists(Db()));
}

TEST_P(SchemaTest, OperatorNamesAreUnique) {
    EXPECT_TRUE(Fails("INSERT INTO 操作员 (用户名, 密码) VALUES('管理员','other')"));
    Exec("INSERT INTO 操作员 (用户名, 密码) VALUES('收银员','1234')");
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 操作员"), "2");
}

APRICOT_INSTANTIATE_BACKENDS(SchemaTest);

} // namespace
