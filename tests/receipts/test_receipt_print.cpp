// A basket's receipt on both backends: the PDF it writes read back as text, its paper's width,
// a long name wrapped and not cut, a reprint marked, and the log row of each.
#include "entry_books.h"
#include "entry_lookup.h"
#include "ledger_check.h"
#include "lost_reply.h"
#include "payment.h"
#include "read_only_path.h"
#include "receipt_content.h"
#include "receipt_print.h"
#include "receipt_scope.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {

using namespace entrytest;

const QString kLongName = QStringLiteral("复方氨酚烷胺胶囊儿童专用加强型长效缓释装");
const QString kWholeStamp = QStringLiteral("2003-05-02 10:04:19");
const QString kSplitStamp = QStringLiteral("2003-05-02 10:05:02");
const QDateTime kPrinted(QDate(2003, 5, 2), QTime(10, 6, 0));
// The boxes of the whole-box sale.
const QStringList kCodes{"81234567890123456781", "81234567890123456782"};

QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("(%1 failed: %2)")
            .arg(program, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The page width in points as pdfinfo reads it.
double PageWidth(const QString& pdf) {
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x"))
            .match(RunTool("pdfinfo", {pdf}));
    return size.hasMatch() ? size.captured(1).toDouble() : 0;
}

class ReceiptPrintTest : public CLostReplyBooksTest {
protected:
    void SetUp() override {
        CLostReplyBooksTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        CPurchaseEntry::Form longOne = Batch("9", "10");
        longOne.name = kLongName;
        longOne.batch = QStringLiteral("LN2303");
        longOne.traceCodes = kCodes;
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(Batch("8", "10")).recorded);
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(longOne).recorded);
        CSalesEntry::Form whole = SaleOf("2", "1", "12.5", kWholeStamp);
        whole.card.name = kLongName;
        whole.traceCodes = kCodes;
        ASSERT_TRUE(CSalesEntry(&Db(), QStringLiteral("张三")).Add(whole).recorded);
        ASSERT_TRUE(CSalesEntry(&Db(), QStringLiteral("张三"))
                        .Add(SaleOf("3", "20", "0.5", kSplitStamp))
                        .recorded);
        m_whole = NumberOf(kWholeStamp);
        m_split = NumberOf(kSplitStamp);
        ASSERT_FALSE(m_whole.isEmpty() || m_split.isEmpty());
        m_basket = {m_whole, m_split};
        m_settings.shopName = QStringLiteral("青杏药店城东店");
        m_settings.printer = CReceiptSettings::kSaveAsPdf;
        m_settings.Save();
    }
    // Where this backend's receipts go.
    QString Folder() const {
        return GetParam() == Backend::SQLite
                   ? QDir(m_books->Folder()).filePath(QStringLiteral("receipts"))
                   : m_scope.DataFolder() + QStringLiteral("/apricot/receipts");
    }
    QString NumberOf(const QString& stamp) {
        return QueryValue(Db(),
                          QStringLiteral("SELECT 单号 FROM 销 WHERE 日期时间='%1'").arg(stamp));
    }
    std::vector<QStringList> Log() {
        return QueryRows(Db(), "SELECT 操作员, 动作, 对象, 内容 FROM 日志 WHERE 动作 LIKE '%小票' "
                               "ORDER BY 序号");
    }

    receipttest::CReceiptScope m_scope;
    CReceiptSettings m_settings;
    QString m_whole, m_split;
    QStringList m_basket;
};

