// The catalogue on both backends: what the upgrade builds it from, and 维护药品目录 changing it
// with its log rows, keeping the drugs the cards name, and showing it only to a 营业员.
#include "CDrugMaintDlg.h"
#include "CTestBooks.h"
#include "books_check.h"
#include "drug_catalogue.h"
#include "entry_number.h"
#include "opening_stock.h"
#include "query_rows.h"
#include "recording_prompts.h"
#include "ui_driving.h"
#include "upgrade_books.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace uitest;

const QString kSale = QStringLiteral(
    "INSERT INTO 销 (日期时间, 名称, 产地, 规格型号, 有效截止日期, 零售价, 数量, 销售类型, "
    "实收金额, 坏帐) VALUES ('%1', '阿莫西林', '广州', '0.25g*24', '2005-01-01', %2, 1, '%3', "
    "%2, 0)");

class CatalogueUpgradeTest : public CBooksTest {
protected:
    CTestBooks::Tables InitialTables() const override { return CTestBooks::Tables::Version1; }
};

TEST_P(CatalogueUpgradeTest, DrugsOfCardsAndPurchasesArePricedAsLastSold) {
    Exec("INSERT INTO 存 VALUES ('阿莫西林', '广州', '0.25g*24', '2005-01-01', 2.5, 10)");
    // A drug only bought (its card since removed) and one with a card and a purchase.
    for (const char* name : {"板蓝根", "阿莫西林"})
        Exec(QStringLiteral("INSERT INTO 进 (采购日期, 采购人, 大类, 小类, 编号, 名称, 产地, "
                            "规格型号, 批号, 有效截止日期, 进价, 数量) VALUES ('2003-05-01 "
                            "09:30:00', '张三', '西药', '抗生素', 'X1', '%1', '广州', '0.25g*24', "
                            "'B01', '2005-01-01', 2.5, 10)")
                 .arg(QString::fromUtf8(name)));
    // The latest whole-box and split-pack sales, whatever their order of entry.
    Exec(kSale.arg("2003-05-03 10:00:00", "4", "整盒销售"));
    Exec(kSale.arg("2003-05-01 10:00:00", "3.5", "整盒销售"));
    Exec(kSale.arg("2003-05-02 10:00:00", "0.3", "拆零销售"));
    Exec(kSale.arg("2003-05-01 11:00:00", "0.2", "拆零销售"));

    const CUpgradeReport report =
        UpgradeBooks(Db(), QDateTime(QDate(2003, 5, 4), QTime(8, 0)), QStringLiteral("系统"));
    ASSERT_TRUE(report.upgraded) << report.message.toStdString();
    EXPECT_EQ(QueryRows(Db(), "SELECT 名称,条形码,类别,每盒总量,零售价,拆零价 FROM 药品 "
                              "ORDER BY 零售价"),
              (std::vector<QStringList>{{"板蓝根", "", "其他", "20", "0", "0"},
                                        {"阿莫西林", "", "其他", "20", "4", "0.3"}}));
    const std::vector<QStringList> log =
        QueryRows(Db(), "SELECT 动作,对象,内容 FROM 日志 WHERE 动作='药品目录' ORDER BY 序号");
    EXPECT_EQ(log, (std::vector<QStringList>{
                       {"药品目录", "药品", "由库存卡和进货记录建立药品目录：2 种"}}));
}

APRICOT_INSTANTIATE_BACKENDS(CatalogueUpgradeTest);

class DrugMaintTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (!m_books)
            return;
        ResetGridSort();
        Exec("INSERT INTO 药品 (名称, 产地, 规格型号, 条形码, 零售价, 拆零价) VALUES "
             "('阿莫西林', '广州', '0.25g*24', '6901234567892', 12, 0.6)");
        Exec("INSERT INTO 药品 (名称, 产地, 规格型号) VALUES ('板蓝根', '广州', '10g*20袋')");
    }
    std::unique_ptr<CDrugMaintDlg> Open(bool manager = true) {
        auto dialog =
            std::make_unique<CDrugMaintDlg>(&Db(), nullptr, QStringLiteral("王店长"), manager);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return dialog;
    }
    int RowOf(const q_grid& grid, const QString& name) { return GridColumn(grid, 0).indexOf(name); }

    CRecordingPrompts m_prompts;
};

