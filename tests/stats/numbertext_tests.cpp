#include "stats/numbertext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace korvanta::stats {
namespace {

constexpr std::int64_t kMaxUnits = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMinUnits = std::numeric_limits<std::int64_t>::min();

TEST(FormatFourDecimals, DisplaysEveryListedCase)
{
    const std::pair<std::string, std::string> cases[] = {
        {".5", "0.5000"},
        {"-.5", "-0.5000"},
        {"-.25", "-0.2500"},
        {"0.5", "0.5000"},
        {"12", "12.0000"},
        {"2.99996", "3.0000"},
        {"-2.99996", "-3.0000"},
        {"-0.123456", "-0.1235"},
        {"0.00005", "0.0001"},
        {"1E-05", "0.0000"},
        {"1234567.8", "1234567.8000"},
        {".", "0.0000"},
        {"", ""},
        {"abc", "abc"},
        // Halves go away from zero, decided on the decimal text itself.
        {"2.99995", "3.0000"},
        {"-0.00005", "-0.0001"},
        {"0.00004999", "0.0000"},
        {"1.5E+3", "1500.0000"},
        {"1E+20", "100000000000000000000.0000"},
        {"-9.99995E-01", "-1.0000"},
        // A negative value that rounds to zero shows no sign.
        {"-0.00001", "0.0000"},
        {"-1E-05", "0.0000"},
        // Not numbers: returned as repaired.
        {"-.-.", "-0.-0."},
        {"1..2", "1..2"},
        {"1E+400", "1E+400"},
        {"-", "-"},
        {"nan", "nan"},
    };
    for (const auto& [input, shown] : cases) EXPECT_EQ(FormatFourDecimals(input), shown) << input;
}

TEST(GeneralNumberText, PlainBetweenTenThousandthAndTenToTheFifteen)
{
    const std::pair<double, std::string> cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {0.5, ".5"},
        {-0.5, "-.5"},
        {2.0, "2"},
        {-32767.0, "-32767"},
        {-12.25, "-12.25"},
        {0.0001, ".0001"},
        {0.00012345, ".00012345"},
        {0.00009, "9E-05"},
        {1.5e-5, "1.5E-05"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E+15"},
        {-2.5e20, "-2.5E+20"},
        {1.0 / 3, ".333333333333333"},
        {2.0 / 3 * 1e14, "66666666666666.7"},
        {2.23606797749979, "2.23606797749979"},
        {1e-100, "1E-100"},
        {7.8015302433004879e-310, "7.80153024330049E-310"}, // subnormal: fewer digits of its own
        {1.7976931348623157e308, "1.79769313486232E+308"},
        // Rounding to 15 digits can carry into the next power of ten.
        {999999999999999.9, "1E+15"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(GeneralNumberText(value), text) << value;
}

TEST(ParseFixed4, AcceptsNumbersAndRoundsHalvesToEven)
{
    const std::pair<std::string, std::int64_t> cases[] = {
        {"0", 0},
        {"12", 120000},
        {" -3.5 ", -35000},
        {"+.5", 5000},
        {"5.", 50000},
        {"1e3", 10000000},
        {"2.5E-2", 250},
        {"1.23456", 12346},
        {"0.00005", 0},
        {"0.00015", 2},
        {"-0.00025", -2},
        {"0.000050001", 1},
        {"-0", 0},
        {"0e999999999999999999", 0},
        {"922337203685477.5807", kMaxUnits},
        {"-922337203685477.5808", kMinUnits},
        {"922337203685477.58074", kMaxUnits},
        {"0." + std::string(5000, '0') + "1", 0},
        {std::string(5000, '0') + "7", 70000},
        {"1e-99999999999999999999", 0},
    };
    for (const auto& [text, units] : cases) {
        const auto value = ParseFixed4(text);
        ASSERT_TRUE(value.has_value()) << text;
        EXPECT_EQ(value->Units(), units) << text;
    }
}

TEST(ParseFixed4, RejectsWhatIsNotANumberInRange)
{
    const std::string rejected[] = {
        "",
        " ",
        "-",
        ".",
        "-.",
        "+",
        "1..2",
        "1-2",
        "1a",
        "nan",
        "inf",
        "0x10",
        "1,000",
        "1e",
        "1e+",
        "e5",
        "1 2",
        "--1",
        "。5",
        "922337203685477.5808",
        "-922337203685477.58085001",
        "1" + std::string(40, '0'),
        "1e999999999999999999",
        "1e19",
    };
    for (const auto& text : rejected) EXPECT_FALSE(ParseFixed4(text).has_value()) << text;
}

TEST(Fixed4, ArithmeticIsExactAndReportsOverflow)
{
    const Fixed4 max = Fixed4::FromUnits(kMaxUnits), min = Fixed4::FromUnits(kMinUnits);
    const Fixed4 unit = Fixed4::FromUnits(1), half = Fixed4::FromUnits(5000);
    EXPECT_FALSE(Add(max, unit).has_value());
    EXPECT_FALSE(Subtract(min, unit).has_value());
    EXPECT_EQ(Add(max, Fixed4::FromUnits(-1))->Units(), kMaxUnits - 1);
    EXPECT_FALSE(Multiply(max, Fixed4::FromUnits(20000)).has_value());
    EXPECT_FALSE(Multiply(min, Fixed4::FromUnits(-10000)).has_value());
    EXPECT_EQ(Multiply(min, Fixed4::FromUnits(10000))->Units(), kMinUnits);
    // The product is rounded to four places, halves to even.
    EXPECT_EQ(Multiply(unit, half)->Units(), 0);
    EXPECT_EQ(Multiply(Fixed4::FromUnits(3), half)->Units(), 2);
    EXPECT_EQ(Multiply(Fixed4::FromUnits(-3), half)->Units(), -2);
    EXPECT_EQ(Multiply(*ParseFixed4("1.5"), *ParseFixed4("-2.25"))->Units(), -33750);
    EXPECT_FALSE(Fixed4::FromInteger(922337203685478).has_value());
    EXPECT_EQ(Fixed4::FromInteger(-3)->Units(), -30000);
}

TEST(Fixed4, FromDoubleRoundsTheExactBinaryValueHalvesToEven)
{
    // 1/32 and 3/32 are exact halves of a ten-thousandth.
    EXPECT_EQ(Fixed4::FromDouble(0.03125)->Units(), 312);
    EXPECT_EQ(Fixed4::FromDouble(0.09375)->Units(), 938);
    EXPECT_EQ(Fixed4::FromDouble(-0.03125)->Units(), -312);
    // 0.00005 as a double lies just above the half.
    EXPECT_EQ(Fixed4::FromDouble(0.00005)->Units(), 1);
    EXPECT_EQ(Fixed4::FromDouble(0.04999999999999982)->Units(), 500);
    EXPECT_EQ(Fixed4::FromDouble(5e-324)->Units(), 0);
    EXPECT_EQ(Fixed4::FromDouble(-922337203685477.5)->Units(), -9223372036854775000);
    EXPECT_FALSE(Fixed4::FromDouble(1e15).has_value());
    EXPECT_FALSE(Fixed4::FromDouble(std::nan("")).has_value());
    EXPECT_FALSE(Fixed4::FromDouble(-std::numeric_limits<double>::infinity()).has_value());
}

TEST(FixedText, PlainDecimalWithoutTrailingZeros)
{
    const std::pair<std::int64_t, std::string> cases[] = {
        {0, "0"},
        {5000, ".5"},
        {-2500, "-.25"},
        {14142, "1.4142"},
        {120000, "12"},
        {-10, "-.001"},
        {kMinUnits, "-922337203685477.5808"},
        {kMaxUnits, "922337203685477.5807"},
    };
    for (const auto& [units, text] : cases) EXPECT_EQ(FixedText(Fixed4::FromUnits(units)), text) << units;
}

TEST(LeadingNumber, ReadsThePrefixThatIsANumber)
{
    const std::pair<std::string, double> cases[] = {
        {"2.101", 2.101}, {"  -3.5abc", -3.5},
        {".5", 0.5},      {"1e3x", 1000},
        {"1e", 1},        {"2E-", 2},
        {"1.2.3", 1.2},   {"12.70    63.65", 12.7},
        {"", 0},          {"-", 0},
        {".", 0},         {"abc", 0},
        {"—————", 0},     {"∝", 0},
        {"1e-400", 0},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(LeadingNumber(text), value) << text;
    EXPECT_EQ(LeadingNumber("-1e400"), -std::numeric_limits<double>::infinity());
}

TEST(ParseDouble, ReadsTheWholeTextOnly)
{
    EXPECT_EQ(ParseDouble(" 1.5E-05 "), 1.5e-5);
    EXPECT_EQ(ParseDouble("+.5"), 0.5);
    EXPECT_EQ(ParseDouble("-.5"), -0.5);
    EXPECT_EQ(ParseDouble("1e-400"), 0.0);
    EXPECT_EQ(ParseDouble("0." + std::string(3000, '3')), 1.0 / 3);
    for (const char* text : {"", "1e400", "abc", "1,5", "1.5x", "nan", "-inf", "1e", "."})
        EXPECT_FALSE(ParseDouble(text).has_value()) << text;
}

} // namespace
} // namespace korvanta::stats
