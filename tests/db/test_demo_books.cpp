// The demo books: realistic, consistent, the same for the same day, and all or nothing.
#include "CDBException.h"
#include "CDemoBooks.h"
#include "CTestBooks.h"
#include "ean13.h"
#include "query_rows.h"
#include "schema.h"
#include "sql_text.h"

#include <cmath>
#include <map>

namespace {

// A fixed moment in the afternoon, so that today has sales whenever the test runs.
const QDateTime kNow(QDate(2024, 3, 15), QTime(15, 20, 45));

class DemoBooksTest : public CBooksTest {
protected:
    CDemoBooks::Summary WriteDemo(const QDateTime& now = kNow) {
        return CDemoBooks(Db(), now).Write();
    }
    QString Value(const QString& sql) { return QueryValue(Db(), sql); }
};

TEST_P(DemoBooksTest, LooksLikeAFewMonthsOfAPharmacy) {
    const CDemoBooks::Summary summary = WriteDemo();
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 进").toInt(), summary.purchases);
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 存").toInt(), summary.cards);
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 销").toInt(), summary.sales);
    EXPECT_GE(summary.cards, 40);
    EXPECT_GT(summary.purchases, summary.cards); // some batches re-averaged a card
    EXPECT_GT(summary.sales, 500);
    EXPECT_GE(Value("SELECT COUNT(*) FROM (SELECT 名称 FROM 存 GROUP BY 名称) AS drugs").toInt(),
              40);

    // Purchases span the last 120 days up to today.
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 进 WHERE 采购日期 < '2023-11-16'"), "0");
    EXPECT_GT(Value("SELECT COUNT(*) FROM 进 WHERE 采购日期 BETWEEN '2023-11-16' AND '2023-11-30'")
                  .toInt(),
              30);

    // Today's sales, all before now.
    const QString today = "SELECT COUNT(*) FROM 销 WHERE 日期时间 " +
                          sqltext::WholeDayRange("2024-03-15", "2024-03-15");
    EXPECT_EQ(Value(today).toInt(), summary.salesToday);
    EXPECT_GE(summary.salesToday, 3);
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 销 WHERE 日期时间 > '2024-03-15 15:20:45'"), "0");

    // Both kinds of sale; a split pack sells less than a box.
    EXPECT_GT(Value("SELECT COUNT(*) FROM 销 WHERE 销售类型='整盒销售'").toInt(), 100);
    EXPECT_GT(
        Value("SELECT COUNT(*) FROM 销 WHERE 销售类型='拆零销售' AND 数量<1 AND 数量>0").toInt(),
        50);
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 销 WHERE 销售类型 NOT IN ('整盒销售','拆零销售')"), "0");

    // Some cards already expired (still holding stock), some sold out, most fine.
    EXPECT_GE(
        Value("SELECT COUNT(*) FROM 存 WHERE 有效截止日期 < '2024-03-15' AND 现有存货量>0").toInt(),
        3);
    EXPECT_GE(Value("SELECT COUNT(*) FROM 存 WHERE 现有存货量=0").toInt(), 3);
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 存 WHERE 有效截止日期 > '2027-03-16'"), "0");
    EXPECT_EQ(Value("SELECT COUNT(DISTINCT 大类) FROM 进"), "3");

    // Prices in yuan and cents, as typed.
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 进 WHERE ABS(进价*100 - ROUND(进价*100)) > 0.000001"),
              "0");
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 销 WHERE ABS(零售价*100 - ROUND(零售价*100)) > 0.000001"),
              "0");
}

