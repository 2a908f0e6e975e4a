// Rows read into batches: headers by their alternatives, dates and numbers as typed, each faulty
// row told by its line, what a workbook's cell styles show, and the bench's sample file.
#include "import_columns.h"
#include "import_parse.h"
#include "import_sample.h"
#include "import_values.h"
#include "xlsx_styles.h"

#include <gtest/gtest.h>

namespace {

using importcolumns::EField;

QStringList Split(const char* text) {
    return QString::fromUtf8(text).split(u',');
}

class CHeaderRows : public testing::TestWithParam<const char*> {};

// Every row names 名称, 产地, 规格型号, 有效期, 数量, 进价 in columns 0–5 and 零售价 in 6.
TEST_P(CHeaderRows, FindTheFieldsByAnyOfTheirNames) {
    QString refusal;
    const std::optional<importcolumns::CColumns> columns =
        importcolumns::FindColumns(Split(GetParam()), &refusal);
    ASSERT_TRUE(columns) << refusal.toStdString();
    const EField fields[] = {EField::Name,     EField::Origin, EField::PackModel, EField::Expiry,
                             EField::Quantity, EField::Cost,   EField::Price};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(columns->of(fields[i]), i) << GetParam();
    EXPECT_EQ(columns->of(EField::Batch), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Alternatives, CHeaderRows,
    testing::Values("名称,产地,规格型号,有效截止日期,数量,进价,零售价",
                    "药品名称,生产企业,规格,有效期至,库存,成本价,售价",
                    "通用名,厂家,规格,有效期,库存数量,成本单价,售价",
                    " 名 称 ,产地,规格型号,有效期,数量（盒）,进价 (元),零售价（元）"));

TEST(ImportColumns, RefuseWhatIsMissingOrTwice) {
    QString refusal;
    EXPECT_FALSE(importcolumns::FindColumns(Split("药品名称,规格,批号,有效期,数量,,"), &refusal));
    EXPECT_EQ(
        refusal,
        QStringLiteral("缺少必需的列：产地、进价。文件中的列：药品名称、规格、批号、有效期、数量"));
    EXPECT_FALSE(
        importcolumns::FindColumns(Split("名称,通用名,产地,规格,有效期,数量,进价"), &refusal));
    EXPECT_EQ(refusal, QStringLiteral("列“名称”和“通用名”都是名称，请只留下一列"));
}

struct CExpiryCase {
    const char* text;
    QDate date; // invalid: not a date
    bool monthOnly;
};

class CExpiryForms : public testing::TestWithParam<CExpiryCase> {};

TEST_P(CExpiryForms, ReadAsTheirDay) {
    const std::optional<importvalues::CExpiry> expiry =
        importvalues::ParseExpiry(QString::fromUtf8(GetParam().text));
    if (!GetParam().date.isValid()) {
        EXPECT_FALSE(expiry) << GetParam().text;
        return;
    }
    ASSERT_TRUE(expiry) << GetParam().text;
    EXPECT_EQ(expiry->date, GetParam().date);
    EXPECT_EQ(expiry->monthOnly, GetParam().monthOnly);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CExpiryForms,
    testing::Values(
        CExpiryCase{"2027-05-31", QDate(2027, 5, 31), false},
        CExpiryCase{"2027/5/31", QDate(2027, 5, 31), false},
        CExpiryCase{"2027.05.31", QDate(2027, 5, 31), false},
        CExpiryCase{"20270531", QDate(2027, 5, 31), false},
        CExpiryCase{"２０２７－０５－３１", QDate(2027, 5, 31), false},
        CExpiryCase{"2027-05-31 00:00:00", QDate(2027, 5, 31), false},
        CExpiryCase{"2027-05", QDate(2027, 5, 31), true},
        CExpiryCase{"2027.05", QDate(2027, 5, 31), true},
        CExpiryCase{"2028/2", QDate(2028, 2, 29), true}, CExpiryCase{"2027-13-01", QDate(), false},
        CExpiryCase{"2027-02-30", QDate(), false}, CExpiryCase{"2027-05/31", QDate(), false},
        CExpiryCase{"2027-05-31 08:00", QDate(), false}, CExpiryCase{"46538", QDate(), false}));

TEST(ImportValues, NumbersAsTyped) {
    using importvalues::ParseNumber;
    EXPECT_EQ(ParseNumber(QStringLiteral("1,234.5")), 1234.5);
    EXPECT_EQ(ParseNumber(QStringLiteral("１２．５")), 12.5);
    EXPECT_EQ(ParseNumber(QStringLiteral("１，２００")), 1200);
    EXPECT_EQ(ParseNumber(QStringLiteral("￥3.20"), true), 3.2);
    EXPECT_FALSE(ParseNumber(QStringLiteral("￥3.20")));
    for (const char* text : {"1,23", "12.3.4", "1e5", "", "十二"})
        EXPECT_FALSE(ParseNumber(QString::fromUtf8(text))) << text;
}

struct CFaultCase {
    const char* row; // 名称,产地,规格型号,批号,有效期,数量,进价,零售价,条形码,类别,每盒总量
    const char* fault;
};

class CFaultyRows : public testing::TestWithParam<CFaultCase> {};

TEST_P(CFaultyRows, AreNamedByTheirLine) {
    CImportTable table;
    table.headers = Split("名称,产地,规格型号,批号,有效期,数量,进价,零售价,条形码,类别,每盒总量");
    table.rows.push_back(CImportRow{4, Split("甲,乙,丙,1,2027-05-31,2,3,4,,其他,10")});
    table.rows.push_back(CImportRow{5, Split(",,,,,,,,,,")}); // blank: left out, no fault
    table.rows.push_back(CImportRow{12, Split(GetParam().row)});
    QString refusal;
    const std::optional<CImportBatches> batches = ParseBatches(table, &refusal);
    ASSERT_TRUE(batches) << refusal.toStdString();
    ASSERT_EQ(batches->size(), 2u);
    EXPECT_TRUE(batches->front().fault.isEmpty());
    EXPECT_EQ(batches->back().line, 12);
    EXPECT_EQ(batches->back().fault, QString::fromUtf8(GetParam().fault));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CFaultyRows,
    testing::Values(
        CFaultCase{"甲,乙,丙,1,2027-13-01,2,3,,,,", "第 12 行：有效期“2027-13-01”不是日期"},
        CFaultCase{"甲,,丙,1,2027-13-01,2,3,,,,", "第 12 行：缺少产地"},
        CFaultCase{"甲,乙,丙,1,,2,3,,,,", "第 12 行：缺少有效期"},
        CFaultCase{"甲,乙,丙,1,2027-05,0,3,,,,", "第 12 行：数量“0”必须大于 0"},
        CFaultCase{"甲,乙,丙,1,2027-05,1.23456,3,,,,", "第 12 行：数量“1.23456”的小数超过 4 位"},
        CFaultCase{"甲,乙,丙,1,2027-05,2,三元,,,,", "第 12 行：进价“三元”不是金额"},
        CFaultCase{"甲,乙,丙,1,2027-05,2,-1,,,,", "第 12 行：进价“-1”不能是负数"},
        CFaultCase{"甲,乙,丙,1,2027-05,2,3,x,,,", "第 12 行：零售价“x”不是金额"},
        CFaultCase{"甲,乙,丙,1,2027-05,2,3,,6.90123E+12,,",
                   "第 12 "
                   "行：条形码“6.90123E+"
                   "12”是科学计数法，原来的条形码已丢失，请把这一列设为文本后重新填写"},
        CFaultCase{"甲,乙,丙,1,2027-05,2,3,,,OTC,",
                   "第 12 行：类别“OTC”只能是 处方药、甲类非处方药、乙类非处方药 或 其他"},
        CFaultCase{"甲,乙,丙,1,2027-05,2,3,,,,2.5", "第 12 行：每盒总量“2.5”不是正整数"}));

TEST(ImportRows, TextsLongerThanTheirColumnsAreFaults) {
    CImportTable table;
    table.headers = Split("名称,产地,规格型号,批号,有效期,数量,进价");
    const QString word100(100, u'药');
    table.rows.push_back(
        CImportRow{2,
                   {word100, word100, word100, QString(200, u'1'), QStringLiteral("2027-05"),
                    QStringLiteral("1"), QStringLiteral("1")}});
    table.rows.push_back(
        CImportRow{3,
                   {word100 + u'药', QStringLiteral("乙"), QStringLiteral("丙"), QString(),
                    QStringLiteral("2027-05"), QStringLiteral("1"), QStringLiteral("1")}});
    QString refusal;
    const std::optional<CImportBatches> batches = ParseBatches(table, &refusal);
    ASSERT_TRUE(batches);
    EXPECT_TRUE((*batches)[0].fault.isEmpty()) << (*batches)[0].fault.toStdString();
    EXPECT_EQ((*batches)[1].fault, QStringLiteral("第 3 行：名称超过 100 个字"));
}

TEST(XlsxStyles, FormatsSayDayMonthOrNumber) {
    using xlsxstyles::EShown;
    const std::pair<const char*, EShown> cases[] = {
        {"General", EShown::Number},
        {"0.00_);[Red](0.00)", EShown::Number},
        {"#,##0\" 盒\"", EShown::Number},
        {"h:mm", EShown::Number},
        {"mm:ss", EShown::Number},
        {"yyyy\\-mm\\-dd", EShown::Day},
        {"[$-804]yyyy\"年\"m\"月\"d\"日\"", EShown::Day},
        {"yyyy-mm-dd hh:mm", EShown::Day},
        {"yyyy-mm", EShown::Month},
        {"mmm-yy", EShown::Month},
    };
    for (const auto& [code, shown] : cases)
        EXPECT_EQ(xlsxstyles::ShownBy(QString::fromUtf8(code)), shown) << code;
}

TEST(XlsxStyles, SerialsAndNumbersAsShown) {
    using xlsxstyles::SerialDate;
    EXPECT_EQ(SerialDate(1, false), QDate(1900, 1, 1));
    EXPECT_EQ(SerialDate(59, false), QDate(1900, 2, 28));
    EXPECT_EQ(SerialDate(61, false), QDate(1900, 3, 1));
    EXPECT_EQ(SerialDate(46538.75, false), QDate(2027, 5, 31));
    EXPECT_EQ(SerialDate(0, true), QDate(1904, 1, 1));
    EXPECT_FALSE(SerialDate(0.5, false).isValid());
    EXPECT_EQ(xlsxstyles::PlainNumber(100000), QStringLiteral("100000"));
    EXPECT_EQ(xlsxstyles::PlainNumber(12.300000000000001), QStringLiteral("12.3"));
    EXPECT_EQ(xlsxstyles::PlainNumber(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(xlsxstyles::PlainNumber(6901234567892), QStringLiteral("6901234567892"));
}

TEST(ImportSample, FaultsOnlyTheLinesAsked) {
    QString failure;
    const std::optional<CImportTable> table =
        ReadCsv(importsample::SampleCsv(500, 300, {7, 480}), &failure);
    ASSERT_TRUE(table) << failure.toStdString();
    EXPECT_EQ(table->readAs, QStringLiteral("GB18030 CSV，逗号分隔"));
    const std::optional<CImportBatches> batches = ParseBatches(*table, &failure);
    ASSERT_TRUE(batches) << failure.toStdString();
    ASSERT_EQ(batches->size(), 500u);
    QList<int> faulty;
    for (const CImportBatch& b : *batches)
        if (!b.fault.isEmpty())
            faulty.append(b.line);
    EXPECT_EQ(faulty, QList<int>({7, 480}));
}

} // namespace
