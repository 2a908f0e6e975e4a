// Writing an opening-stock import: purchases, cards and catalogue in one transaction, the same
// file known again, nothing left by a cut connection.
#include "audit_log.h"
#include "import_write.h"
#include "ledger_check.h"
#include "log_check.h"
#include "lost_reply.h"
#include "money.h"
#include "query_rows.h"

#include <tuple>

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(9, 30, 0));

CImportBatch Batch(int line, const QString& name, const QDate& expiry, double quantity,
                   double cost) {
    CImportBatch b;
    b.line = line;
    b.name = name;
    b.origin = QStringLiteral("华北制药");
    b.packModel = QStringLiteral("0.25g*24粒");
    b.expiry = expiry;
    b.batch = QStringLiteral("B%1").arg(line);
    b.quantity = quantity;
    b.cost = cost;
    return b;
}

// Every row an import may touch, log included, in a fixed order.
std::vector<QStringList> AllRows(CDatabase& db) {
    std::vector<QStringList> rows;
    for (const char* sql :
         {"SELECT * FROM 进 ORDER BY 单号", "SELECT * FROM 存 ORDER BY 名称,有效截止日期",
          "SELECT * FROM 药品 ORDER BY 名称,产地,规格型号",
          "SELECT * FROM 药品条码 ORDER BY 条形码", "SELECT * FROM 日志 ORDER BY 序号"})
        for (QStringList& row : QueryRows(db, QString::fromUtf8(sql)))
            rows.push_back(std::move(row));
    return rows;
}

class ImportWriteTest : public CLostReplyBooksTest {};

TEST_P(ImportWriteTest, WritesPurchasesAveragesCardsAndFillsTheCatalogue) {
    // A card of 阿莫西林 with 10 boxes at 2 yuan, brought in by an earlier file.
    const CImportBatches first{Batch(2, QStringLiteral("阿莫西林胶囊"), QDate(2027, 5, 31), 10, 2)};
    ASSERT_TRUE(stockimport::WriteImport(Db(), "a.csv", "aa", first, "店长甲", kNow).written);

    CImportBatch more = Batch(2, QStringLiteral("阿莫西林胶囊"), QDate(2027, 5, 31), 30, 4);
    more.price = 12.5;
    more.approval = QStringLiteral("国药准字H13020001");
    more.drugClass = QStringLiteral("处方药");
    CImportBatch fresh = Batch(3, QStringLiteral("布洛芬缓释胶囊"), QDate(2028, 1, 31), 5, 1.25);
    fresh.barcode = QStringLiteral("6901234567892");
    fresh.piecesPerBox = 12;
    const CImportBatches batches{more, fresh};

    const stockimport::CImportSummary summary = stockimport::Summarize(Db(), batches);
    EXPECT_EQ(summary.newDrugs, 1);
    EXPECT_EQ(summary.cardsCreated, 1);
    EXPECT_EQ(summary.cardsAddedTo, 1);
    EXPECT_DOUBLE_EQ(summary.boxes, 35);
    EXPECT_EQ(summary.costCents, 12625);

    const QString digest = stockimport::FileDigest("名称,产地\n");
    EXPECT_FALSE(stockimport::EarlierImport(Db(), digest));
    const stockimport::CImportOutcome outcome =
        stockimport::WriteImport(Db(), "期初.csv", digest, batches, "店长甲", kNow);
    ASSERT_TRUE(outcome.written) << outcome.failure.toStdString();
    EXPECT_EQ(outcome.costCents, 12625);
    // What it wrote is what the preview said it would.
    EXPECT_EQ(std::tuple(outcome.newDrugs, outcome.cardsCreated, outcome.cardsAddedTo),
              std::tuple(summary.newDrugs, summary.cardsCreated, summary.cardsAddedTo));

    EXPECT_EQ(QueryRows(Db(), "SELECT 名称,编号,大类,录入员,采购人,批号,进价,数量 FROM 进 "
                              "WHERE 批号<>'B2' OR 数量=30 ORDER BY 名称"),
              (std::vector<QStringList>{
                  {"布洛芬缓释胶囊", "期初", "期初", "店长甲", "店长甲", "B3", "1.25", "5"},
                  {"阿莫西林胶囊", "期初", "期初", "店长甲", "店长甲", "B2", "4", "30"}}));
    // (10 × 2 + 30 × 4) / 40
    EXPECT_EQ(
        QueryRows(Db(), "SELECT 名称,平均成本单价,现有存货量 FROM 存 ORDER BY 名称"),
        (std::vector<QStringList>{{"布洛芬缓释胶囊", "1.25", "5"}, {"阿莫西林胶囊", "3.5", "40"}}));
    EXPECT_EQ(QueryRows(Db(), "SELECT 名称,条形码,批准文号,类别,每盒总量,零售价 FROM 药品 "
                              "ORDER BY 名称"),
              (std::vector<QStringList>{
                  {"布洛芬缓释胶囊", "6901234567892", "", "其他", "12", "0"},
                  {"阿莫西林胶囊", "", "国药准字H13020001", "处方药", "24", "12.5"}}));

    const std::optional<stockimport::CEarlierImport> earlier =
        stockimport::EarlierImport(Db(), digest);
    ASSERT_TRUE(earlier);
    EXPECT_EQ(earlier->operatorName, "店长甲");
    EXPECT_EQ(
        QueryValue(Db(), "SELECT 内容 FROM 日志 WHERE 动作='期初导入' AND 内容 LIKE '%期初.csv%'"),
        "文件 期初.csv，SHA-256 " + digest + "，2 行，35 盒，成本 126.25 元");
    // Every row written is held by its log row, every card by its movements, and the rows
    // appended together chain on as rows appended one by one.
    const std::optional<auditlog::CLedgerCheck> ledger = auditlog::CheckLedger(Db());
    ASSERT_TRUE(ledger);
    EXPECT_EQ(auditlog::LedgerProblems(*ledger), QStringList());
    EXPECT_EQ(auditlog::CheckChain(Db())->firstBreak, 0);
}

