// A log row says what was entered: typed texts that look like placeholders ("%1", "$$") stay as
// typed and in their place, and numbers read as the row they record stores them.
#include "entry_books.h"

#include "loss_text.h"
#include "write_off.h"

namespace {

using namespace entrytest;

const QString kTyped = QStringLiteral("%1 %4 $$ 王%4");
const QString kOperator = QStringLiteral("王%4");

class LogTextTest : public CBooksTest {};

TEST_P(LogTextTest, EveryTypedTextAndStoredNumberIsLoggedAsIsInItsPlace) {
    // Prices of more than six significant digits: a "%g" or two-decimal text would differ.
    CPurchaseEntry::Form batch = Batch(QStringLiteral("12.3456789"), QStringLiteral("10"));
    for (QString* field : {&batch.purchaser, &batch.category, &batch.subCategory, &batch.code,
                           &batch.name, &batch.origin, &batch.packModel, &batch.batch})
        *field = kTyped;
    CEntryOutcome outcome = CPurchaseEntry(&Db(), kOperator).Add(batch);
    ASSERT_TRUE(outcome.recorded) << outcome.status.toStdString();

    CSalesEntry::Form sale =
        SaleOf(QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("30.1234567"));
    const losssql::Card card{kTyped, kTyped, kTyped, QStringLiteral("2005-04-30")};
    sale.card = {card.name, card.origin, card.packModel, card.expiry};
    outcome = CSalesEntry(&Db(), kOperator).Add(sale);
    ASSERT_TRUE(outcome.recorded) << outcome.status.toStdString();

    const CWriteOff::Form writeOff{card, QStringLiteral("2.5"), losstext::kBroken, kTyped, kTyped};
    outcome = CWriteOff(&Db(), kOperator).Add(writeOff);
    ASSERT_TRUE(outcome.recorded) << outcome.status.toStdString();

    const QString t = kTyped;
    const QString named = t + QStringLiteral("（") + t + QStringLiteral("，") + t;
    const struct {
        const char* action;
        const char* column; // the number's, read back from its own row
        const char* table;
        QStringList places;
    } cases[] = {
        {"进货",
         "进价",
         "进",
         {named + QStringLiteral("，批号 ") + t + QStringLiteral("，"),
          QStringLiteral("采购人 ") + t + QStringLiteral("，"),
          QStringLiteral("大类 ") + t + QStringLiteral("，小类 ") + t + QStringLiteral("，编号 ") +
              t}},
        {"销售", "零售价", "销", {named + QStringLiteral("，")}},
        {"报损",
         "成本单价",
         "损",
         {named + QStringLiteral("，"),
          QStringLiteral("；去向 ") + t + QStringLiteral("；备注 ") + t}},
    };
    for (const auto& c : cases) {
        const QString action = QString::fromUtf8(c.action);
        const QString column = QString::fromUtf8(c.column);
        const auto rows = QueryRows(
            Db(), QStringLiteral("SELECT 操作员, 内容 FROM 日志 WHERE 动作='") + action + "'");
        ASSERT_EQ(rows.size(), 1u) << c.action;
        EXPECT_EQ(rows[0][0], kOperator) << c.action;
        const QString stored =
            QueryValue(Db(), QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ") +
                                 QString::fromUtf8(c.table));
        for (const QString& place :
             c.places + QStringList{column + QLatin1Char(' ') + stored + QStringLiteral(" 元")})
            EXPECT_TRUE(rows[0][1].contains(place)) << c.action << ": " << rows[0][1].toStdString()
                                                    << "\n  lacks: " << place.toStdString();
    }
}

APRICOT_INSTANTIATE_BACKENDS(LogTextTest);

} // namespace
