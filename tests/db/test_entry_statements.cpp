// The purchase and sales entries' statements: their exact texts, and what they do to the books
// on both backends.
#include "CTestBooks.h"
#include "entry_statements.h"
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

TEST(EntryStatementTexts, PurchaseStatementsAreFilledInColumnOrder) {
    const entrysql::Purchase p = Batch(12.3, 10);
    EXPECT_EQ(
        entrysql::InsertPurchase(p),
        "INSERT INTO 进(采购日期,采购人,大类,小类,编号,名称,产地,规格型号,批号,有效截止日期,进价,"
        "数量,录入员) VALUES('2003-05-01','张明','西药','抗生素','YP001','阿莫西林胶囊','石药集团',"
        "'0.25g*24粒','24031501','2005-04-30',12.300000,10.000000,'')");
    EXPECT_EQ(entrysql::InsertStockCard(p),
              "INSERT INTO 存(名称,产地,规格型号,有效截止日期,平均成本单价,现有存货量) "
              "VALUES('阿莫西林胶囊','石药集团','0.25g*24粒','2005-04-30',12.300000,10.000000)");
    // Ends in two blanks.
    EXPECT_EQ(
        entrysql::ReaverageStockCard(p),
        "UPDATE 存 SET 平均成本单价=(平均成本单价*现有存货量+12.300000*10.000000)/(现有存货量+"
        "10.000000),现有存货量=现有存货量+10.000000 WHERE 名称='阿莫西林胶囊' AND 产地='石药集团' "
        "AND 规格型号='0.25g*24粒' AND 有效截止日期='2005-04-30'  ");
    EXPECT_EQ(entrysql::DeletePurchase(p),
              "DELETE FROM 进 WHERE 采购日期='2003-05-01' AND 采购人='张明' AND 大类='西药' AND "
              "小类='抗生素' AND 编号='YP001' AND 名称='阿莫西林胶囊' AND 产地='石药集团' AND "
              "规格型号='0.25g*24粒' AND 批号='24031501' AND 有效截止日期='2005-04-30' AND "
              "进价=12.300000 AND 数量=10.000000");
}

TEST(EntryStatementTexts, SaleStatementsWriteBoxesAsAnExpression) {
    const entrysql::Sale s = SaleOf(Batch(1, 1), 3, 20, 0.5);
    EXPECT_EQ(entrysql::FindStockCard(s),
              "SELECT 名称,产地,规格型号,有效截止日期 FROM 存 WHERE 名称='阿莫西林胶囊' AND "
              "产地='石药集团' AND 规格型号='0.25g*24粒' AND 有效截止日期='2005-04-30'");
    EXPECT_EQ(
        entrysql::InsertSale(s),
        "INSERT INTO "
        "销(日期时间,名称,产地,规格型号,有效截止日期,零售价,数量,销售类型,实收金额,坏帐,营业员) "
        "VALUES('2003-05-02 10:15:30','阿莫西林胶囊','石药集团','0.25g*24粒','2005-04-30',"
        "0.500000,3/20.0,'拆零销售',1.50,0,'')");
    EXPECT_EQ(entrysql::LowerStock(s),
              "UPDATE 存 SET 现有存货量=现有存货量-3/20.0 WHERE 名称='阿莫西林胶囊' AND "
              "产地='石药集团' AND 规格型号='0.25g*24粒' AND 有效截止日期='2005-04-30'");
    EXPECT_EQ(entrysql::DeleteSale(s), "DELETE FROM 销 WHERE 日期时间='2003-05-02 10:15:30'");
    EXPECT_EQ(entrysql::ClampNegativeStock(), "UPDATE 存 set 现有存货量=0 WHERE 现有存货量<0");
}

TEST(EntryStatementTexts, NumbersKeepEveryDigitOfADouble) {
    // A 32-bit float would give 1234.560059 and 12345.669922.
    const entrysql::Purchase p = Batch(1234.56, 12345.67);
    EXPECT_TRUE(entrysql::InsertStockCard(p).endsWith("1234.560000,12345.670000)"));
    entrysql::Sale s = SaleOf(p, 3, 1, 1234.56);
    EXPECT_TRUE(entrysql::InsertSale(s).contains(",1234.560000,3/1.0,'整盒销售',3703.68,0,'')"));
}

