// The SQL that the program's statements rely on, as the two backends answer it.
#include "CTestBooks.h"
#include "query_rows.h"
#include "sql_text.h"

#include <sqlext.h>

namespace {

class SqlFeaturesTest : public CBooksTest {
protected:
    void AddPurchase(const QString& date, const QString& expiry = "2026-03-01") {
        Exec(QStringLiteral("INSERT INTO 进(采购日期,采购人,大类,小类,编号,名称,产地,规格型号,批号,"
                            "有效截止日期,进价,数量) VALUES('%1','张明','西药','抗生素','YP001',"
                            "'阿莫西林胶囊','石药集团','0.25g*24粒','24031501','%2',8.500000,"
                            "10.000000)")
                 .arg(date, expiry));
    }
    void AddCard(const QString& name, const QString& expiry, const QString& cost,
                 const QString& stock) {
        Exec(QStringLiteral(
                 "INSERT INTO 存(名称,产地,规格型号,有效截止日期,平均成本单价,现有存货量) "
                 "VALUES('%1','石药集团','0.25g*24粒','%2',%3,%4)")
                 .arg(name, expiry, cost, stock));
    }
    void AddSale(const QString& stamp, const QString& name, const QString& expiry,
                 const QString& quantity, const QString& amount) {
        Exec(QStringLiteral("INSERT INTO 销(日期时间,名称,产地,规格型号,有效截止日期,零售价,数量,"
                            "销售类型,实收金额,坏帐) VALUES('%1','%2','石药集团','0.25g*24粒','%3',"
                            "1.000000,%4,'整盒销售',%5,0)")
                 .arg(stamp, name, expiry, quantity, amount));
    }
    QString Count(const QString& sql) { return QueryValue(Db(), sql); }
};

TEST_P(SqlFeaturesTest, DateTextsMeetTheDateTimeColumnAsDateTimes) {
    AddPurchase("2003-05-01");
    AddPurchase("2004-01-01");
    AddPurchase("2004-01-02");

    // Whole-day bounds: midnight of the first day is inside.
    EXPECT_EQ(Count("SELECT COUNT(*) FROM 进 WHERE 采购日期 " +
                    sqltext::WholeDayRange("2003-05-01", "2003-05-31")),
              "1");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM 进 WHERE 采购日期 " +
                    sqltext::WholeDayRange("2003-05-01", "2003-05-01")),
              "1");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM 进 WHERE 采购日期 " +
                    sqltext::WholeDayRange("2003-05-02", "2003-12-31")),
              "0");
    // The year view's bounds take in the first day of the next year, and no later day.
    EXPECT_EQ(QueryRows(Db(), "SELECT 采购日期 FROM 进 WHERE 采购日期 BETWEEN '2003-01-01' AND "
                              "'2004-01-01' ORDER BY 采购日期 ASC"),
              (std::vector<QStringList>{{"2003-05-01 00:00:00.000"}, {"2004-01-01 00:00:00.000"}}));
    // Other spellings of the same midnight: a trailing blank, the time written out, the short
    // date form of the date pickers.
    for (const char* same : {"2003-05-01 ", "2003-05-01", "2003-05-01 00:00:00",
                             "2003-05-01 00:00:00.000", "2003/5/1"})
        EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM 进 WHERE 采购日期='%1'").arg(same)),
                  "1")
            << same;
    EXPECT_EQ(Count("SELECT COUNT(*) FROM 进 WHERE 采购日期 BETWEEN '2003/5/1' AND '2003/5/31'"),
              "1");
}