TEST_P(ReceiptPrintTest, PdfHoldsTheWholeBasketOnItsPaper) {
    const QString number = QStringLiteral("20030502100419-") + receiptcontent::CounterName();
    for (const auto& [paper, points] : {std::pair{CReceiptSettings::Paper::Mm58, 58 * 72 / 25.4},
                                        std::pair{CReceiptSettings::Paper::Mm80, 80 * 72 / 25.4}}) {
        m_settings.paper = paper;
        m_settings.Save();
        const CReceiptOutcome outcome =
            PrintReceipt(Db(), m_basket, QStringLiteral("李店长"), false, kPrinted);
        ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
        EXPECT_EQ(outcome.file, QDir(Folder()).filePath(number + QStringLiteral(".pdf")));
        EXPECT_EQ(outcome.message, QStringLiteral("小票已保存：") + outcome.file);
        EXPECT_NEAR(PageWidth(outcome.file), points, 1.0);

        const QString text = RunTool("pdftotext", {"-layout", outcome.file, "-"});
        for (const QString& expected :
             {QStringLiteral("青杏药店城东店"), QStringLiteral("小票号 ") + number,
              QStringLiteral("营业员 张三"), QStringLiteral("阿莫西林胶囊"),
              QStringLiteral("批号 24031501"), QStringLiteral("批号 LN2303"),
              QStringLiteral("追溯码 ") + kCodes[0], kCodes[1],
              QStringLiteral("数量 2 盒 × 单价 12.50"), QStringLiteral("金额 25.00"),
              // The catalogue counts this drug in 粒 (its pack model, at purchase).
              QStringLiteral("数量 3 粒 × 单价 0.50"), QStringLiteral("金额 1.50"),
              QStringLiteral("合计 26.50 元")})
            EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " in\n"
                                                 << text.toStdString();
        // The long name and the footer wrap on 58 mm, and every character of them is printed.
        const QString flat = QString(text).remove(QRegularExpression(QStringLiteral("\\s")));
        EXPECT_TRUE(flat.contains(kLongName));
        EXPECT_TRUE(flat.contains(m_settings.footer));
        if (paper == CReceiptSettings::Paper::Mm58) {
            EXPECT_FALSE(text.contains(kLongName)) << text.toStdString();
        }
        EXPECT_FALSE(text.contains(QStringLiteral("补打")));
    }
    const std::vector<QStringList> log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].mid(0, 3), (QStringList{"李店长", "打印小票", "销"}));
    EXPECT_TRUE(log[0][3].contains(QStringLiteral("2 笔销售，合计 26.50 元")))
        << log[0][3].toStdString();
    // The second print replaced the first; no part of a file is left.
    EXPECT_EQ(QDir(Folder()).entryList(QDir::Files | QDir::Hidden), QStringList{number + ".pdf"});
}

TEST_P(ReceiptPrintTest, APaidReceiptPrintsTheMethodAndTheChangeUnderTheTotal) {
    ASSERT_TRUE(CCheckout(&Db(), QStringLiteral("张三"))
                    .Pay(m_basket, {QStringLiteral("现金"), 2650, 3000}, kPrinted)
                    .ok);
    const CReceiptOutcome paid = PrintReceipt(Db(), m_basket, QStringLiteral("张三"), false,
                                              kPrinted, m_settings, Folder(), 3000);
    ASSERT_TRUE(paid.ok) << paid.message.toStdString();
    const QString text = RunTool("pdftotext", {"-layout", paid.file, "-"});
    const qsizetype total = text.indexOf(QStringLiteral("合计 26.50 元"));
    EXPECT_GE(total, 0) << text.toStdString();
    EXPECT_GT(text.indexOf(QStringLiteral("支付方式 现金")), total) << text.toStdString();
    EXPECT_GT(text.indexOf(QStringLiteral("实收 30.00 元")), total);
    EXPECT_GT(text.indexOf(QStringLiteral("找零 3.50 元")), total);
    // The sales, paid and given their receipt's number, still hold against their log rows.
    const std::optional<auditlog::CLedgerCheck> ledger = auditlog::CheckLedger(Db());
    ASSERT_TRUE(ledger);
    EXPECT_EQ(auditlog::LedgerProblems(*ledger).filter(QRegularExpression(QStringLiteral("^销 "))),
              QStringList());
    // A reprint knows the method from the books, not what was handed over.
    const CReceiptOutcome again =
        PrintReceipt(Db(), m_basket, QStringLiteral("张三"), true, kPrinted.addSecs(60));
    ASSERT_TRUE(again.ok) << again.message.toStdString();
    const QString reprinted = RunTool("pdftotext", {"-layout", again.file, "-"});
    EXPECT_TRUE(reprinted.contains(QStringLiteral("支付方式 现金"))) << reprinted.toStdString();
    EXPECT_FALSE(reprinted.contains(QStringLiteral("找零")));
}

