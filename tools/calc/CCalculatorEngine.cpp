#include "CCalculatorEngine.h"

#include "calc_number_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

int countDigits(const std::string& text) {
    return static_cast<int>(std::count_if(text.begin(), text.end(),
                                          [](unsigned char c) { return std::isdigit(c) != 0; }));
}

const char* operatorSymbol(CCalculatorEngine::Operator op) {
    switch (op) {
    case CCalculatorEngine::Operator::Add:
        return "+";
    case CCalculatorEngine::Operator::Subtract:
        return "−";
    case CCalculatorEngine::Operator::Multiply:
        return "×";
    case CCalculatorEngine::Operator::Divide:
        return "÷";
    }
    return "";
}

} // namespace

void CCalculatorEngine::startEntryIfNeeded() {
    if (error_)
        clearAll();
    if (!typing_) {
        display_ = "0";
        typing_ = true;
    }
    operandGiven_ = true;
}

void CCalculatorEngine::inputDigit(int digit) {
    if (digit < 0 || digit > 9)
        return;
    startEntryIfNeeded();
    if (countDigits(display_) >= kMaxEntryDigits)
        return;
    const char c = static_cast<char>('0' + digit);
    if (display_ == "0")
        display_ = c;
    else if (display_ == "-0")
        display_ = std::string("-") + c;
    else
        display_ += c;
}

void CCalculatorEngine::inputPoint() {
    startEntryIfNeeded();
    if (display_.find('.') == std::string::npos)
        display_ += '.';
}

void CCalculatorEngine::inputOperator(Operator op) {
    if (error_) {
        clearAll();
        return;
    }
    if (pending_ && operandGiven_) {
        double result = 0.0;
        if (!apply(accumulator_, *pending_, displayValue(), result))
            return;
        accumulator_ = result;
    } else if (!pending_) {
        accumulator_ = displayValue();
    }
    showResult(accumulator_); // also turns a typed "12." into "12"
    // With an operator pending and no new operand, the new one replaces it.
    pending_ = op;
    typing_ = false;
    operandGiven_ = false;
}

void CCalculatorEngine::equals() {
    if (error_) {
        clearAll();
        return;
    }
    Step step{};
    double left = 0.0;
    if (pending_) {
        // "5 + =" uses the shown value as the operand: 10.
        left = accumulator_;
        step = Step{*pending_, displayValue()};
    } else if (lastStep_) {
        left = displayValue();
        step = *lastStep_;
    } else {
        showResult(displayValue());
        return;
    }
    double result = 0.0;
    if (!apply(left, step.op, step.operand, result))
        return;
    lastStep_ = step;
    pending_.reset();
    accumulator_ = result;
    showResult(result);
}

void CCalculatorEngine::percent() {
    if (error_) {
        clearAll();
        return;
    }
    const double x = displayValue();
    double result = x / 100.0;
    if (pending_) {
        const double share = accumulator_ * x / 100.0;
        switch (*pending_) {
        case Operator::Add:
            result = accumulator_ + share;
            break;
        case Operator::Subtract:
            result = accumulator_ - share;
            break;
        case Operator::Multiply:
            result = share;
            break;
        case Operator::Divide:
            if (!apply(accumulator_, Operator::Divide, x / 100.0, result))
                return;
            break;
        }
    }
    if (!std::isfinite(result)) {
        showError(kErrorText);
        return;
    }
    pending_.reset();
    lastStep_.reset();
    accumulator_ = result;
    showResult(result);
}

void CCalculatorEngine::toggleSign() {
    if (error_) {
        clearAll();
        return;
    }
    if (!typing_ && displayValue() == 0.0) {
        // Negating zero only makes sense as the start of a negative number.
        startEntryIfNeeded();
        display_ = "-0";
        return;
    }
    if (typing_) {
        if (!display_.empty() && display_.front() == '-')
            display_.erase(0, 1);
        else
            display_.insert(0, 1, '-');
    } else {
        // A result or an echoed operand: its negation becomes the operand,
        // and the next digit still starts a new number.
        showResult(-displayValue());
        if (pending_)
            operandGiven_ = true;
    }
}

void CCalculatorEngine::backspace() {
    if (error_) {
        clearAll();
        return;
    }
    if (!typing_)
        return; // a result is not edited digit by digit
    display_.pop_back();
    if (display_.empty() || display_ == "-")
        display_ = "0";
}

void CCalculatorEngine::clearEntry() {
    if (error_) {
        clearAll();
        return;
    }
    display_ = "0";
    typing_ = true;
    operandGiven_ = true;
}

void CCalculatorEngine::clearAll() {
    *this = CCalculatorEngine();
}

std::string CCalculatorEngine::pendingText() const {
    if (error_ || !pending_)
        return {};
    return formatCalculatorNumber(accumulator_) + " " + operatorSymbol(*pending_);
}

double CCalculatorEngine::displayValue() const {
    if (!typing_)
        return shownValue_; // unrounded, so 1 / 3 x 3 gives 1
    return parseCalculatorNumber(display_).value_or(0.0);
}

void CCalculatorEngine::showResult(double value) {
    shownValue_ = value;
    display_ = formatCalculatorNumber(value);
    typing_ = false;
}

void CCalculatorEngine::showError(const char* text) {
    *this = CCalculatorEngine();
    display_ = text;
    error_ = true;
}

bool CCalculatorEngine::apply(double left, Operator op, double right, double& result) {
    switch (op) {
    case Operator::Add:
        result = left + right;
        break;
    case Operator::Subtract:
        result = left - right;
        break;
    case Operator::Multiply:
        result = left * right;
        break;
    case Operator::Divide:
        if (right == 0.0) {
            showError(kDivideByZeroText);
            return false;
        }
        result = left / right;
        break;
    }
    if (!std::isfinite(result)) {
        showError(kErrorText);
        return false;
    }
    return true;
}