TEST_P(SqlFeaturesTest, SalesOfOneDayRunFromMidnightToTheLastSecond) {
    AddSale("2003-04-30 23:59:59", "阿莫西林胶囊", "2005-01-01", "1/1.0", "1.00");
    AddSale("2003-05-01 00:00:00", "阿莫西林胶囊", "2005-01-01", "1/1.0", "2.00");
    AddSale("2003-05-01 09:05:00", "阿莫西林胶囊", "2005-01-01", "1/1.0", "3.00");
    AddSale("2003-05-01 23:59:59", "阿莫西林胶囊", "2005-01-01", "1/1.0", "4.00");
    AddSale("2003-05-02 00:00:00", "阿莫西林胶囊", "2005-01-01", "1/1.0", "5.00");
    EXPECT_EQ(QueryRows(Db(), "SELECT 实收金额 FROM 销 WHERE 日期时间 " +
                                  sqltext::WholeDayRange("2003-05-01", "2003-05-01") +
                                  " ORDER BY 日期时间 ASC"),
              (std::vector<QStringList>{{"2"}, {"3"}, {"4"}}));
}

TEST_P(SqlFeaturesTest, IntegerOverDotZeroLiteralIsAFraction) {
    AddSale("2003-05-01 10:00:00", "阿莫西林胶囊", "2005-01-01", "3/20.0", "1.50");
    AddSale("2003-05-01 10:00:01", "阿莫西林胶囊", "2005-01-01", "2/3.0", "1.00");
    const QString boxes =
        QueryValue(Db(), "SELECT 数量 FROM 销 WHERE 日期时间='2003-05-01 10:00:00'");
    EXPECT_EQ(boxes, "0.15");
    EXPECT_EQ(boxes.toDouble(), 0.15);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM 销 WHERE 数量=0.15"), "1");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM 销 WHERE 数量>0.66 AND 数量<0.67"), "1");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM 销 WHERE 数量=0"), "0");
}

// A number cell written back into a WHERE clause must find its row again, also for values
// that need more than 15 digits.
TEST_P(SqlFeaturesTest, NumbersReadBackFindTheirRowAgain) {
    AddCard("阿莫西林胶囊", "2005-01-01", "2/3.0", "10-0.15-0.85");
    AddCard("板蓝根颗粒", "2005-01-01", "0.1+0.2", "1");
    for (const QStringList& row : QueryRows(Db(), "SELECT 名称,平均成本单价,现有存货量 FROM 存"))
        EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM 存 WHERE 名称='%1' AND "
                                       "平均成本单价=%2 AND 现有存货量=%3")
                            .arg(row[0], row[1], row[2])),
                  "1")
            << row.join(' ').toStdString();
}

TEST_P(SqlFeaturesTest, LikeFindsPartsOfTextsAndExpiryDates) {
    AddCard("阿莫西林胶囊", "1990-01-20", "1", "1");
    AddCard("阿莫西林胶囊", "1990-02-20", "1", "1");
    AddCard("复方阿莫西林片", "1991-01-05", "1", "1");
    EXPECT_EQ(
        QueryRows(Db(), "SELECT 名称,有效截止日期 FROM 存 WHERE 有效截止日期 LIKE '%1990-01%'"),
        (std::vector<QStringList>{{"阿莫西林胶囊", "1990-01-20"}}));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM 存 WHERE 1>0 AND 名称 LIKE '%阿莫西林%' AND 产地 LIKE "
                    "'%%' AND 规格型号 LIKE '%%' AND 有效截止日期 LIKE '%%'"),
              "3");
}

TEST_P(SqlFeaturesTest, ConstantConditionsGiveAllOrNoRows) {
    AddCard("阿莫西林胶囊", "2005-01-01", "1", "1");
    AddCard("板蓝根颗粒", "2005-01-01", "1", "1");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM 存 WHERE 1>0"), "2");
    EXPECT_EQ(QueryRows(Db(), "SELECT 名称 FROM 存 WHERE 1>0 AND 名称='板蓝根颗粒'"),
              (std::vector<QStringList>{{"板蓝根颗粒"}}));
    const QueryResult none = RunQuery(Db(), "select * from 存 WHERE 1<0");
    EXPECT_EQ(none.columns.size(), 6);
    EXPECT_TRUE(none.rows.empty());
}

