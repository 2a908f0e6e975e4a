// What the catalogue reads off a code or a pack model, without books.
#include "ean13.h"
#include "pack_model.h"
#include "pack_quantity.h"

#include <gtest/gtest.h>

namespace {

struct CodeCase {
    const char* code;
    bool valid;
};

class Ean13Test : public ::testing::TestWithParam<CodeCase> {};

TEST_P(Ean13Test, CheckDigitIsRightOnlyForWholeGoodCodes) {
    const QString code = QString::fromUtf8(GetParam().code);
    EXPECT_EQ(ean13::IsValid(code), GetParam().valid);
    if (GetParam().valid) {
        EXPECT_EQ(ean13::CheckDigit(code.left(12)), code.right(1).toInt());
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, Ean13Test,
                         ::testing::Values(CodeCase{"6901234567892", true},
                                           CodeCase{"4006381333931", true},
                                           CodeCase{"6920000000012", true},
                                           CodeCase{"6901234567893", false},  // a digit misread
                                           CodeCase{"6901234576892", false},  // two swapped
                                           CodeCase{"690123456789", false},   // too short
                                           CodeCase{"69012345678920", false}, // too long
                                           CodeCase{"69012345b7892", false},  // not a digit
                                           CodeCase{"６901234567892", false}, // a wide digit
                                           CodeCase{"", false}));

struct PackCase {
    const char* packModel;
    int count; // 0: no pieces named
    const char* unit;
};

class PackModelTest : public ::testing::TestWithParam<PackCase> {};

TEST_P(PackModelTest, PiecesAreTheLastCountOfAUnitOfPieces) {
    const std::optional<CPieces> pieces =
        packmodel::PiecesOf(QString::fromUtf8(GetParam().packModel));
    if (GetParam().count == 0) {
        EXPECT_FALSE(pieces);
        return;
    }
    ASSERT_TRUE(pieces);
    EXPECT_EQ(pieces->count, GetParam().count);
    EXPECT_EQ(pieces->unit, QString::fromUtf8(GetParam().unit));
}

INSTANTIATE_TEST_SUITE_P(Models, PackModelTest,
                         ::testing::Values(PackCase{"0.25g*24粒", 24, "粒"},
                                           PackCase{"100片/瓶", 100, "片"},
                                           PackCase{"10ml*10支", 10, "支"},
                                           PackCase{"1000mg*100粒", 100, "粒"},
                                           PackCase{"150ml/瓶", 0, ""}, PackCase{"450g/罐", 0, ""},
                                           PackCase{"10g:1%", 0, ""}));

struct QuantityCase {
    double boxes;
    double piecesPerBox; // 0: no catalogue row
    const char* unit;
    const char* text;
};

class PackQuantityTest : public ::testing::TestWithParam<QuantityCase> {};

TEST_P(PackQuantityTest, BoxesReadAsWholeBoxesAndPiecesLeft) {
    const QuantityCase& c = GetParam();
    const std::optional<CPackUnit> pack =
        c.piecesPerBox > 0 ? packquantity::Of(c.piecesPerBox, QString::fromUtf8(c.unit))
                           : std::nullopt;
    EXPECT_EQ(packquantity::Text(c.boxes, pack), QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Quantities, PackQuantityTest,
    ::testing::Values(QuantityCase{32.35, 20, "粒", "32 盒 7 粒"},
                      QuantityCase{32, 20, "粒", "32 盒"}, QuantityCase{0.15, 20, "片", "3 片"},
                      QuantityCase{0, 20, "片", "0 盒"},
                      QuantityCase{-1.05, 20, "袋", "-1 盒 1 袋"},
                      QuantityCase{0.1 + 0.2, 10, "支", "3 支"}, // 2.9999999999999996 pieces
                      QuantityCase{1.333, 20, "粒", "1.333 盒"}, // 26.66 pieces: not whole
                      QuantityCase{2.5, 0, "", "2.5 盒"},        // not in the catalogue
                      QuantityCase{0.5, 2.5, "粒", "0.5 盒"},    // no whole pieces per box
                      QuantityCase{0.25, 20, " ", "5 片"}));     // a blank unit reads 片

} // namespace
