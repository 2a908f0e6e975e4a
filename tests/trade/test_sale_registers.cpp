// What the registers ask of a sale, on both backends: the pharmacist on duty, one prescription
// for every prescription line of 本单, the ephedrine box limit, and the same buyer seen again on
// another counter.
#include "entry_books.h"

#include "ephedrine.h"

namespace {

using namespace entrytest;

const QString kBuyerId = QStringLiteral("11010519491231002X");

class SaleRegistersTest : public CBooksTest {
protected:
    void SetUp() override {
        CBooksTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        ASSERT_TRUE(CPurchaseEntry(&Db()).Add(Batch("8", "10")).recorded);
        m_entry = CSalesEntry(&Db(), QStringLiteral("张三"));
    }
    // The batch's drug is of `drugClass`, and contains ephedrine or not.
    void Classify(const char* drugClass, bool ephedrine) {
        Exec(QStringLiteral("UPDATE 药品 SET 类别='%1', 含麻黄碱='%2'")
                 .arg(QString::fromUtf8(drugClass), ephedrine ? "是" : "否"));
    }
    void OnDuty(const QString& pharmacist) {
        m_entry.SetPharmacistOnDuty([pharmacist] { return pharmacist; });
    }
    static prescription::CPrescription Prescription() {
        prescription::CPrescription p;
        p.patient = QStringLiteral("李华");
        p.sex = QStringLiteral("女");
        p.age = QStringLiteral("34");
        p.doctor = QStringLiteral("王医生");
        p.institution = QStringLiteral("市第一医院");
        p.date = QDate::currentDate();
        p.pharmacist = QStringLiteral("赵药师");
        p.dispenser = QStringLiteral("张三");
        return p;
    }
    QString Sold() { return Count(Db(), "销"); }