TEST_P(SqlFeaturesTest, KeywordsInAnyCaseAndTabsAsBlanks) {
    AddCard("阿莫西林胶囊", "2005-01-01", "1", "-2");
    Exec("UPDATE 存 set 现有存货量=0 WHERE 现有存货量<0");
    Exec("update\t存\tSET 现有存货量=现有存货量+5\twhere 名称='阿莫西林胶囊'");
    EXPECT_EQ(QueryRows(Db(), "select * from 存"),
              (std::vector<QStringList>{
                  {"阿莫西林胶囊", "石药集团", "0.25g*24粒", "2005-01-01", "1", "5"}}));
    EXPECT_EQ(Count("SeLeCt\tCOUNT(*)\tFrOm 存 WhErE 1>0\tAnD 名称 = '阿莫西林胶囊'"), "1");
}

TEST_P(SqlFeaturesTest, StockStatisticsGroupSumCountAndName) {
    AddCard("阿莫西林胶囊", "2005-01-01", "2", "10");
    AddCard("阿莫西林胶囊", "2006-01-01", "3", "30");
    AddCard("板蓝根颗粒", "2005-06-01", "4.5", "2");
    AddCard("感冒灵颗粒", "2005-06-01", "7", "0");

    const QueryResult total = RunQuery(
        Db(), "SELECT SUM(现有存货量*平均成本单价) AS 库存总成本,COUNT(*) AS 药品种类 FROM 存");
    EXPECT_EQ(total.columns, QStringList({"库存总成本", "药品种类"}));
    EXPECT_EQ(total.rows, (std::vector<QStringList>{{"119", "4"}}));

    const QueryResult average = RunQuery(
        Db(), "SELECT 名称,产地,规格型号,SUM(平均成本单价*现有存货量)/SUM(现有存货量) AS "
              "同类药品平均成本单价 FROM 存 WHERE 现有存货量>0 GROUP BY 名称,产地,规格型号");
    EXPECT_EQ(average.columns.last(), "同类药品平均成本单价");
    ASSERT_EQ(average.rows.size(), 2u);
    const QStringList& amoxicillin =
        average.rows[0][0] == "阿莫西林胶囊" ? average.rows[0] : average.rows[1];
    EXPECT_EQ(amoxicillin.first(), "阿莫西林胶囊");
    EXPECT_EQ(amoxicillin.last(), "2.75"); // (2*10 + 3*30) / 40
}

// The sales report's summary: two tables after FROM, joined on the card's key with qualified
// names, a tab in front of the second AND.
TEST_P(SqlFeaturesTest, SalesSummaryJoinsSalesWithTheirCards) {
    AddCard("阿莫西林胶囊", "2005-01-01", "2", "0"); // sold out, still joins
    AddCard("板蓝根颗粒", "2005-01-01", "5", "3");
    AddSale("2003-05-01 09:00:00", "阿莫西林胶囊", "2005-01-01", "3/20.0", "1.50");
    AddSale("2003-05-01 10:00:00", "阿莫西林胶囊", "2005-01-01", "2/1.0", "6.00");
    AddSale("2003-05-01 11:00:00", "板蓝根颗粒", "2005-01-01", "1/1.0", "8.00");
    AddSale("2003-05-01 12:00:00", "已删除的药", "2005-01-01", "1/1.0", "100.00"); // no card
    AddSale("2003-05-02 09:00:00", "板蓝根颗粒", "2005-01-01", "1/1.0", "8.00");   // next day

    const QString summary =
        QStringLiteral(
            "SELECT SUM(实收金额), SUM(存.平均成本单价*销.数量), "
            "SUM(实收金额)-SUM(存.平均成本单价*销.数量),(SUM(实收金额)-SUM(存.平均成本单价*"
            "销.数量))/(SUM(存.平均成本单价*销.数量))*100.0 FROM 销,存 WHERE 销.日期时间 "
            "BETWEEN '%1 00:00:00.000' AND '%1 23:59:59.999' AND 销.名称 = 存.名称") +
        QStringLiteral(
            "\tAND 销.产地 = 存.产地 AND 销.规格型号 = 存.规格型号 AND 销.有效截止日期 = "
            "存.有效截止日期");
    const std::vector<QStringList> rows = QueryRows(Db(), summary.arg("2003-05-01"));
    ASSERT_EQ(rows.size(), 1u);
    // Turnover 15.5; cost 2*0.15 + 2*2 + 5*1 = 9.3.
    EXPECT_DOUBLE_EQ(rows[0][0].toDouble(), 15.5);
    EXPECT_DOUBLE_EQ(rows[0][1].toDouble(), 9.3);
    EXPECT_DOUBLE_EQ(rows[0][2].toDouble(), 6.2);
    EXPECT_NEAR(rows[0][3].toDouble(), 6.2 / 9.3 * 100.0, 1e-9);
}