TEST_P(ImportWriteTest, ACodeAnotherDrugHasIsAFaultOfItsRow) {
    CImportBatch one = Batch(2, QStringLiteral("甲药"), QDate(2027, 5, 31), 1, 1);
    CImportBatch other = Batch(3, QStringLiteral("乙药"), QDate(2027, 5, 31), 1, 1);
    one.barcode = other.barcode = QStringLiteral("6901234567892");
    CImportBatches batches{one, other};
    stockimport::MarkCodeConflicts(Db(), batches);
    EXPECT_TRUE(batches[0].fault.isEmpty());
    EXPECT_TRUE(batches[1].fault.startsWith("第 3 行：条形码 6901234567892 已是“甲药"))
        << batches[1].fault.toStdString();
    // Given anyway, the import names the row and writes nothing.
    const stockimport::CImportOutcome outcome =
        stockimport::WriteImport(Db(), "f.csv", "ff", {one, other}, "店长甲", kNow);
    EXPECT_FALSE(outcome.written);
    EXPECT_TRUE(outcome.failure.startsWith("第 3 行：")) << outcome.failure.toStdString();
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 进"), "0");
}

TEST_P(ImportWriteTest, AConnectionCutMidImportLeavesTheBooksAsTheyWere) {
    const CImportBatches first{Batch(2, QStringLiteral("阿莫西林胶囊"), QDate(2027, 5, 31), 10, 2)};
    ASSERT_TRUE(stockimport::WriteImport(Db(), "a.csv", "aa", first, "店长甲", kNow).written);
    const std::vector<QStringList> before = AllRows(Db());

    // The second batch re-averages the card; the connection breaks right after it.
    const CImportBatches batches{
        Batch(2, QStringLiteral("布洛芬缓释胶囊"), QDate(2028, 1, 31), 5, 1.25),
        Batch(3, QStringLiteral("阿莫西林胶囊"), QDate(2027, 5, 31), 30, 4),
        Batch(4, QStringLiteral("维生素C片"), QDate(2028, 1, 31), 5, 1.25)};
    CutAfter("UPDATE 存", true);
    const stockimport::CImportOutcome outcome =
        stockimport::WriteImport(Db(), "b.csv", "bb", batches, "店长甲", kNow);
    Back();
    EXPECT_FALSE(outcome.written);
    EXPECT_FALSE(outcome.failure.isEmpty());

    const std::unique_ptr<CDatabase> fresh = Books().OpenAnotherConnection();
    EXPECT_EQ(AllRows(*fresh), before);
}

APRICOT_INSTANTIATE_BACKENDS(ImportWriteTest);

} // namespace
