// The purchase and sales entries' statements: their exact texts, and what they do to the books
// on both backends.
#include "CDBException.h"
#include "CRecordset.h"
#include "CTestBooks.h"
#include "entry_statements.h"
#include "loss_statements.h"
#include "query_rows.h"
#include "sql_text.h"

namespace {

entrysql::Purchase Batch(double price, double quantity) {
    entrysql::Purchase p;
    p.purchaseDate = QDate(2003, 5, 1);
    p.purchaser = "张明";
    p.category = "西药";
    p.subCategory = "抗生素";
    p.code = "YP001";
    p.name = "阿莫西林胶囊";
    p.origin = "石药集团";
    p.packModel = "0.25g*24粒";
    p.batch = "24031501";
    p.expiry = QDate(2005, 4, 30);
    p.price = price;
    p.quantity = quantity;
    return p;
}

entrysql::Sale SaleOf(const entrysql::Purchase& card, unsigned quantity, unsigned perBox,
                      double price) {
    entrysql::Sale s;
    s.timestamp = "2003-05-02 10:15:30";
    s.name = card.name;
    s.origin = card.origin;
    s.packModel = card.packModel;
    s.expiry = "2005-04-30";
    s.price = price;
    s.quantity = quantity;
    s.piecesPerBox = perBox;
    s.saleType = perBox == 1 ? "整盒销售" : "拆零销售";
    s.amount = sqltext::Amount(quantity * price);
    return s;
}

TEST(EntryStatementTexts, ValuesAreBoundInColumnOrderAndTheNumberComesLast) {
    entrysql::Purchase p = Batch(12.3, 10);
    p.number = "n-1";
    const CStatement purchase = entrysql::InsertPurchase(p);
    EXPECT_EQ(purchase.sql,
              "INSERT INTO 进(采购日期,采购人,大类,小类,编号,名称,产地,规格型号,批号,有效截止日期,"
              "进价,数量,录入员,单号) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    EXPECT_TRUE(purchase.values ==
                (sqlparams::Values{QString("2003-05-01"), QString("张明"), QString("西药"),
                                   QString("抗生素"), QString("YP001"), QString("阿莫西林胶囊"),
                                   QString("石药集团"), QString("0.25g*24粒"), QString("24031501"),
                                   QString("2005-04-30"), 12.3, 10.0, QString(), QString("n-1")}))
        << sqlparams::Describe(purchase.values).toStdString();

    entrysql::Sale s = SaleOf(Batch(1, 1), 3, 20, 0.5);
    s.number = "n-2";
    const CStatement sale = entrysql::InsertSale(s);
    EXPECT_EQ(sale.sql, "INSERT INTO 销(日期时间,名称,产地,规格型号,有效截止日期,零售价,数量,"
                        "销售类型,实收金额,坏帐,营业员,单号) VALUES(?,?,?,?,?,?,?,?,?,?,?,?)");
    // The boxes of a split-pack sale are computed here, exactly as the books divided them.
    EXPECT_TRUE(sale.values ==
                (sqlparams::Values{QString("2003-05-02 10:15:30"), QString("阿莫西林胶囊"),
                                   QString("石药集团"), QString("0.25g*24粒"),
                                   QString("2005-04-30"), 0.5, 3 / 20.0, QString("拆零销售"),
                                   QString("1.50"), 0.0, QString(), QString("n-2")}))
        << sqlparams::Describe(sale.values).toStdString();
    EXPECT_TRUE(entrysql::LowerStock(s).values.front() == sqlparams::Value(3 / 20.0));
    for (const CStatement& statement :
         {purchase, sale, entrysql::InsertStockCard(p), entrysql::ReaverageStockCard(p),
          entrysql::FindStockCard(s), entrysql::LowerStock(s)})
        EXPECT_EQ(statement.sql.count(QLatin1Char('?')), qsizetype(statement.values.size()))
            << statement.sql.toStdString();
}

TEST(EntryStatementTexts, OnlyAPlainDecimalIsAnAmount) {
    for (const char* amount : {"", "1,5", "1); DELETE FROM 销; --", "1e3", " 1.00"})
        EXPECT_FALSE(entrysql::IsAmount(QString::fromUtf8(amount))) << amount;
    for (const char* amount : {"0", "1.50", "-2.5"})
        EXPECT_TRUE(entrysql::IsAmount(QString::fromUtf8(amount))) << amount;
}

class EntryStatementsTest : public CBooksTest {
protected:
    // The purchase entry's sequence: purchase row, new card, else re-averaged card, else undo.
    bool Receive(entrysql::Purchase p) {
        p.number = QString::number(++m_numbers);
        Run(entrysql::InsertPurchase(p));
        if (!Fails(entrysql::InsertStockCard(p)))
            return true;
        if (!Fails(entrysql::ReaverageStockCard(p)))
            return true;
        Db().ExecuteSQL(QStringLiteral("DELETE FROM 进 WHERE 单号=?"), {p.number});
        return false;
    }
    void Run(const CStatement& statement) {
        try {
            Db().ExecuteSQL(statement);
        } catch (const CDBException& e) {
            FAIL() << e.ErrorText().toStdString();
        }
    }
    bool Fails(const CStatement& statement) {
        try {
            Db().ExecuteSQL(statement);
            return false;
        } catch (const CDBException&) {
            return true;
        }
    }
    std::vector<QStringList> Rows(const CStatement& statement) {
        CRecordset rows(&Db());
        rows.Open(statement.sql, statement.values);
        std::vector<QStringList> out;
        while (rows.Fetch())
            out.push_back({rows.GetFieldValue(0).value_or(QString())});
        return out;
    }
    int m_numbers = 0;
    // The sales entry's sequence after the card lookup.
    void Sell(const entrysql::Sale& s) {
        Run(entrysql::InsertSale(s));
        Run(entrysql::LowerStock(s));
        Run(losssql::ClampNegativeStock());
    }
    std::vector<QStringList> Card() {
        return QueryRows(Db(), "SELECT 平均成本单价,现有存货量 FROM 存");
    }
    QString Purchases() { return QueryValue(Db(), "SELECT COUNT(*) FROM 进"); }
};

TEST_P(EntryStatementsTest, FirstBatchMakesTheCardAndTheNextReaverages) {
    ASSERT_TRUE(Receive(Batch(1.0, 10)));
    EXPECT_EQ(Card(), (std::vector<QStringList>{{"1", "10"}}));
    ASSERT_TRUE(Receive(Batch(2.0, 10)));
    EXPECT_EQ(Card(), (std::vector<QStringList>{{"1.5", "20"}}));
    EXPECT_EQ(Purchases(), "2");
    // The same drug with another expiry date gets a card of its own.
    entrysql::Purchase later = Batch(3.0, 5);
    later.expiry = QDate(2006, 1, 1);
    ASSERT_TRUE(Receive(later));
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 存"), "2");
}

TEST_P(EntryStatementsTest, PricesWithMoreThanSevenDigitsArriveExactly) {
    ASSERT_TRUE(Receive(Batch(1234.56, 12345.67)));
    EXPECT_EQ(Card(), (std::vector<QStringList>{{"1234.56", "12345.67"}}));
    EXPECT_EQ(QueryRows(Db(), "SELECT 进价,数量 FROM 进"),
              (std::vector<QStringList>{{"1234.56", "12345.67"}}));
}

TEST_P(EntryStatementsTest, BatchOnAnEmptyCardTakesItsPrice) {
    ASSERT_TRUE(Receive(Batch(1.0, 4)));
    Exec("UPDATE 存 SET 现有存货量=0");
    ASSERT_TRUE(Receive(Batch(2.5, 6)));
    EXPECT_EQ(Card(), (std::vector<QStringList>{{"2.5", "6"}}));
}

TEST_P(EntryStatementsTest, NothingOntoNothingFailsAndUndoesThePurchase) {
    ASSERT_TRUE(Receive(Batch(1.0, 4)));
    Exec("UPDATE 存 SET 现有存货量=0");
    // 0 boxes onto a card holding 0: a division by zero, on both backends.
    EXPECT_TRUE(Fails(entrysql::ReaverageStockCard(Batch(2.0, 0))));
    EXPECT_FALSE(Receive(Batch(2.0, 0)));
    EXPECT_EQ(Card(), (std::vector<QStringList>{{"1", "0"}}));
    EXPECT_EQ(Purchases(), "1");
}

TEST_P(EntryStatementsTest, QuotedTextsStayTexts) {
    entrysql::Purchase p = Batch(1.0, 1);
    p.name = "x'); DELETE FROM 操作员; --";
    p.batch = "O'Neil";
    ASSERT_TRUE(Receive(p));
    EXPECT_EQ(QueryRows(Db(), "SELECT 名称,批号 FROM 进"),
              (std::vector<QStringList>{{p.name, p.batch}}));
    EXPECT_EQ(QueryValue(Db(), "SELECT 名称 FROM 存"), p.name);
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 操作员"), "1");
}

TEST_P(EntryStatementsTest, SplitPackSaleTakesAFractionOfABox) {
    ASSERT_TRUE(Receive(Batch(8.0, 10)));
    const entrysql::Sale s = SaleOf(Batch(1, 1), 3, 20, 0.5);
    ASSERT_EQ(Rows(entrysql::FindStockCard(s)).size(), 1u);
    Sell(s);
    EXPECT_EQ(QueryRows(Db(), "SELECT 零售价,数量,销售类型,实收金额,坏帐 FROM 销"),
              (std::vector<QStringList>{{"0.5", "0.15", "拆零销售", "1.5", "0"}}));
    EXPECT_EQ(Card(), (std::vector<QStringList>{{"8", "9.85"}}));
}

TEST_P(EntryStatementsTest, SaleBeyondTheStockIsRecordedAndTheCardEndsAtZero) {
    ASSERT_TRUE(Receive(Batch(8.0, 1)));
    Sell(SaleOf(Batch(1, 1), 2, 1, 30.0));
    EXPECT_EQ(QueryRows(Db(), "SELECT 数量,实收金额 FROM 销"),
              (std::vector<QStringList>{{"2", "60"}}));
    EXPECT_EQ(Card(), (std::vector<QStringList>{{"8", "0"}}));
}

TEST_P(EntryStatementsTest, SaleOfANameWithoutCardFindsNothing) {
    ASSERT_TRUE(Receive(Batch(8.0, 1)));
    entrysql::Sale s = SaleOf(Batch(1, 1), 1, 1, 1.0);
    s.expiry = "2005-05-01";
    EXPECT_TRUE(Rows(entrysql::FindStockCard(s)).empty());
    EXPECT_EQ(Db().ExecuteSQL(entrysql::LowerStock(s)), 0);
}

APRICOT_INSTANTIATE_BACKENDS(EntryStatementsTest);

} // namespace
