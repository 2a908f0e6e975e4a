#pragma once

#include <optional>
#include <string>

// The arithmetic of a simple pocket calculator, without any widgets.
//
// Operations execute immediately, left to right: 2 + 3 x 4 = gives 20.
// Percent completes the pending operation as pocket calculators do:
// 200 + 10 % gives 220, 200 - 10 % gives 180, 50 x 10 % gives 5,
// 50 / 10 % gives 500, and 10 % alone gives 0.1.
// Pressing '=' again repeats the last operation with the same operand.
// After an error any digit or point starts a new number; every other key
// only clears the error.
class CCalculatorEngine {
public:
    enum class Operator { Add, Subtract, Multiply, Divide };

    static constexpr int kMaxEntryDigits = 15;
    static constexpr const char* kDivideByZeroText = "不能除以零";
    static constexpr const char* kErrorText = "错误";

    void inputDigit(int digit);
    void inputPoint();
    void inputOperator(Operator op);
    void equals();
    void percent();
    void toggleSign();
    void backspace();
    void clearEntry();
    void clearAll();

    // UTF-8 text of the main display.
    const std::string& display() const { return display_; }
    // The pending part of the calculation, e.g. "200 +"; empty when none.
    std::string pendingText() const;
    bool hasError() const { return error_; }

private:
    struct Step {
        Operator op;
        double operand;
    };

    double displayValue() const;
    void showResult(double value);
    void showError(const char* text);
    // Applies op; false (and the error shown) when the result is no number.
    bool apply(double left, Operator op, double right, double& result);
    void startEntryIfNeeded();

    std::string display_ = "0";
    double accumulator_ = 0.0;
    double shownValue_ = 0.0; // the value behind display_ when it is not being typed
    std::optional<Operator> pending_;
    std::optional<Step> lastStep_; // for repeated '='
    bool typing_ = false;          // digits append to the display
    bool operandGiven_ = false;    // the display holds a new operand for pending_
    bool error_ = false;
};
