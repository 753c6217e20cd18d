// The four-function calculator behind the panel "计算器". It knows nothing of
// widgets: the panel feeds it one button at a time and shows display().
//
// The calculator is deliberately literal: it keeps the five values of the
// original desk calculator and applies every button exactly as that one did,
// odd results included (digits after "=" extend the result, "C" keeps the
// pending operator, a "0" typed right after an operator empties the display).
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
    // denotes; a text that denotes none (an empty display after a failed
    // division, a lone ".", "1.2.3") makes that arithmetic fail like a
    // division by zero does, so the display stays as it was.
    using Operand = std::variant<double, std::string>;

    // What the display can hold. A digit that would make it longer is
    // ignored; a result too long for it loses significant digits.
    static constexpr std::size_t kMaxDisplayLength = 20;

    // A digit "0".."9" or the point ".". Any other character is ignored.
    void pressDigit(char caption);
    void pressOperator(Operator op);
    void pressEquals();
    // "C" and "CE" are one and the same button.
    void pressClear();

    // Dispatches a button by its caption (UTF-8): "0".."9", ".", "÷", "×",
    // "+", "-", "=", "C", "CE". Returns false for any other caption.
    bool pressButton(std::string_view caption);

    const std::string& display() const { return display_; }
    const Operand& firstOperand() const { return firstOperand_; }
    double secondOperand() const { return secondOperand_; }
    Operator pendingOperator() const { return pendingOperator_; }
    bool operatorEntered() const { return operatorEntered_; }
    bool startNewEntry() const { return startNewEntry_; }

private:
    Operand firstOperand_ = 0.0;
    double secondOperand_ = 0;
    Operator pendingOperator_ = Operator::None;
    bool operatorEntered_ = false;
    bool startNewEntry_ = false;
    std::string display_ = "0";
};

} // namespace korvanta::calculator