TEST_P(SqlFeaturesTest, ZeroClampLiftsEveryNegativeStockAndNothingElse) {
    AddCard("阿莫西林胶囊", "2005-01-01", "2", "-0.15");
    AddCard("板蓝根颗粒", "2005-01-01", "5", "-3");
    AddCard("感冒灵颗粒", "2005-01-01", "7", "0.5");
    EXPECT_EQ(Db().ExecuteSQL("UPDATE 存 set 现有存货量=0 WHERE 现有存货量<0"), 2);
    EXPECT_EQ(
        QueryRows(Db(), "SELECT 名称,现有存货量 FROM 存 ORDER BY 现有存货量 ASC,平均成本单价 ASC"),
        (std::vector<QStringList>{
            {"阿莫西林胶囊", "0"}, {"板蓝根颗粒", "0"}, {"感冒灵颗粒", "0.5"}}));
    // A card at zero stays.
    EXPECT_EQ(Count("SELECT COUNT(*) FROM 存 WHERE 现有存货量=0"), "2");
}

TEST_P(SqlFeaturesTest, ChineseNamesAndTextsRoundTripExactly) {
    // Rare characters, full-width punctuation and a quote.
    const QString name = QStringLiteral("龘䶮（复方）「片」'老号'");
    const QString origin = QStringLiteral("北京·同仁堂，亳州");
    Exec(QStringLiteral("INSERT INTO 存(名称,产地,规格型号,有效截止日期,平均成本单价,现有存货量) "
                        "VALUES(%1,%2,'10ml×10支','2005-01-01',1,1)")
             .arg(sqltext::Quote(name), sqltext::Quote(origin)));
    const QueryResult result =
        RunQuery(Db(), "SELECT 名称,产地,规格型号 FROM 存 WHERE 名称=" + sqltext::Quote(name));
    EXPECT_EQ(result.columns, QStringList({"名称", "产地", "规格型号"}));
    EXPECT_EQ(result.rows, (std::vector<QStringList>{{name, origin, "10ml×10支"}}));
    EXPECT_EQ(QueryValue(Db(), "SELECT * FROM 操作员"), "管理员");
}

// Characters of the supplementary planes (CJK extension B and later) in a statement.
TEST_P(SqlFeaturesTest, CharactersBeyondTheBasicPlaneRoundTrip) {
    const QString name = QStringLiteral("𠀀𪚥胶囊");
    Exec(QStringLiteral("INSERT INTO 存(名称,产地,规格型号,有效截止日期,平均成本单价,现有存货量) "
                        "VALUES(%1,'a','b','2005-01-01',1,1)")
             .arg(sqltext::Quote(name)));
    EXPECT_EQ(QueryValue(Db(), "SELECT 名称 FROM 存"), name);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM 存 WHERE 名称=" + sqltext::Quote(name)), "1");
}

APRICOT_INSTANTIATE_BACKENDS(SqlFeaturesTest);

} // namespace
