#include "CCalculatorEngine.h"
#include "calc_number_text.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

// Feeds keys as typed on the keyboard: digits . + - * / = % and
// b (backspace), e (clear entry), c (clear all), n (sign).
std::string type(CCalculatorEngine& engine, std::string_view keys) {
    using Op = CCalculatorEngine::Operator;
    for (const char key : keys) {
        switch (key) {
        case '+':
            engine.inputOperator(Op::Add);
            break;
        case '-':
            engine.inputOperator(Op::Subtract);
            break;
        case '*':
            engine.inputOperator(Op::Multiply);
            break;
        case '/':
            engine.inputOperator(Op::Divide);
            break;
        case '=':
            engine.equals();
            break;
        case '%':
            engine.percent();
            break;
        case '.':
            engine.inputPoint();
            break;
        case 'b':
            engine.backspace();
            break;
        case 'e':
            engine.clearEntry();
            break;
        case 'c':
            engine.clearAll();
            break;
        case 'n':
            engine.toggleSign();
            break;
        default:
            if (key < '0' || key > '9')
                ADD_FAILURE() << "no such key: " << key;
            engine.inputDigit(key - '0');
        }
    }
    return engine.display();
}

std::string typeFresh(std::string_view keys) {
    CCalculatorEngine engine;
    return type(engine, keys);
}

} // namespace

TEST(CalculatorNumberText, ShowsNoNeedlessZerosAndHidesBinaryNoise) {
    EXPECT_EQ(formatCalculatorNumber(12.5), "12.5");
    EXPECT_EQ(formatCalculatorNumber(25.0), "25");
    EXPECT_EQ(formatCalculatorNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatCalculatorNumber(-0.0), "0");
    EXPECT_EQ(formatCalculatorNumber(-1e-300 * 1e-300), "0");
    EXPECT_EQ(formatCalculatorNumber(123456789012345.0), "123456789012345");
    EXPECT_EQ(formatCalculatorNumber(1e20), "1e+20");
}

TEST(CalculatorNumberText, ReadsTypedTextAndRefusesNonsense) {
    EXPECT_EQ(parseCalculatorNumber("12."), 12.0);
    EXPECT_EQ(parseCalculatorNumber("-0.5"), -0.5);
    EXPECT_EQ(parseCalculatorNumber("1e+20"), 1e20);
    EXPECT_FALSE(parseCalculatorNumber(""));
    EXPECT_FALSE(parseCalculatorNumber("-"));
    EXPECT_FALSE(parseCalculatorNumber("错误"));
    EXPECT_FALSE(parseCalculatorNumber("12abc"));
}

TEST(CalculatorEngine, StartsAtZero) {
    CCalculatorEngine engine;
    EXPECT_EQ(engine.display(), "0");
    EXPECT_EQ(engine.pendingText(), "");
    EXPECT_FALSE(engine.hasError());
}

TEST(CalculatorEngine, ChainsExecuteLeftToRight) {
    EXPECT_EQ(typeFresh("2+3*4="), "20");
    EXPECT_EQ(typeFresh("10-4/3="), "2");
    EXPECT_EQ(typeFresh("12.5*2="), "25");
    CCalculatorEngine engine;
    EXPECT_EQ(type(engine, "2+3*"), "5"); // the intermediate result shows at once
    EXPECT_EQ(engine.pendingText(), "5 ×");
}

TEST(CalculatorEngine, SecondOperatorReplacesTheFirst) {
    EXPECT_EQ(typeFresh("8+-3="), "5");
    EXPECT_EQ(typeFresh("8*/2="), "4");
}

TEST(CalculatorEngine, ResultContinuesOrNewNumberStartsOver) {
    EXPECT_EQ(typeFresh("2+3=*4="), "20");
    CCalculatorEngine engine;
    type(engine, "2+3=");
    EXPECT_EQ(type(engine, "7"), "7");
    EXPECT_EQ(engine.pendingText(), "");
}

TEST(CalculatorEngine, RepeatedEqualsRepeatsLastStep) {
    CCalculatorEngine engine;
    EXPECT_EQ(type(engine, "2+3="), "5");
    EXPECT_EQ(type(engine, "="), "8");
    EXPECT_EQ(type(engine, "="), "11");
    EXPECT_EQ(typeFresh("100/2=="), "25");
    EXPECT_EQ(typeFresh("5+="), "10"); // the shown value serves as operand
    EXPECT_EQ(typeFresh("7="), "7");
}

TEST(CalculatorEngine, KeepsFullPrecisionBehindTheDisplay) {
    CCalculatorEngine engine;
    EXPECT_EQ(type(engine, "1/3="), "0.333333333333333");
    EXPECT_EQ(type(engine, "*3="), "1");
}

TEST(CalculatorEngine, PercentWorksAsOnAPocketCalculator) {
    EXPECT_EQ(typeFresh("200+10%"), "220");
    EXPECT_EQ(typeFresh("200+10%="), "220");
    EXPECT_EQ(typeFresh("200-10%"), "180");
    EXPECT_EQ(typeFresh("50*10%"), "5");
    EXPECT_EQ(typeFresh("50/10%"), "500");
    EXPECT_EQ(typeFresh("10%"), "0.1");
    EXPECT_EQ(typeFresh("200+10%+5="), "225");
}