TEST(EntryStatementTexts, AnAmountThatIsNoNumberNeverReachesTheStatement) {
    entrysql::Sale s = SaleOf(Batch(1, 1), 1, 1, 1.0);
    for (const char* amount : {"", "1,5", "1); DELETE FROM 销; --", "1e3", " 1.00"}) {
        s.amount = QString::fromUtf8(amount);
        EXPECT_FALSE(entrysql::IsAmount(s.amount)) << amount;
        // It stays one literal, which the number column refuses.
        EXPECT_TRUE(entrysql::InsertSale(s).endsWith("," + sqltext::Quote(s.amount) + ",0,'')"))
            << entrysql::InsertSale(s).toStdString();
    }
    s.amount = "0";
    EXPECT_TRUE(entrysql::IsAmount(s.amount));
    EXPECT_TRUE(entrysql::InsertSale(s).endsWith(",0,0,'')"));
}

TEST(EntryStatementTexts, ValuesCannotEndTheirLiteralOrFillOtherMarks) {
    entrysql::Purchase p = Batch(1, 1);
    p.name = "x'); DELETE FROM 进; --";
    p.origin = "%s";
    EXPECT_EQ(
        entrysql::InsertStockCard(p),
        "INSERT INTO 存(名称,产地,规格型号,有效截止日期,平均成本单价,现有存货量) "
        "VALUES('x''); DELETE FROM 进; --','%s','0.25g*24粒','2005-04-30',1.000000,1.000000)");
}

class EntryStatementsTest : public CBooksTest {
protected:
    // The purchase entry's sequence: purchase row, new card, else re-averaged card, else undo.
    bool Receive(const entrysql::Purchase& p) {
        Exec(entrysql::InsertPurchase(p));
        if (!Fails(entrysql::InsertStockCard(p)))
            return true;
        if (!Fails(entrysql::ReaverageStockCard(p)))
            return true;
        Exec(entrysql::DeletePurchase(p));
        return false;
    }
    // The sales entry's sequence after the card lookup.
    void Sell(const entrysql::Sale& s) {
        Exec(entrysql::InsertSale(s));
        if (Fails(entrysql::LowerStock(s))) {
            Exec(entrysql::DeleteSale(s));
            FAIL() << "stock update failed";
        }
        Exec(entrysql::ClampNegativeStock());
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

TEST_P(EntryStatementsTest, UndoRemovesEveryIdenticalPurchaseRow) {
    const entrysql::Purchase p = Batch(2.0, 0);
    Exec(entrysql::InsertPurchase(p));
    Exec(entrysql::InsertPurchase(Batch(2.0, 1)));
    EXPECT_EQ(Db().ExecuteSQL(entrysql::InsertPurchase(p)), 1);
    EXPECT_EQ(Db().ExecuteSQL(entrysql::DeletePurchase(p)), 2);
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
    EXPECT_EQ(Db().ExecuteSQL(entrysql::DeletePurchase(p)), 1);
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 操作员"), "1");
}

TEST_P(EntryStatementsTest, SplitPackSaleTakesAFractionOfABox) {
    ASSERT_TRUE(Receive(Batch(8.0, 10)));
    const entrysql::Sale s = SaleOf(Batch(1, 1), 3, 20, 0.5);
    ASSERT_EQ(QueryRows(Db(), entrysql::FindStockCard(s)).size(), 1u);
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
    EXPECT_TRUE(QueryRows(Db(), entrysql::FindStockCard(s)).empty());
    EXPECT_EQ(Db().ExecuteSQL(entrysql::LowerStock(s)), 0);
}

TEST_P(EntryStatementsTest, UndoOfASaleRemovesOnlyThatSale) {
    entrysql::Sale first = SaleOf(Batch(1, 1), 1, 1, 1.0);
    entrysql::Sale second = first;
    second.timestamp = "2003-05-02 10:15:31";
    Exec(entrysql::InsertSale(first));
    Exec(entrysql::InsertSale(second));
    EXPECT_TRUE(Fails(entrysql::InsertSale(first)));
    EXPECT_EQ(Db().ExecuteSQL(entrysql::DeleteSale(first)), 1);
    EXPECT_EQ(QueryRows(Db(), "SELECT 日期时间 FROM 销"),
              (std::vector<QStringList>{{"2003-05-02 10:15:31.000"}}));
}

APRICOT_INSTANTIATE_BACKENDS(EntryStatementsTest);

} // namespace
