// The four-function calculator behind the panel "计算器". It knows nothing of
// widgets: the panel feeds it one button at a time and shows Display().
//
// It keeps the five values of the original desk calculator and applies the
// buttons as that one did, with three mendings: a right operand counts once it
// is typed, 0 included; "=" ends the calculation, so the next digit starts a
// new number; and a step that cannot be done (division by zero, a result past
// the double range) says so in the display instead of leaving a stale number.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace korvanta::calculator {

enum class Operator : int {
    None = 0,
    Divide = 1,   // "÷"
    Multiply = 2, // "×"
    Add = 3,      // "+"
    Subtract = 4, // "-"
};

class CalculatorEngine {
public:
    // The left operand is a number while it is being typed and the display
    // text after "=". A text takes part in arithmetic as the number it
    // denotes; a text that denotes none (a lone ".", "1.2.3") makes that
    // arithmetic fail, and the display stays as it was.
    using Operand = std::variant<double, std::string>;

    // What the display shows instead of a result that cannot be computed.
    static constexpr std::string_view kDivisionByZero = "除数不能为零";
    static constexpr std::string_view kOutOfRange = "结果超出范围";

    // What the display can hold. A digit that would make it longer is
    // ignored; a result too long for it loses significant digits.
    static constexpr std::size_t kMaxDisplayLength = 20;

    // A digit "0".."9" or the point ".". Any other character is ignored.
    void PressDigit(char caption);
    void PressOperator(Operator op);
    void PressEquals();
    // "C" and "CE" are one and the same button.
    void PressClear();

    // Dispatches a button by its caption (UTF-8): "0".."9", ".", "÷", "×",
    // "+", "-", "=", "C", "CE". Returns false for any other caption.
    bool PressButton(std::string_view caption);

    const std::string& Display() const { return display_; }
    const Operand& FirstOperand() const { return firstOperand_; }
    double SecondOperand() const { return secondOperand_; }
    Operator PendingOperator() const { return pendingOperator_; }
    bool OperatorEntered() const { return operatorEntered_; }
    bool StartNewEntry() const { return startNewEntry_; }
    bool SecondEntered() const { return secondEntered_; }

private:
    Operand firstOperand_ = 0.0;
    double secondOperand_ = 0;
    Operator pendingOperator_ = Operator::None;
    bool operatorEntered_ = false;
    bool startNewEntry_ = false;
    // A right operand has been typed since the operator (0 counts).
    bool secondEntered_ = false;
    // The display holds one of the messages above, not a number.
    bool showingError_ = false;
    std::string display_ = "0";

    void ShowError(std::string_view message);
};

} // namespace korvanta::calculator