TEST_P(DemoBooksTest, BooksAddUp) {
    WriteDemo();
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 存 WHERE 现有存货量<0"), "0");
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 销 WHERE NOT EXISTS (SELECT 1 FROM 存 WHERE "
                    "存.名称=销.名称 AND 存.产地=销.产地 AND 存.规格型号=销.规格型号 AND "
                    "存.有效截止日期=销.有效截止日期)"),
              "0");
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 进 WHERE NOT EXISTS (SELECT 1 FROM 存 WHERE "
                    "存.名称=进.名称 AND 存.产地=进.产地 AND 存.规格型号=进.规格型号 AND "
                    "存.有效截止日期=进.有效截止日期)"),
              "0");
    // A whole-box sale receives price times boxes, in cents.
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 销 WHERE 销售类型='整盒销售' AND "
                    "ABS(实收金额 - 零售价 * 数量) > 0.006"),
              "0");

    // Each card holds what came in minus what went out.
    std::map<QString, double> balance;
    for (const QStringList& row : QueryRows(
             Db(), "SELECT 名称,产地,规格型号,有效截止日期,SUM(数量) FROM 进 GROUP BY 名称,产地,"
                   "规格型号,有效截止日期"))
        balance[row.mid(0, 4).join('|')] += row[4].toDouble();
    for (const QStringList& row : QueryRows(
             Db(), "SELECT 名称,产地,规格型号,有效截止日期,SUM(数量) FROM 销 GROUP BY 名称,产地,"
                   "规格型号,有效截止日期"))
        balance[row.mid(0, 4).join('|')] -= row[4].toDouble();
    const std::vector<QStringList> cards =
        QueryRows(Db(), "SELECT 名称,产地,规格型号,有效截止日期,现有存货量 FROM 存");
    ASSERT_EQ(cards.size(), balance.size());
    for (const QStringList& card : cards)
        EXPECT_NEAR(card[4].toDouble(), balance[card.mid(0, 4).join('|')], 1e-9)
            << card.join(' ').toStdString();
}

TEST_P(DemoBooksTest, CatalogueScansEveryDrugAtThePricesItSells) {
    WriteDemo();
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 药品"),
              Value("SELECT COUNT(*) FROM (SELECT 名称,产地,规格型号 FROM 进 "
                    "GROUP BY 名称,产地,规格型号) AS drugs"));
    QStringList codes;
    for (const QStringList& row : QueryRows(Db(), "SELECT 条形码 FROM 药品")) {
        EXPECT_TRUE(row[0].startsWith("69") && ean13::IsValid(row[0])) << row[0].toStdString();
        codes << row[0];
    }
    codes.removeDuplicates();
    EXPECT_EQ(QString::number(codes.size()), Value("SELECT COUNT(*) FROM 药品"));
    // Every sale was at the catalogue's price of a box or of a piece.
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 销 JOIN 药品 ON 药品.名称=销.名称 AND "
                    "药品.产地=销.产地 AND 药品.规格型号=销.规格型号 WHERE ABS(销.零售价 - "
                    "CASE WHEN 销.销售类型='整盒销售' THEN 药品.零售价 ELSE 药品.拆零价 END) "
                    "> 0.0001"),
              "0");
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 药品 WHERE 含麻黄碱='是'"), "1");
    EXPECT_GT(Value("SELECT COUNT(*) FROM 药品 WHERE 类别='处方药'").toInt(), 0);
}

TEST_P(DemoBooksTest, SameDayGivesTheSameBooks) {
    const auto dump = [this] {
        std::vector<QStringList> rows = QueryRows(Db(), "SELECT * FROM 销 ORDER BY 日期时间 ASC");
        for (const QStringList& row :
             QueryRows(Db(), "SELECT * FROM 进 ORDER BY 采购日期 ASC, 编号 ASC"))
            rows.push_back(row);
        for (const QStringList& row : QueryRows(Db(), "SELECT * FROM 药品 ORDER BY 条形码"))
            rows.push_back(row);
        return rows;
    };
    WriteDemo();
    const std::vector<QStringList> first = dump();
    Books().DropTables();
    schema::Create(Db());
    WriteDemo();
    EXPECT_EQ(dump(), first);
}

TEST_P(DemoBooksTest, EarlyMorningStillHasSalesOfToday) {
    const CDemoBooks::Summary summary = WriteDemo(QDateTime(QDate(2024, 3, 15), QTime(0, 0, 30)));
    EXPECT_GE(summary.salesToday, 1);
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 销 WHERE 日期时间 >= '2024-03-15 00:00:30'"), "0");
}

TEST_P(DemoBooksTest, FailureHalfWayLeavesNothing) {
    int statements = 0;
    Db().SetStatementHook([&statements](const QString&) {
        if (++statements == 800)
            throw CDBException(QStringLiteral("stopped\n"));
    });
    EXPECT_THROW(WriteDemo(), CDBException);
    Db().SetStatementHook(nullptr);
    EXPECT_TRUE(Db().IsAutoCommit());
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 进"), "0");
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 存"), "0");
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 销"), "0");
    EXPECT_EQ(Value("SELECT COUNT(*) FROM 操作员"), "1");
}

APRICOT_INSTANTIATE_BACKENDS(DemoBooksTest);

} // namespace
