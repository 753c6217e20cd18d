#include "buttonsequences.h"

#include "stats/numbertext.h"

#include <gtest/gtest.h>

#include <string>

namespace korvanta::calculator {
namespace {

using testing::ButtonSequence;
using testing::Captions;
using testing::Sequences;

std::string PrintOperand(const CalculatorEngine::Operand& operand)
{
    if (const double* number = std::get_if<double>(&operand)) return "number " + std::to_string(*number);
    return "text \"" + std::get<std::string>(operand) + "\"";
}

class ButtonSequenceTest : public ::testing::TestWithParam<ButtonSequence> {};

TEST_P(ButtonSequenceTest, EngineShowsExpectedDisplayAndOperands)
{
    const ButtonSequence& sequence = GetParam();
    CalculatorEngine engine;
    for (const std::string& caption : Captions(sequence.buttons)) ASSERT_TRUE(engine.PressButton(caption)) << caption;

    EXPECT_EQ(engine.Display(), sequence.display) << sequence.buttons;
    if (sequence.first) {
        EXPECT_EQ(engine.FirstOperand(), *sequence.first)
            << sequence.buttons << ": FirstOperand is " << PrintOperand(engine.FirstOperand());
    }
    if (sequence.second) {
        EXPECT_EQ(engine.SecondOperand(), *sequence.second) << sequence.buttons;
    }
    if (sequence.pending) {
        EXPECT_EQ(engine.PendingOperator(), *sequence.pending) << sequence.buttons;
    }
}

INSTANTIATE_TEST_SUITE_P(Calculator, ButtonSequenceTest, ::testing::ValuesIn(Sequences()),
                         [](const ::testing::TestParamInfo<ButtonSequence>& paramInfo) {
                             return std::string(paramInfo.param.name);
                         });

TEST(CalculatorEngine, StartsShowingZeroWithNothingPending)
{
    const CalculatorEngine engine;
    EXPECT_EQ(engine.Display(), "0");
    EXPECT_EQ(engine.FirstOperand(), CalculatorEngine::Operand(0.0));
    EXPECT_EQ(engine.SecondOperand(), 0.0);
    EXPECT_EQ(engine.PendingOperator(), Operator::None);
    EXPECT_FALSE(engine.OperatorEntered());
    EXPECT_FALSE(engine.StartNewEntry());
}

TEST(CalculatorEngine, FlagsFollowOperatorAndEqualsAndClear)
{
    CalculatorEngine engine;
    engine.PressButton("5");
    engine.PressButton("+");
    EXPECT_TRUE(engine.OperatorEntered());
    EXPECT_TRUE(engine.StartNewEntry());
    engine.PressButton("3");
    EXPECT_FALSE(engine.StartNewEntry());
    EXPECT_TRUE(engine.SecondEntered());
    engine.PressButton("=");
    // "=" ends the calculation: the next digit starts a new left operand.
    EXPECT_FALSE(engine.OperatorEntered());
    EXPECT_TRUE(engine.StartNewEntry());
    EXPECT_FALSE(engine.SecondEntered());
    engine.PressButton("×");
    engine.PressButton("C");
    EXPECT_FALSE(engine.OperatorEntered());
    EXPECT_TRUE(engine.StartNewEntry());
    EXPECT_EQ(engine.PendingOperator(), Operator::Multiply);
}

TEST(CalculatorEngine, RejectsUnknownCaptions)
{
    CalculatorEngine engine;
    for (const char* caption : {"", "A", "12", "%", "*", "/", "C E"})
        EXPECT_FALSE(engine.PressButton(caption)) << caption;
    engine.PressDigit('x');
    EXPECT_EQ(engine.Display(), "0");
}

TEST(CalculatorEngine, DigitBeyondTwentyCharactersIsIgnored)
{
    CalculatorEngine engine;
    for (int i = 0; i < 20; ++i) engine.PressButton("9");
    const std::string full(20, '9');
    ASSERT_EQ(engine.Display(), full);
    engine.PressButton("9");
    engine.PressButton(".");
    EXPECT_EQ(engine.Display(), full);
    EXPECT_EQ(engine.FirstOperand(), CalculatorEngine::Operand(1e20 - 1));
}

TEST(CalculatorEngine, OverflowSaysSoAndStartsAfresh)
{
    // Twenty nines to the 15th power is about 1e300; the 16th power, done by
    // the final "=", passes the double range.
    CalculatorEngine engine;
    const std::string nines(20, '9');
    for (char c : nines) engine.PressDigit(c);
    for (int step = 0; step < 15; ++step) {
        engine.PressButton("×");
        for (char c : nines) engine.PressDigit(c);
    }
    // The steps before the last one did compute.
    const auto* product = std::get_if<std::string>(&engine.FirstOperand());
    ASSERT_NE(product, nullptr);
    ASSERT_NEAR(stats::ParseDouble(*product).value_or(0) / 1e300, 1.0, 1e-3) << *product;

    engine.PressButton("=");
    EXPECT_EQ(engine.Display(), CalculatorEngine::kOutOfRange);
    EXPECT_EQ(engine.FirstOperand(), CalculatorEngine::Operand(0.0));
    engine.PressButton("7");
    EXPECT_EQ(engine.Display(), "7");
    EXPECT_EQ(engine.FirstOperand(), CalculatorEngine::Operand(7.0));
}

TEST(CalculatorEngine, LongResultIsShortenedToFitTheDisplay)
{
    // 0 - 12345678901234567890 needs 21 characters at 15 significant digits.
    CalculatorEngine engine;
    engine.PressButton("0");
    engine.PressButton("-");
    for (char c : std::string("12345678901234567890")) engine.PressDigit(c);
    engine.PressButton("=");
    ASSERT_LE(engine.Display().size(), CalculatorEngine::kMaxDisplayLength);
    const std::optional<double> shown = stats::ParseDouble(engine.Display());
    ASSERT_TRUE(shown) << engine.Display();
    EXPECT_NEAR(*shown, -12345678901234567890.0, 1e6) << engine.Display();
}

TEST(CalculatorEngine, NegativeZeroShowsAsZero)
{
    CalculatorEngine engine;
    for (const char* caption : {"0", "-", "5", "=", "×", "0", "="}) engine.PressButton(caption);
    // -5 × 0: the display must not read "-0".
    EXPECT_EQ(engine.Display(), "0");
}

} // namespace
} // namespace korvanta::calculator
