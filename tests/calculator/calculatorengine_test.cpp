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
    if (const double* number = std::get_if<double>(&operand))
        return "number " + std::to_string(*number);
    return "text \"" + std::get<std::string>(operand) + "\"";
}

class ButtonSequenceTest : public ::testing::TestWithParam<ButtonSequence> {};

TEST_P(ButtonSequenceTest, EngineShowsExpectedDisplayAndOperands)
{
    const ButtonSequence& sequence = GetParam();
    CalculatorEngine engine;
    for (const std::string& caption : Captions(sequence.buttons))
        ASSERT_TRUE(engine.pressButton(caption)) << caption;

    EXPECT_EQ(engine.display(), sequence.display) << sequence.buttons;
    if (sequence.first) {
        EXPECT_EQ(engine.firstOperand(), *sequence.first)
            << sequence.buttons << ": FirstOperand is " << PrintOperand(engine.firstOperand());
    }
    if (sequence.second) {
        EXPECT_EQ(engine.secondOperand(), *sequence.second) << sequence.buttons;
    }
    if (sequence.pending) {
        EXPECT_EQ(engine.pendingOperator(), *sequence.pending) << sequence.buttons;
    }
}

INSTANTIATE_TEST_SUITE_P(Calculator, ButtonSequenceTest, ::testing::ValuesIn(Sequences()),
                         [](const ::testing::TestParamInfo<ButtonSequence>& paramInfo) {
                             return std::string(paramInfo.param.name);
                         });

TEST(CalculatorEngine, StartsShowingZeroWithNothingPending)
{
    const CalculatorEngine engine;
    EXPECT_EQ(engine.display(), "0");
    EXPECT_EQ(engine.firstOperand(), CalculatorEngine::Operand(0.0));
    EXPECT_EQ(engine.secondOperand(), 0.0);
    EXPECT_EQ(engine.pendingOperator(), Operator::None);
    EXPECT_FALSE(engine.operatorEntered());
    EXPECT_FALSE(engine.startNewEntry());
}

TEST(CalculatorEngine, FlagsFollowOperatorAndEqualsAndClear)
{
    CalculatorEngine engine;
    engine.pressButton("5");
    engine.pressButton("+");
    EXPECT_TRUE(engine.operatorEntered());
    EXPECT_TRUE(engine.startNewEntry());
    engine.pressButton("3");
    EXPECT_FALSE(engine.startNewEntry());
    EXPECT_TRUE(engine.secondEntered());
    engine.pressButton("=");
    // "=" ends the calculation: the next digit starts a new left operand.
    EXPECT_FALSE(engine.operatorEntered());
    EXPECT_TRUE(engine.startNewEntry());
    EXPECT_FALSE(engine.secondEntered());
    engine.pressButton("×");
    engine.pressButton("C");
    EXPECT_FALSE(engine.operatorEntered());
    EXPECT_TRUE(engine.startNewEntry());
    EXPECT_EQ(engine.pendingOperator(), Operator::Multiply);
}

TEST(CalculatorEngine, RejectsUnknownCaptions)
{
    CalculatorEngine engine;
    for (const char* caption : {"", "A", "12", "%", "*", "/", "C E"})
        EXPECT_FALSE(engine.pressButton(caption)) << caption;
    engine.pressDigit('x');
    EXPECT_EQ(engine.display(), "0");
}

TEST(CalculatorEngine, DigitBeyondTwentyCharactersIsIgnored)
{
    CalculatorEngine engine;
    for (int i = 0; i < 20; ++i)
        engine.pressButton("9");
    const std::string full(20, '9');
    ASSERT_EQ(engine.display(), full);
    engine.pressButton("9");
    engine.pressButton(".");
    EXPECT_EQ(engine.display(), full);
    EXPECT_EQ(engine.firstOperand(), CalculatorEngine::Operand(1e20 - 1));
}

TEST(CalculatorEngine, OverflowSaysSoAndStartsAfresh)
{
    // Twenty nines to the 15th power is about 1e300; the 16th power, done by
    // the final "=", passes the double range.
    CalculatorEngine engine;
    const std::string nines(20, '9');
    for (char c : nines)
        engine.pressDigit(c);
    for (int step = 0; step < 15; ++step) {
        engine.pressButton("×");
        for (char c : nines)
            engine.pressDigit(c);
    }
    // The steps before the last one did compute.
    const auto* product = std::get_if<std::string>(&engine.firstOperand());
    ASSERT_NE(product, nullptr);
    ASSERT_NEAR(stats::ParseDouble(*product).value_or(0) / 1e300, 1.0, 1e-3) << *product;

    engine.pressButton("=");
    EXPECT_EQ(engine.display(), CalculatorEngine::kOutOfRange);
    EXPECT_EQ(engine.firstOperand(), CalculatorEngine::Operand(0.0));
    engine.pressButton("7");
    EXPECT_EQ(engine.display(), "7");
    EXPECT_EQ(engine.firstOperand(), CalculatorEngine::Operand(7.0));
}

TEST(CalculatorEngine, LongResultIsShortenedToFitTheDisplay)
{
    // 0 - 12345678901234567890 needs 21 characters at 15 significant digits.
    CalculatorEngine engine;
    engine.pressButton("0");
    engine.pressButton("-");
    for (char c : std::string("12345678901234567890"))
        engine.pressDigit(c);
    engine.pressButton("=");
    ASSERT_LE(engine.display().size(), CalculatorEngine::kMaxDisplayLength);
    const std::optional<double> shown = stats::ParseDouble(engine.display());
    ASSERT_TRUE(shown) << engine.display();
    EXPECT_NEAR(*shown, -12345678901234567890.0, 1e6) << engine.display();
}

TEST(CalculatorEngine, NegativeZeroShowsAsZero)
{
    CalculatorEngine engine;
    for (const char* caption : {"0", "-", "5", "=", "×", "0", "="})
        engine.pressButton(caption);
    // -5 × 0: the display must not read "-0".
    EXPECT_EQ(engine.display(), "0");
}

} // namespace
} // namespace korvanta::calculator