TEST(CalculatorEngine, DivisionByZeroShowsErrorAndNextKeyStartsFresh) {
    CCalculatorEngine engine;
    EXPECT_EQ(type(engine, "5/0="), CCalculatorEngine::kDivideByZeroText);
    EXPECT_TRUE(engine.hasError());
    EXPECT_EQ(engine.pendingText(), "");
    EXPECT_EQ(type(engine, "7"), "7");
    EXPECT_FALSE(engine.hasError());
    EXPECT_EQ(type(engine, "+1="), "8"); // nothing of 5 / 0 remains

    CCalculatorEngine chained;
    EXPECT_EQ(type(chained, "5/0+"), CCalculatorEngine::kDivideByZeroText);
    EXPECT_EQ(type(chained, "+"), "0"); // an operator only clears the error
    EXPECT_EQ(type(chained, "3="), "3");

    EXPECT_EQ(typeFresh("5/0=."), "0.");
    EXPECT_EQ(typeFresh("5/0=b"), "0");
    EXPECT_EQ(typeFresh("5/0=%"), "0");
    EXPECT_EQ(typeFresh("5/0=n"), "0");
}

TEST(CalculatorEngine, DivisionByZeroPercentIsAnError) {
    EXPECT_EQ(typeFresh("50/0%"), CCalculatorEngine::kDivideByZeroText);
}

TEST(CalculatorEngine, OverflowShowsError) {
    CCalculatorEngine engine;
    type(engine, "999999999999999*");
    for (int i = 0; i < 25 && !engine.hasError(); ++i)
        type(engine, "=");
    EXPECT_TRUE(engine.hasError());
    EXPECT_EQ(engine.display(), CCalculatorEngine::kErrorText);
}

TEST(CalculatorEngine, DecimalEntry) {
    EXPECT_EQ(typeFresh(".5"), "0.5");
    EXPECT_EQ(typeFresh("1.2.3"), "1.23");
    EXPECT_EQ(typeFresh("007"), "7");
    EXPECT_EQ(typeFresh("0.05"), "0.05");
    EXPECT_EQ(typeFresh("12.="), "12");
    EXPECT_EQ(typeFresh("2+.5="), "2.5");
    EXPECT_EQ(typeFresh("0.1+0.2="), "0.3");
}

TEST(CalculatorEngine, EntryIsLimitedToFifteenDigits) {
    EXPECT_EQ(typeFresh("12345678901234567"), "123456789012345");
    EXPECT_EQ(typeFresh("0.12345678901234567"), "0.12345678901234");
}

TEST(CalculatorEngine, BackspaceEditsOnlyTypedEntry) {
    EXPECT_EQ(typeFresh("123b"), "12");
    EXPECT_EQ(typeFresh("1.5bb"), "1");
    EXPECT_EQ(typeFresh("7bb"), "0");
    EXPECT_EQ(typeFresh("12nb"), "-1"); // removes the digit, not the sign...
    EXPECT_EQ(typeFresh("7nb"), "0");   // ...and a lone sign goes with the last digit
    EXPECT_EQ(typeFresh("2+3=b"), "5");
    EXPECT_EQ(typeFresh("12+34b="), "15");
}

TEST(CalculatorEngine, SignChangesEntryOrResult) {
    EXPECT_EQ(typeFresh("5n"), "-5");
    EXPECT_EQ(typeFresh("5nn"), "5");
    EXPECT_EQ(typeFresh("5n+3="), "-2");
    EXPECT_EQ(typeFresh("n5"), "-5"); // "-0" then a digit
    EXPECT_EQ(typeFresh("0n5"), "-5");
    EXPECT_EQ(typeFresh("3-3=n2+1="), "-1");
    EXPECT_EQ(typeFresh("n="), "0");
    EXPECT_EQ(typeFresh("2+3=n"), "-5");
    EXPECT_EQ(typeFresh("2+3=n4"), "4"); // a negated result is still a result
    EXPECT_EQ(typeFresh("2+3=n+1="), "-4");
    EXPECT_EQ(typeFresh("2+n="), "0"); // the negated echo is the operand
    EXPECT_EQ(typeFresh("0.5n*2="), "-1");
}

TEST(CalculatorEngine, ClearEntryKeepsTheCalculation) {
    EXPECT_EQ(typeFresh("2+5e3="), "5");
    EXPECT_EQ(typeFresh("2+5e="), "2");
    CCalculatorEngine engine;
    type(engine, "2+5e");
    EXPECT_EQ(engine.pendingText(), "2 +");
}

TEST(CalculatorEngine, ClearAllForgetsEverything) {
    CCalculatorEngine engine;
    type(engine, "2+3=");
    EXPECT_EQ(type(engine, "c"), "0");
    EXPECT_EQ(type(engine, "="), "0"); // no repeat of + 3
    type(engine, "9+4c");
    EXPECT_EQ(engine.pendingText(), "");
    EXPECT_EQ(type(engine, "1="), "1");
}
