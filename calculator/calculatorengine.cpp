#include "calculator/calculatorengine.h"

#include "stats/numbertext.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace korvanta::calculator {

namespace {

std::optional<double> NumberOf(const CalculatorEngine::Operand& operand)
{
    if (const double* number = std::get_if<double>(&operand)) return *number;
    return stats::ParseDouble(std::get<std::string>(operand));
}

// The display text of a result. The general form can run to 22 characters
// ("-1.23456789012345E+100"); such a result is rounded to fewer significant
// digits until it fits, rather than letting the display cut it short.
std::string ResultText(double value)
{
    std::string text = stats::GeneralNumberText(value);
    for (int digits = 14; text.size() > CalculatorEngine::kMaxDisplayLength && digits >= 1; --digits) {
        char buffer[48];
        std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, value);
        const double rounded = std::strtod(buffer, nullptr);
        if (std::isfinite(rounded)) text = stats::GeneralNumberText(rounded);
    }
    return text;
}

enum class StepFailure { DivisionByZero, OutOfRange, NotANumber };

struct StepResult {
    double value = 0;
    std::optional<StepFailure> failure;
};

// One arithmetic step.
StepResult Apply(Operator op, const CalculatorEngine::Operand& left, double right)
{
    const std::optional<double> a = NumberOf(left);
    if (!a) return {0, StepFailure::NotANumber};
    double result = 0;
    switch (op) {
    case Operator::Divide:
        if (right == 0) return {0, StepFailure::DivisionByZero};
        result = *a / right;
        break;
    case Operator::Multiply:
        result = *a * right;
        break;
    case Operator::Add:
        result = *a + right;
        break;
    case Operator::Subtract:
        result = *a - right;
        break;
    case Operator::None:
        return {0, StepFailure::NotANumber};
    }
    if (!std::isfinite(result)) return {0, StepFailure::OutOfRange};
    // -0 shows as "0", as a zero product or difference should.
    return {result == 0 ? 0.0 : result, std::nullopt};
}

bool StartsWith(const std::string& text, std::string_view prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

void CalculatorEngine::PressDigit(char caption)
{
    if (!(caption == '.' || (caption >= '0' && caption <= '9'))) return;

    std::string text = startNewEntry_ ? std::string() : display_;
    text += caption;
    // A leading "0" goes when another digit follows it ("05" is 5); a lone
    // "0" stays, and "0." keeps its zero.
    if (text.size() >= 2 && text[0] == '0' && text[1] != '.') text.erase(0, 1);
    if (text.size() > kMaxDisplayLength) return; // the key is ignored: nothing changes, not even StartNewEntry

    startNewEntry_ = false;
    showingError_ = false;
    display_ = std::move(text);

    // A display that is not (yet) a number leaves the operand as it was:
    // "1.2." keeps 1.2, a lone "." after an operator keeps SecondOperand.
    if (const std::optional<double> value = stats::ParseDouble(display_)) {
        if (operatorEntered_) {
            secondOperand_ = *value;
            secondEntered_ = true;
        } else {
            firstOperand_ = *value;
        }
    }
}

void CalculatorEngine::PressOperator(Operator op)
{
    if (op == Operator::None) return;
    // "5 + 3 ×" completes 5 + 3 first; "6 + ×" only replaces the operator.
    if (secondEntered_) {
        PressEquals();
        if (showingError_) return;
    }
    pendingOperator_ = op;
    operatorEntered_ = true;
    startNewEntry_ = true;
}

void CalculatorEngine::PressEquals()
{
    if (showingError_) return;
    // Without a typed right operand there is nothing to compute: "5 × =" and
    // a second "=" keep the number shown.
    if (pendingOperator_ != Operator::None && secondEntered_) {
        const StepResult result = Apply(pendingOperator_, firstOperand_, secondOperand_);
        if (result.failure == StepFailure::DivisionByZero) {
            ShowError(kDivisionByZero);
            return;
        }
        if (result.failure == StepFailure::OutOfRange) {
            ShowError(kOutOfRange);
            return;
        }
        if (!result.failure) display_ = ResultText(result.value);
    }

    // The left operand becomes the text shown, before the zero is put back in
    // front of ".5": the text still reads as the same number.
    firstOperand_ = display_;
    secondOperand_ = 0;
    secondEntered_ = false;

    if (StartsWith(display_, "."))
        display_.insert(0, "0");
    else if (StartsWith(display_, "-."))
        display_.replace(0, 2, "-0.");
    // The calculation is over: an operator continues from the result, a digit
    // starts a new number.
    pendingOperator_ = Operator::None;
    operatorEntered_ = false;
    startNewEntry_ = true;
}

void CalculatorEngine::PressClear()
{
    display_ = "0";
    firstOperand_ = 0.0;
    secondOperand_ = 0;
    secondEntered_ = false;
    operatorEntered_ = false;
    showingError_ = false;
    // PendingOperator and StartNewEntry stay, so "5 + 3 C 2 =" adds nothing
    // to 2.
}

void CalculatorEngine::ShowError(std::string_view message)
{
    // Everything starts afresh: the next digit is a new left operand, an
    // operator works on 0.
    display_ = message;
    firstOperand_ = 0.0;
    secondOperand_ = 0;
    secondEntered_ = false;
    pendingOperator_ = Operator::None;
    operatorEntered_ = false;
    startNewEntry_ = true;
    showingError_ = true;
}

bool CalculatorEngine::PressButton(std::string_view caption)
{
    if (caption.size() == 1 && (caption[0] == '.' || (caption[0] >= '0' && caption[0] <= '9'))) {
        PressDigit(caption[0]);
        return true;
    }
    if (caption == "÷")
        PressOperator(Operator::Divide);
    else if (caption == "×")
        PressOperator(Operator::Multiply);
    else if (caption == "+")
        PressOperator(Operator::Add);
    else if (caption == "-")
        PressOperator(Operator::Subtract);
    else if (caption == "=")
        PressEquals();
    else if (caption == "C" || caption == "CE")
        PressClear();
    else
        return false;
    return true;
}

} // namespace korvanta::calculator