TEST_P(DrugMaintTest, APriceChangeIsLoggedAs调价AndAnyOtherChangeAs修改) {
    struct Case {
        int column;
        const char* typed;
        const char* price;  // 零售价 afterwards
        const char* pinyin; // 拼音码 afterwards
        const char* action;
        const char* content;
    };
    const Case cases[] = {
        {9, "13.5", "13.5", "", "调价", "阿莫西林（广州，0.25g*24）零售价 12.00 → 13.50 元"},
        // A 店长 corrects 拼音码: kept as typed, and no price changed.
        {11, "amxl emxl", "13.5", "amxl emxl", "修改", "拼音码： → amxl emxl"},
    };
    auditlog::Append(Db(), openingstock::Entry(Db(), QStringLiteral("系统"), entrynumber::Next()),
                     QDateTime::currentDateTime());
    auto dialog = Open();
    q_grid* grid = dialog->Grid();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ClickRow(*grid, RowOf(*grid, QStringLiteral("阿莫西林")));
        Type(*grid, c.column, QString::fromUtf8(c.typed));
        Press(*dialog, CRecordMaintDlg::IdSave);
        EXPECT_TRUE(m_prompts.Messages().empty()) << m_prompts.Texts().join('\n').toStdString();
        EXPECT_EQ(QueryRows(Db(), "SELECT 零售价,拼音码 FROM 药品 WHERE 名称='阿莫西林'"),
                  (std::vector<QStringList>{{c.price, c.pinyin}}));
        EXPECT_EQ(QueryRows(Db(), "SELECT 操作员,动作,内容,CASE WHEN 行校验<>'' THEN 'marked' END "
                                  "FROM 日志 WHERE 对象='药品' ORDER BY 序号 DESC LIMIT 1"),
                  (std::vector<QStringList>{{"王店长", c.action, c.content, "marked"}}));
    }
    // The check of the books takes the catalogue's log rows as they are.
    const CBooksCheck check = auditlog::CheckBooks(Db(), {});
    EXPECT_EQ(check.verdict, CBooksCheck::Verdict::Whole) << check.message.toStdString();
}

TEST_P(DrugMaintTest, ADrugACardNamesStaysWhileOneWithoutCardsGoes) {
    Exec("INSERT INTO 存 VALUES ('阿莫西林', '广州', '0.25g*24', '2005-01-01', 2.5, 10)");
    auto dialog = Open();
    q_grid* grid = dialog->Grid();
    grid->selectRow(RowOf(*grid, QStringLiteral("阿莫西林")));
    Press(*dialog, CRecordMaintDlg::IdDelete);
    EXPECT_EQ(m_prompts.Texts(), QStringList{drugcatalogue::kCardsNameIt});
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 药品 WHERE 名称='阿莫西林'"), "1");
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志"), "0");

    m_prompts.Clear();
    grid->selectRow(RowOf(*grid, QStringLiteral("板蓝根")));
    Press(*dialog, CRecordMaintDlg::IdDelete);
    EXPECT_TRUE(m_prompts.Messages().empty());
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 药品"), "1");
    EXPECT_EQ(QueryRows(Db(), "SELECT 动作,对象 FROM 日志"),
              (std::vector<QStringList>{{"删除", "药品"}}));
}

TEST_P(DrugMaintTest, ARowTheCatalogueCannotHoldIsRefusedWithItsReason) {
    struct Case {
        int column;
        const char* value;
        const char* reason;
    };
    const Case cases[] = {{3, "6901234567893", "校验位不对"},
                          {3, "6901234567892", "“阿莫西林 广州 0.25g*24”的条形码"},
                          {5, "中药", "类别只能是"},
                          {6, "有", "含麻黄碱只能是"}};
    auto dialog = Open();
    q_grid* grid = dialog->Grid();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        m_prompts.Clear();
        ClickRow(*grid, RowOf(*grid, QStringLiteral("板蓝根")));
        Type(*grid, c.column, QString::fromUtf8(c.value));
        Press(*dialog, CRecordMaintDlg::IdSave);
        ASSERT_EQ(m_prompts.Texts().size(), 1);
        EXPECT_TRUE(m_prompts.Texts()[0].contains(QString::fromUtf8(c.reason)))
            << m_prompts.Texts()[0].toStdString();
    }
    EXPECT_EQ(QueryRows(Db(), "SELECT 条形码,类别,含麻黄碱 FROM 药品 WHERE 名称='板蓝根'"),
              (std::vector<QStringList>{{"", "其他", "否"}}));
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志"), "0");
}

TEST_P(DrugMaintTest, AClerkLooksButCannotChange) {
    auto dialog = Open(false);
    EXPECT_EQ(dialog->Grid()->GetItemCount(), 2);
    for (int id : {CRecordMaintDlg::IdSave, CRecordMaintDlg::IdAdd, CRecordMaintDlg::IdDelete})
        EXPECT_FALSE(Button(*dialog, id)->isEnabled()) << id;
    ClickRow(*dialog->Grid(), 0);
    EXPECT_EQ(dialog->Grid()->EditRow(), -1);
}

APRICOT_INSTANTIATE_BACKENDS(DrugMaintTest);

} // namespace