TEST_P(ReceiptPrintTest, ReprintIsMarkedAndLogged) {
    // A queue this computer does not have: the receipt is saved and the user told.
    m_settings.printer = QStringLiteral("不存在的打印机");
    m_settings.Save();
    const QDateTime later(QDate(2003, 5, 3), QTime(15, 0, 1));
    const CReceiptOutcome outcome =
        PrintReceipt(Db(), {m_split, m_whole}, QStringLiteral("张三"), true, later);
    ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
    EXPECT_TRUE(
        outcome.message.startsWith(QStringLiteral("本机没有打印机“不存在的打印机”，小票已保存：")))
        << outcome.message.toStdString();
    EXPECT_TRUE(outcome.file.endsWith(QStringLiteral("-补打-20030503150001.pdf")));
    const QString text = RunTool("pdftotext", {"-layout", outcome.file, "-"});
    EXPECT_TRUE(text.contains(QStringLiteral("补打 2003-05-03 15:00:01"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("合计 26.50 元")));
    const std::vector<QStringList> log = Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].mid(0, 3), (QStringList{"张三", "补打小票", "销"}));
    EXPECT_TRUE(log[0][3].contains(outcome.file)) << log[0][3].toStdString();
}

// 结账 whose log row's commit loses its reply: the log is asked by the row's own number, so the
// receipt says the row is there, and it is there once.
TEST_P(ReceiptPrintTest, ALogRowWhoseReplyIsLostIsLookedUpByItsNumber) {
    CutAfter(QStringLiteral("COMMIT"), false);
    const CReceiptOutcome outcome =
        PrintReceipt(Db(), m_basket, QStringLiteral("张三"), false, kPrinted);
    ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
    EXPECT_TRUE(outcome.message.contains(QStringLiteral("小票日志：") +
                                         entrylookup::kRecordedAfterLoss + QStringLiteral("（") +
                                         kDriverText))
        << outcome.message.toStdString();
    EXPECT_EQ(Log().size(), 1u);
}

// The first print stores its number with its sales; a reprint on a computer of another name
// carries that number, not one of its own.
TEST_P(ReceiptPrintTest, AReprintElsewhereCarriesTheNumberTheFirstPrintStored) {
    const QString number = QStringLiteral("20030502100419-") + receiptcontent::CounterName();
    ASSERT_TRUE(PrintReceipt(Db(), m_basket, QStringLiteral("张三"), false, kPrinted).ok);
    EXPECT_EQ(QueryRows(Db(), "SELECT DISTINCT 小票号 FROM 销"),
              std::vector<QStringList>{{number}});
    QString failure;
    const std::optional<CReceipt> elsewhere =
        receiptcontent::Load(Db(), {m_split}, m_settings, true, kPrinted.addDays(1),
                             QStringLiteral("another-counter"), &failure);
    ASSERT_TRUE(elsewhere) << failure.toStdString();
    EXPECT_EQ(elsewhere->number, number);
    EXPECT_FALSE(elsewhere->numberMade);
    // The receipt's log row has a number of its own.
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志 WHERE 动作='打印小票' AND 单号<>''"),
              "1");
}

TEST_P(ReceiptPrintTest, NothingToPrintIsSaidAndNotLogged) {
    for (const QStringList& numbers : {QStringList{}, QStringList{""}, QStringList{"不存在的单号"},
                                       QStringList{"x' OR 1=1 --"}}) {
        const CReceiptOutcome outcome = PrintReceipt(Db(), numbers, QStringLiteral("张三"), false);
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.message, QStringLiteral("没有可打印的销售记录"));
        EXPECT_TRUE(outcome.file.isEmpty());
    }
    EXPECT_TRUE(Log().empty());
    EXPECT_FALSE(QFileInfo::exists(Folder()));
}

TEST_P(ReceiptPrintTest, FolderThatRefusesIsReportedAndTheSalesStay) {
    const QString folder = QDir(m_books->Folder()).filePath(QStringLiteral("refusing"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const CReadOnlyPath readOnly(folder);
    ASSERT_TRUE(readOnly.Refuses()) << readOnly.Problem().toStdString();
    const std::vector<QStringList> before = AllBooks(Db());
    const CReceiptOutcome outcome =
        PrintReceipt(Db(), m_basket, QStringLiteral("张三"), false, kPrinted, m_settings, folder);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.file.isEmpty());
    EXPECT_TRUE(outcome.message.contains(QStringLiteral("小票没有保存")))
        << outcome.message.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{});
    EXPECT_EQ(AllBooks(Db()), before);
    EXPECT_TRUE(Log().empty());
}

APRICOT_INSTANTIATE_BACKENDS(ReceiptPrintTest);

} // namespace