    CSalesEntry m_entry{nullptr};
};

TEST_P(SaleRegistersTest, NoPharmacistOnDutyNoPrescriptionOrClassADrugSold) {
    for (const char* drugClass : {"处方药", "甲类非处方药"}) {
        Classify(drugClass, false);
        const CEntryOutcome refused = m_entry.Add(SaleOf("1", "1", "12"));
        EXPECT_FALSE(refused.recorded) << drugClass;
        EXPECT_EQ(refused.status, QStringLiteral("药师不在岗，不能销售处方药和甲类非处方药"));
        EXPECT_EQ(Sold(), "0");
    }
    // A Class B OTC drug needs no pharmacist.
    Classify("乙类非处方药", false);
    EXPECT_TRUE(m_entry.Add(SaleOf("1", "1", "12")).recorded);
    // Once one is on duty, a Class A drug sells as it is.
    OnDuty(QStringLiteral("赵药师"));
    Classify("甲类非处方药", false);
    EXPECT_TRUE(m_entry.Add(SaleOf("1", "1", "12")).recorded);
    EXPECT_EQ(Sold(), "2");
}

TEST_P(SaleRegistersTest, OnePrescriptionServesEveryPrescriptionLineOfTheBasket) {
    Classify("处方药", false);
    OnDuty(QStringLiteral("赵药师"));
    EXPECT_TRUE(m_entry.RegistersNeeded(SaleOf("1", "1", "12")).prescription);
    // Not asked, not sold.
    EXPECT_FALSE(m_entry.Add(SaleOf("1", "1", "12")).recorded);
    EXPECT_EQ(Sold(), "0");

    m_entry.SetPrescription(Prescription());
    EXPECT_TRUE(m_entry.Add(SaleOf("1", "1", "12")).recorded);
    EXPECT_FALSE(m_entry.RegistersNeeded(SaleOf("2", "1", "12")).prescription);
    EXPECT_TRUE(m_entry.Add(SaleOf("2", "1", "12")).recorded);
    EXPECT_EQ(QueryRows(Db(), "SELECT 患者姓名, 性别, 年龄, 审方药师, 调配人 FROM 处方"),
              (std::vector<QStringList>{{"李华", "女", "34", "赵药师", "张三"}}));
    // Each line tied to it by its own number, with the batch it came from.
    EXPECT_EQ(QueryRows(Db(), "SELECT COUNT(*), COUNT(DISTINCT p.处方号), MIN(p.批号) FROM "
                              "处方销售 p JOIN 销 s ON s.单号 = p.单号 JOIN 处方 r ON "
                              "r.处方号 = p.处方号"),
              (std::vector<QStringList>{{"2", "1", "24031501"}}));
    EXPECT_EQ(QueryRows(Db(), "SELECT 动作, COUNT(*) FROM 日志 WHERE 动作 LIKE '处方%' GROUP BY "
                              "动作 ORDER BY 动作"),
              (std::vector<QStringList>{{"处方登记", "1"}, {"处方销售", "2"}}));
    // The next customer brings their own.
    m_entry.NewBasket();
    EXPECT_TRUE(m_entry.RegistersNeeded(SaleOf("1", "1", "12")).prescription);
}

TEST_P(SaleRegistersTest, AThirdEphedrineBoxOfTheBasketIsRefused) {
    Classify("乙类非处方药", true);
    EXPECT_TRUE(m_entry.RegistersNeeded(SaleOf("1", "1", "12")).buyer);
    m_entry.SetBuyer({QStringLiteral("周强"), kBuyerId});
    EXPECT_TRUE(m_entry.Add(SaleOf("1", "1", "12")).recorded);
    // A split pack counts as the box it opens.
    EXPECT_TRUE(m_entry.Add(SaleOf("5", "24", "0.6")).recorded);
    const CEntryOutcome third = m_entry.Add(SaleOf("1", "24", "0.6"));
    EXPECT_FALSE(third.recorded);
    EXPECT_TRUE(third.status.contains(QStringLiteral("每单最多销售 2 盒")))
        << third.status.toStdString();
    EXPECT_EQ(Sold(), "2");
    EXPECT_EQ(
        QueryValue(Db(), "SELECT COUNT(*) FROM 麻黄碱登记 WHERE 姓名='周强' AND 批号='24031501'"),
        "2");
    // The log names the buyer's number masked, never whole.
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志 WHERE 内容 LIKE '%110105********002X%'"),
              "2");
    EXPECT_EQ(QueryValue(Db(), "SELECT COUNT(*) FROM 日志 WHERE 内容 LIKE '%19491231%'"), "0");
}

TEST_P(SaleRegistersTest, TheSameBuyerWithinSevenDaysIsFoundFromAnotherCounter) {
    Classify("其他", true);
    m_entry.SetBuyer({QStringLiteral("周强"), kBuyerId});
    ASSERT_TRUE(m_entry.Add(SaleOf("1", "1", "12")).recorded);

    const std::unique_ptr<CDatabase> counter = Books().OpenAnotherConnection();
    CSalesEntry other(counter.get(), QStringLiteral("李四"));
    const QDateTime threeDaysOn(QDate(2003, 5, 5), QTime(9, 0));
    CSalesEntry::BuyerCheck check =
        other.CheckBuyer({QStringLiteral("周强"), kBuyerId}, threeDaysOn);
    EXPECT_TRUE(check.refusal.isEmpty());
    EXPECT_TRUE(check.question.contains(QStringLiteral("2003-05-02 10:15 阿莫西林胶囊 1 盒")))
        << check.question.toStdString();
    // Past the 7 days, or another number: nothing to say.
    EXPECT_EQ(other.CheckBuyer({QStringLiteral("周强"), kBuyerId}, threeDaysOn.addDays(5)).question,
              QString());
    // The 店长 made it a refusal.
    ephedrine::SetRepeatRefused(*counter, true, QStringLiteral("管理员"), threeDaysOn);
    check = other.CheckBuyer({QStringLiteral("周强"), kBuyerId}, threeDaysOn);
    EXPECT_TRUE(check.question.isEmpty());
    EXPECT_TRUE(check.refusal.contains(QStringLiteral("不再销售")));
}

APRICOT_INSTANTIATE_BACKENDS(SaleRegistersTest);

} // namespace
