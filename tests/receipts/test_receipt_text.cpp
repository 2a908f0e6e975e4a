// The receipt's lines without books: wrapping at the paper's columns loses nothing, and the
// pieces of a split-pack sale come back from its amount. The payment methods as typed.
#include "payment_settings.h"
#include "qt_printers.h"
#include "receipt_content.h"
#include "receipt_text.h"

#include <gtest/gtest.h>

namespace {

using receipttext::ColumnsOfText;
using receipttext::Wrap;

void ExpectWithin(const QStringList& lines, int columns) {
    for (const QString& line : lines)
        EXPECT_LE(ColumnsOfText(line), columns) << line.toStdString();
}

TEST(ReceiptText, WrapsAtTheColumnsAndLosesNothing) {
    // 40 CJK characters at 32 columns: 16, 16 and 8.
    const QString chinese = QString(40, QChar(0x836F));
    const QStringList lines = Wrap(chinese, 32);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines.join(QString()), chinese);
    EXPECT_EQ(ColumnsOfText(lines[2]), 16);

    // Latin text breaks at blanks; a word longer than a line is broken inside.
    const QStringList words =
        Wrap(QStringLiteral("Amoxicillin capsules 0.25g*24 batch 24031501"), 16);
    EXPECT_EQ(words, (QStringList{"Amoxicillin", "capsules", "0.25g*24 batch", "24031501"}));
    const QString longWord = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    const QStringList broken = Wrap(longWord, 16);
    ExpectWithin(broken, 16);
    EXPECT_EQ(broken.join(QString()), longWord);

    // Mixed, with a line break of its own.
    const QStringList mixed =
        Wrap(QStringLiteral("阿莫西林胶囊 0.25g*24粒 石药集团\n非质量问题概不退换"), 12);
    ExpectWithin(mixed, 12);
    EXPECT_EQ(mixed.join(QString()).remove(QLatin1Char(' ')),
              QStringLiteral("阿莫西林胶囊0.25g*24粒石药集团非质量问题概不退换"));
    EXPECT_EQ(mixed.last(), QStringLiteral("不退换"));
}

TEST(ReceiptText, SplitPackPiecesFromTheAmount) {
    // 3 pieces of 20 at 0.50.
    EXPECT_EQ(receiptcontent::SplitPackPieces(1.5, 0.5, 0.15), 3);
    // 1499 pieces of 1000 at 0.001 recorded 1.50: 1500 would also round so; 1499/1.499 is whole.
    EXPECT_EQ(receiptcontent::SplitPackPieces(1.5, 0.001, 1.499), 1499);
    EXPECT_EQ(receiptcontent::SplitPackPieces(2.31, 0.33, 7 / 20.0), 7);
    // Given away: the pieces cannot be known.
    EXPECT_EQ(receiptcontent::SplitPackPieces(0, 0, 0.15), std::nullopt);
}

// The list of 系统设置 becomes names the books can hold, or is refused with why.
TEST(PaymentSettings, TypedListsAreSplitOrRefused) {
    const struct {
        const char* typed;
        QStringList methods; // empty: refused
    } cases[] = {
        {"现金、微信,支付宝，医保 银行卡", {"现金", "微信", "支付宝", "医保", "银行卡"}},
        {" 现金；；现金 ", {"现金"}},
        {"、 ,", {}},
        {"现金、未结账", {}},
        {"现金、一二三四五六七八九十一二三四五六七八九十一", {}}, // 21 characters
    };
    for (const auto& c : cases) {
        QString failure;
        const std::optional<QStringList> methods =
            CPaymentSettings::Parse(QString::fromUtf8(c.typed), &failure);
        EXPECT_EQ(methods.value_or(QStringList()), c.methods) << c.typed;
        EXPECT_EQ(failure.isEmpty(), methods.has_value()) << c.typed;
    }
}

} // namespace
