#include "CCalculatorWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class CalculatorWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "calc_window_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            app_ = std::make_unique<QApplication>(argc, argv);
    }
    static void TearDownTestSuite() { app_.reset(); }

    static inline std::unique_ptr<QApplication> app_;
    CCalculatorWindow window_;
};

} // namespace

TEST_F(CalculatorWindowTest, HasChineseCaption) {
    EXPECT_EQ(window_.windowTitle(), QStringLiteral("计算器"));
}

TEST_F(CalculatorWindowTest, TypedKeysReachTheDisplay) {
    window_.show();
    QTest::keyClicks(&window_, "12.5*2=");
    EXPECT_EQ(window_.displayText(), "25");
    auto* display = window_.findChild<QLabel*>("display");
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->text(), "25");
}

TEST_F(CalculatorWindowTest, EditingAndClearingKeys) {
    window_.show();
    QTest::keyClicks(&window_, "8/4");
    QTest::keyClick(&window_, Qt::Key_Backspace);
    QTest::keyClicks(&window_, "2");
    QTest::keyClick(&window_, Qt::Key_Return);
    EXPECT_EQ(window_.displayText(), "4");
    QTest::keyClicks(&window_, "+7");
    QTest::keyClick(&window_, Qt::Key_Delete);
    QTest::keyClick(&window_, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(window_.displayText(), "4");
    QTest::keyClick(&window_, Qt::Key_Escape);
    EXPECT_EQ(window_.displayText(), "0");
    QTest::keyClicks(&window_, "200+10%");
    EXPECT_EQ(window_.displayText(), "220");
}

TEST_F(CalculatorWindowTest, ButtonsDriveTheEngine) {
    window_.show();
    for (const char* name : {"digit9", "divide", "digit0", "equals"}) {
        auto* button = window_.findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_EQ(window_.displayText(), QStringLiteral("不能除以零"));
    QTest::mouseClick(window_.findChild<QPushButton*>("digit3"), Qt::LeftButton);
    QTest::mouseClick(window_.findChild<QPushButton*>("sign"), Qt::LeftButton);
    EXPECT_EQ(window_.displayText(), "-3");
}

TEST_F(CalculatorWindowTest, ControlKeysDoNotType) {
    window_.show();
    QTest::keyClick(&window_, Qt::Key_5, Qt::ControlModifier);
    EXPECT_EQ(window_.displayText(), "0");
}

TEST_F(CalculatorWindowTest, LongNumbersShrinkToFitInsteadOfWideningTheWindow) {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    const int width = window_.width();
    auto* display = window_.findChild<QLabel*>("display");
    ASSERT_NE(display, nullptr);
    const int normalSize = display->font().pointSize();
    QTest::keyClicks(&window_, "123456789012345.");
    QTest::mouseClick(window_.findChild<QPushButton*>("sign"), Qt::LeftButton);
    EXPECT_EQ(window_.displayText(), "-123456789012345.");
    EXPECT_EQ(window_.width(), width);
    EXPECT_LT(display->font().pointSize(), normalSize);
    EXPECT_LE(QFontMetrics(display->font()).horizontalAdvance(display->text()),
              display->contentsRect().width());
    QTest::keyClick(&window_, Qt::Key_Escape);
    EXPECT_EQ(display->font().pointSize(), normalSize);
}
