// A drug's further codes on both backends: attaching an unknown code at the counter, and a
// 店长 adding and removing codes under 维护药品目录's 条码….
#include "CDrugMaintDlg.h"
#include "CTestBooks.h"
#include "books_check.h"
#include "drug_codes.h"
#include "drug_lookup.h"
#include "entry_number.h"
#include "opening_stock.h"
#include "query_rows.h"
#include "recording_prompts.h"
#include "ui_driving.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace uitest;

const QDateTime kNow(QDate(2024, 3, 1), QTime(9, 0));

class DrugCodesTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (!m_books)
            return;
        Exec("INSERT INTO 药品 (名称, 产地, 规格型号, 条形码) VALUES "
             "('阿莫西林', '广州', '0.25g*24', '6901234567892')");
        Exec("INSERT INTO 药品 (名称, 产地, 规格型号) VALUES ('板蓝根', '广州', '10g*20袋')");
    }
    QString Owner(const QString& code) {
        const std::optional<CDrug> drug = druglookup::ByCode(&Db(), code);
        return drug ? drug->name : QString();
    }
};

TEST_P(DrugCodesTest, AnUnknownCodeIsAttachedAtTheCounterOrRefusedWithItsReason) {
    struct Case {
        const char* name;
        const char* code;
        const char* refusal; // empty: attached
        const char* object;  // of the log row
    };
    const Case cases[] = {
        {"板蓝根", "6901234567893", "校验位不对", ""},
        {"板蓝根", "6901234567892", "已是“阿莫西林 广州 0.25g*24”的条形码", ""},
        {"阿莫西林", " 6901234567892 ", "已是这种药品的条形码", ""},
        {"感冒灵", "6920000000012", "药品目录里没有“感冒灵", ""},
        {"板蓝根", "  ", "请输入", ""},
        // A drug without a code takes it as its first, one with a code as a further one.
        {"板蓝根", "6920000000029", "", "药品"},
        {"阿莫西林", "6920000000036", "", "药品条码"},
    };
    const QString packs[] = {QStringLiteral("10g*20袋"), QStringLiteral("0.25g*24")};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const QString name = QString::fromUtf8(c.name);
        const QString packModel = name == QStringLiteral("阿莫西林") ? packs[1] : packs[0];
        const QString logged = QueryValue(Db(), "SELECT COUNT(*) FROM 日志");
        const QString refusal =
            drugcatalogue::AttachCode(Db(), name, QStringLiteral("广州"), packModel,
                                      QString::fromUtf8(c.code), QStringLiteral("王店长"), kNow);
        if (*c.refusal) {
            EXPECT_TRUE(refusal.contains(QString::fromUtf8(c.refusal))) << refusal.toStdString();
            EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志"), logged);
            continue;
        }
        EXPECT_EQ(refusal, QString());
        EXPECT_EQ(Owner(QString::fromUtf8(c.code)), name);
        EXPECT_EQ(QueryRows(Db(), "SELECT 操作员,动作,对象,CASE WHEN 行校验<>'' THEN 'marked' END "
                                  "FROM 日志 ORDER BY 序号 DESC LIMIT 1"),
                  (std::vector<QStringList>{{"王店长", "登记条码", c.object, "marked"}}));
    }
    EXPECT_EQ(
        QueryRows(Db(), "SELECT 名称,条形码 FROM 药品 ORDER BY 条形码"),
        (std::vector<QStringList>{{"阿莫西林", "6901234567892"}, {"板蓝根", "6920000000029"}}));
    EXPECT_EQ(QueryRows(Db(), "SELECT 条形码,名称 FROM 药品条码"),
              (std::vector<QStringList>{{"6920000000036", "阿莫西林"}}));
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志"), "2");
}

TEST_P(DrugCodesTest, AFurtherCodeIsAddedAndRemovedAndKeepsItsDrugInTheCatalogue) {
    CRecordingPrompts prompts;
    ResetGridSort();
    auditlog::Append(Db(), openingstock::Entry(Db(), QStringLiteral("系统"), entrynumber::Next()),
                     QDateTime::currentDateTime());
    const QString drug[] = {QStringLiteral("阿莫西林"), QStringLiteral("广州"),
                            QStringLiteral("0.25g*24")};
    const QString code = QStringLiteral("6920000000012");
    EXPECT_EQ(drugcatalogue::AddCode(Db(), drug[0], drug[1], drug[2], code,
                                     QStringLiteral("王店长"), kNow),
              QString());
    EXPECT_EQ(drugcatalogue::FurtherCodes(Db(), drug[0], drug[1], drug[2]), QStringList{code});
    EXPECT_EQ(Owner(code), drug[0]);

    // Its further codes name the drug: it is neither deleted nor renamed while they do.
    {
        CDrugMaintDlg dialog(&Db(), nullptr, QStringLiteral("王店长"));
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.Grid()->selectRow(GridColumn(*dialog.Grid(), 0).indexOf(drug[0]));
        Press(dialog, CRecordMaintDlg::IdDelete);
        ASSERT_EQ(prompts.Texts().size(), 1);
        EXPECT_TRUE(prompts.Texts()[0].contains(QStringLiteral("其他条形码")));
        EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 药品"), "2");
    }

    EXPECT_EQ(drugcatalogue::RemoveCode(Db(), drug[0], drug[1], drug[2], code,
                                        QStringLiteral("王店长"), kNow),
              QString());
    EXPECT_TRUE(drugcatalogue::FurtherCodes(Db(), drug[0], drug[1], drug[2]).isEmpty());
    EXPECT_EQ(Owner(code), QString());
    // Gone already: said so, and nothing more is logged.
    EXPECT_TRUE(drugcatalogue::RemoveCode(Db(), drug[0], drug[1], drug[2], code,
                                          QStringLiteral("王店长"), kNow)
                    .contains(QStringLiteral("已不是")));
    EXPECT_EQ(QueryRows(Db(), "SELECT 动作,对象,CASE WHEN 行校验<>'' THEN 'marked' END FROM 日志 "
                              "WHERE 对象='药品条码' ORDER BY 序号"),
              (std::vector<QStringList>{{"添加条码", "药品条码", "marked"},
                                        {"删除条码", "药品条码", "marked"}}));
    // The ledger holds the stock's tables only; a code's marks are no card of it.
    const CBooksCheck check = auditlog::CheckBooks(Db(), {});
    EXPECT_EQ(check.verdict, CBooksCheck::Verdict::Whole) << check.message.toStdString();
}

APRICOT_INSTANTIATE_BACKENDS(DrugCodesTest);

} // namespace
