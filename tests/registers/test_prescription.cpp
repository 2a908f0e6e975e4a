// What makes a prescription acceptable at the counter, without books.
#include "prescription.h"

#include <gtest/gtest.h>

namespace {

const QDate kToday(2026, 12, 9);

prescription::CPrescription Filled() {
    prescription::CPrescription p;
    p.patient = QStringLiteral(" 李华 ");
    p.sex = QStringLiteral("女");
    p.age = QStringLiteral("0");
    p.doctor = QStringLiteral("王医生");
    p.institution = QStringLiteral("市第一医院");
    p.date = kToday.addDays(-prescription::kValidDays);
    p.pharmacist = QStringLiteral("赵药师");
    return p;
}

struct Fault {
    const char* field;
    void (*spoil)(prescription::CPrescription&);
    const char* said;
};

class PrescriptionProblemTest : public ::testing::TestWithParam<Fault> {};

TEST(PrescriptionProblem, AFilledOneOfThreeDaysAgoIsAccepted) {
    EXPECT_EQ(prescription::Problem(Filled(), kToday), QString());
}

TEST_P(PrescriptionProblemTest, NamesTheFieldThatCannotBeRegistered) {
    prescription::CPrescription p = Filled();
    GetParam().spoil(p);
    EXPECT_EQ(prescription::Problem(p, kToday), QString::fromUtf8(GetParam().said));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, PrescriptionProblemTest,
    ::testing::Values(
        Fault{"blank patient", [](auto& p) { p.patient = QStringLiteral("  "); }, "请填写患者姓名"},
        Fault{"no sex", [](auto& p) { p.sex.clear(); }, "请选择性别"},
        Fault{"age not a number", [](auto& p) { p.age = QStringLiteral("三十"); },
              "年龄应为 0 到 150 的整数（周岁，不满 1 岁填 0）"},
        Fault{"future", [](auto& p) { p.date = kToday.addDays(1); },
              "处方日期 2026-12-10 晚于今天"},
        Fault{"too old", [](auto& p) { p.date = kToday.addDays(-4); },
              "处方开具于 2026-12-05，已超过 3 天有效期，不能调配"},
        Fault{"no pharmacist", [](auto& p) { p.pharmacist.clear(); }, "药师不在岗，处方无人审核"}),
    [](const auto& info) {
        std::string name;
        for (const char* c = info.param.field; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

} // namespace
