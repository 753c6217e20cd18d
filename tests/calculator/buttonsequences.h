// Button sequences and what the calculator must show after them, shared by the
// engine tests and the panel tests that click the real buttons.
#pragma once

#include "calculator/calculatorengine.h"

#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace korvanta::calculator::testing {

using Operand = CalculatorEngine::Operand;

struct ButtonSequence {
    const char* name;
    const char* buttons; // captions separated by spaces
    const char* display;
    std::optional<Operand> first = std::nullopt;
    std::optional<double> second = std::nullopt;
    std::optional<Operator> pending = std::nullopt;
};

// Failures name the sequence instead of dumping its bytes.
inline void PrintTo(const ButtonSequence& sequence, std::ostream* out)
{
    *out << sequence.name << " [" << sequence.buttons << "]";
}

inline std::vector<std::string> Captions(const char* buttons)
{
    std::istringstream in(buttons);
    std::vector<std::string> captions;
    for (std::string caption; in >> caption;) captions.push_back(caption);
    return captions;
}

inline Operand Text(const char* text) { return Operand(std::string(text)); }

inline const std::vector<ButtonSequence>& Sequences()
{
    static const std::vector<ButtonSequence> sequences = {
        // Typing into the initial "0".
        {"FiveReplacesInitialZero", "5", "5", 5.0},
        {"ZeroOnZeroStaysZero", "0", "0", 0.0},
        {"PointKeepsLeadingZero", ".", "0.", 0.0},
        {"DigitsExtendTheDisplay", "1 2 . 5", "12.5", 12.5},

        // The plain operations.
        {"Add", "7 + 5 =", "12", Text("12"), 0.0, Operator::None},
        {"SubtractBelowZero", "3 - 5 =", "-2", Text("-2"), 0.0},
        {"MultiplyDecimals", "2 . 5 × 4 =", "10", Text("10")},
        {"HalfGetsItsZeroBack", "1 ÷ 2 =", "0.5", Text(".5"), 0.0, Operator::None},
        {"ThirdFifteenDigits", "1 ÷ 3 =", "0.333333333333333", Text(".333333333333333")},
        {"MinusHalfGetsItsZeroBack", "0 - 0 . 5 =", "-0.5", Text("-.5"), 0.0},
        {"NegativeFractionResult", "0 . 5 - 1 =", "-0.5", Text("-.5")},

        // Operators in a row.
        {"OperatorCompletesPendingStep", "5 + 3 × 2 =", "16", Text("16"), 0.0, Operator::None},
        {"OperatorShowsIntermediateResult", "5 + 3 ×", "8", Text("8"), 0.0, Operator::Multiply},
        {"ZeroIsARightOperand", "5 × 0 + 2 =", "2", Text("2"), 0.0, Operator::None},
        {"ZeroRightOperandSubtracts", "7 - 0 =", "7", Text("7")},
        {"ZeroLeftOperandAfterOperator", "3 × 0 =", "0", Text("0")},
        {"SecondOperatorReplacesFirst", "6 + × 2 =", "12", Text("12"), 0.0, Operator::None},

        // Zero after an operator, and division by it.
        {"ZeroAfterOperatorShows", "8 ÷ 0", "0", 8.0, 0.0, Operator::Divide},
        {"ZeroThenDigitAfterOperator", "8 ÷ 0 4 =", "2", Text("2")},
        {"DivisionByZeroSaysSo", "8 ÷ 0 =", "除数不能为零", 0.0, 0.0, Operator::None},
        {"DivisionByZeroDecimal", "8 ÷ 0 . 0 =", "除数不能为零", 0.0},
        {"DivisionByZeroByOperator", "8 ÷ 0 +", "除数不能为零", 0.0, 0.0, Operator::None},
        {"DigitAfterDivisionByZeroStartsAfresh", "8 ÷ 0 = 5", "5", 5.0, 0.0, Operator::None},
        {"PointAfterDivisionByZeroStartsAfresh", "8 ÷ 0 = .", ".", 0.0},
        {"EqualsAfterDivisionByZeroKeepsMessage", "8 ÷ 0 = =", "除数不能为零", 0.0},
        {"OperatorAfterDivisionByZeroWorksOnZero", "8 ÷ 0 = + 3 =", "3", Text("3")},
        {"LonePointAfterOperator", "5 + .", ".", 5.0, 0.0, Operator::Add},
        {"LonePointAfterOperatorThenDigit", "5 + . 5 =", "5.5", Text("5.5")},
        {"SecondPointKeepsFirstOperand", "1 . 2 . 3", "1.2.3", 1.2, 0.0, Operator::None},

        // "=" ends a calculation: a digit starts a new number, an operator
        // continues from the result.
        {"DigitAfterEqualsStartsNewNumber", "2 + 3 = 1", "1", 1.0, 0.0, Operator::None},
        {"NewNumberAfterEqualsAdds", "2 + 3 = 1 + 1 =", "2", Text("2")},
        {"NewNumberAfterEqualsAlone", "2 + 3 = 1 =", "1", Text("1")},
        {"DigitAfterFractionResultStartsAfresh", "1 ÷ 2 = 5", "5", 5.0},
        {"PointAfterEqualsStartsAfresh", "1 ÷ 2 = . 2 5 × 4 =", "1", Text("1")},
        {"OperatorAfterEqualsContinues", "2 + 3 = × 4 =", "20", Text("20")},
        {"RepeatedEqualsKeepsResult", "2 + 3 = =", "5", Text("5"), 0.0},
        {"RepeatedEqualsAfterMultiplyKeepsResult", "2 × 3 = =", "6", Text("6"), 0.0},
        {"OperatorThenEqualsKeepsLeftOperand", "5 × =", "5", Text("5")},
        {"EqualsWithoutOperatorKeepsDisplay", "4 2 =", "42", Text("42"), 0.0, Operator::None},
        {"EqualsWithoutOperatorKeepsBrokenText", "1 . 2 . 3 =", "1.2.3", Text("1.2.3")},

        // Clearing keeps the pending operator and StartNewEntry.
        {"ClearShowsZero", "5 + 3 C", "0", 0.0, 0.0, Operator::Add},
        {"ClearThenDigitsFeedFirstOperand", "5 + 3 C 2 =", "2", Text("2"), 0.0, Operator::None},
        {"ClearEntryIsTheSameButton", "5 + 3 CE 2 =", "2", Text("2"), 0.0, Operator::None},
        {"ClearKeepsStartNewEntry", "5 + C 0", "0", 0.0, 0.0, Operator::Add},
        {"ClearAfterEqualsThenNumber", "2 × 3 = C 4 =", "4", Text("4")},
        {"ClearAfterOperatorThenNumber", "5 × 3 C 2 =", "2", Text("2")},
        {"ClearRecoversFromDivisionByZero", "8 ÷ 0 = C 6 + 1 =", "7", Text("7")},
    };
    return sequences;
}

} // namespace korvanta::calculator::testing
