// The exact core against independent references: the panels' figures for
// data whose precision the four-decimal fixed point and one-pass double sums
// used to lose (tools/reference/exact_panels.py computed them with Python's
// fractions and 60-digit decimals), the reference cases shifted far from
// zero, running sums against fresh ones, and the rounding of exact figures.
#include "stats/chisquare.h"
#include "stats/detailed.h"
#include "stats/exactfigures.h"
#include "stats/ttests.h"

#include "cells.h"
#include "reference_csv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

namespace korvanta::stats {
namespace {

using testing::Cells;
using testing::CellTexts;
using testing::ReadReference;

std::vector<std::string> Split(const std::string& joined)
{
    std::vector<std::string> texts;
    std::stringstream in(joined);
    for (std::string text; std::getline(in, text, ' ');) texts.push_back(text);
    return texts;
}

TEST(ExactPanels, CorrelationOfDataTheFixedPointLost)
{
    struct Case {
        const char* name;
        std::string x, y;
        std::string r, tr, equation;
    };
    const Case cases[] = {
        {"tiny units", "0.00124 0.00131 0.00118 0.00142 0.00127 0.00135",
         "0.00109 0.00115 0.00112 0.00121 0.00108 0.00119", "0.8135", "2.7978", "Y=0.0005+0.5091X"},
        {"three-decimal lab values", "0.712 0.854 1.023 0.931 1.187 0.768 0.899 1.104 0.823 0.975 1.056 0.741",
         "0.695 0.880 0.998 0.905 1.213 0.802 0.851 1.142 0.788 1.012 1.031 0.733", "0.9815", "16.1972",
         "Y=-0.0472+1.0490X"},
        {"near 100000, three decimals", "100000.123 100000.456 100000.789 100001.012 100001.345 100001.678",
         "100000.201 100000.398 100000.902 100000.955 100001.420 100001.603", "0.9893", "13.5920",
         "Y=4836.9001+0.9516X"},
        {"near 250000, two decimals", "250000.12 250001.37 250002.55 250003.91 250005.08",
         "249998.40 250000.02 250001.11 250002.87 250004.05", "0.9988", "35.3577", "Y=-34137.0635+1.1365X"},
    };
    for (const Case& c : cases) {
        const CorrelationResult got = CorrelationRegression(Cells(Split(c.x)), Cells(Split(c.y)));
        EXPECT_EQ(got.r, c.r) << c.name;
        EXPECT_EQ(got.tr, c.tr) << c.name;
        EXPECT_EQ(got.equation, c.equation) << c.name;
    }
}

TEST(ExactPanels, FiveDecimalSamplesUseTheUnroundedSummaries)
{
    const auto first = Cells(Split("1.23456 1.23478 1.23461 1.23490 1.23467"));
    const auto second = Cells(Split("1.23412 1.23430 1.23405 1.23441 1.23419"));
    const ColumnSummary a = SummariseColumn(first), b = SummariseColumn(second);
    EXPECT_EQ(a.meanShown + " " + a.sdShown + " " + b.meanShown + " " + b.sdShown, "1.2347 0.0001 1.2342 0.0001");

    // The boxes show four decimals; the test reads the figures behind them
    // only where it is told the box still holds the summary's text.
    TwoSampleInput input{a.meanShown, a.sdShown, a.countText, b.meanShown, b.sdShown, b.countText};
    const std::string asTyped = TwoSampleTTest(input).resultLine;
    input.exactMean[0] = &a.figures->mean;
    input.exactMean[1] = &b.figures->mean;
    input.exactVariance[0] = &a.figures->variance;
    input.exactVariance[1] = &b.figures->variance;
    EXPECT_EQ(TwoSampleTTest(input).resultLine, "T = 5.5298  P < 0.001");
    EXPECT_EQ(asTyped, "T = 7.9057  P < 0.001"); // 0.0005 / sqrt(0.0001^2 * 2/5): the four decimals mislead

    const PairedTResult paired = PairedTTest(first, Cells(Split("1.23412 1.23430 1.23405 1.23441 1.23469")));
    EXPECT_EQ(paired.meanDifference + " " + paired.sdDifference + " " + paired.resultLine,
              "0.0004 0.0002 T = 3.7390  P < 0.05");
}

// A column's texts with offset added to every number, exactly.
std::vector<std::string> Shifted(const std::vector<std::string>& texts, const ExactDecimal& offset)
{
    std::vector<std::string> shifted;
    for (const auto& text : texts) {
        const auto value = ParseExact(text);
        shifted.push_back(value ? ExactText(Add(*value, offset)) : text);
    }
    return shifted;
}

TEST(ExactPanels, ReferenceCasesShiftedFarFromZeroKeepTheirStatistics)
{
    const ExactDecimal offsets[] = {{0, 0}, {10000, 0}, {1000000, 0}};
    for (const auto& row : ReadReference("correlation.csv")) {
        const auto x = CellTexts(row.at("col1")), y = CellTexts(row.at("col2"));
        const CorrelationResult base = CorrelationRegression(Cells(x), Cells(y));
        ASSERT_FALSE(base.pairs.empty()) << row.at("case");
        for (const auto& offset : offsets) {
            const CorrelationResult got = CorrelationRegression(Cells(Shifted(x, offset)), Cells(Shifted(y, offset)));
            EXPECT_EQ(got.r + " " + got.tr, base.r + " " + base.tr) << row.at("case") << " + " << ExactText(offset);
            EXPECT_EQ(got.verdict, base.verdict) << row.at("case") << " + " << ExactText(offset);
        }
    }
    for (const auto& row : ReadReference("paired.csv")) {
        const auto first = CellTexts(row.at("col1")), second = CellTexts(row.at("col2"));
        const std::string base = PairedTTest(Cells(first), Cells(second)).resultLine;
        for (const auto& offset : offsets)
            EXPECT_EQ(PairedTTest(Cells(Shifted(first, offset)), Cells(Shifted(second, offset))).resultLine, base)
                << row.at("case") << " + " << ExactText(offset);
    }
    for (const auto& row : ReadReference("twosample.csv")) {
        if (row.at("col1").empty()) continue; // typed summaries
        const auto first = CellTexts(row.at("col1")), second = CellTexts(row.at("col2"));
        std::string base;
        for (const auto& offset : offsets) {
            const ColumnSummary a = SummariseColumn(Cells(Shifted(first, offset)));
            const ColumnSummary b = SummariseColumn(Cells(Shifted(second, offset)));
            TwoSampleInput input{a.meanShown, a.sdShown, a.countText, b.meanShown, b.sdShown, b.countText};
            input.exactMean[0] = &a.figures->mean;
            input.exactMean[1] = &b.figures->mean;
            input.exactVariance[0] = &a.figures->variance;
            input.exactVariance[1] = &b.figures->variance;
            const std::string line = TwoSampleTTest(input).resultLine;
            if (base.empty()) base = line;
            EXPECT_EQ(line, base) << row.at("case") << " + " << ExactText(offset);
        }
    }
}

TEST(ExactSums, RunningSumsEqualFreshOnesAfterAnyEdits)
{
    // Values of every size a cell holds, including 22 decimals and the edge of
    // the range, where products leave 128 bits.
    const std::vector<std::string> pool = {"0",
                                           "1",
                                           "-2.5",
                                           "0.0001",
                                           "123.456",
                                           "-99999.99",
                                           "0.0000000000000000000001",
                                           "922337203685477.5807",
                                           "-922337203685477.5",
                                           "3.1415926535897932384626",
                                           "250000.12",
                                           "1e-3",
                                           ""};
    std::mt19937 random(20261208);
    std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1), row(0, 19);
    std::vector<CellValue> x(20), y(20);
    PairMoments running;
    ColumnMoments runningX;
    for (int edit = 0; edit < 2000; ++edit) {
        const std::size_t k = row(random);
        std::vector<CellValue>& column = edit % 2 ? y : x;
        running.Add(x[k], y[k], -1);
        if (&column == &x) runningX.Add(x[k], -1);
        column[k] = ReadCell(pool[pick(random)]);
        running.Add(x[k], y[k], 1);
        if (&column == &x) runningX.Add(x[k], 1);
    }
    const PairMoments fresh = MomentsOf(x, y);
    EXPECT_EQ(running.n, fresh.n);
    EXPECT_EQ(running.x.Value(), fresh.x.Value());
    EXPECT_EQ(running.yy.Value(), fresh.yy.Value());
    EXPECT_EQ(running.xy.Value(), fresh.xy.Value());
    EXPECT_EQ(runningX.squares.Value(), MomentsOf(x).squares.Value());
    // And against a sum formed without the running sums' code.
    Rational sum = 0;
    for (const CellValue& cell : x)
        if (cell.IsNumber()) sum += ToRational(cell.exact);
    EXPECT_EQ(runningX.sum.Value(), sum);
}

TEST(ExactSums, LeaveOneHundredTwentyEightBitsWithoutLosingATerm)
{
    // Each square fits in 128 bits (just below 2^126); three of them do not. Then terms of other
    // scales and signs, and taking them out again.
    const std::vector<std::string> terms = {"922337203685477.5807",
                                            "-922337203685477.5807",
                                            "922337203685477.5807",
                                            "0.5",
                                            "1e-22",
                                            "-922337203685477.5",
                                            "3"};
    ExactSum squares, sum;
    Rational expectedSquares = 0, expectedSum = 0;
    for (const auto& text : terms) {
        const ExactDecimal value = *ParseExact(text);
        squares.AddProduct(value, value, 1);
        sum.Add(value, 1);
        expectedSquares += ToRational(value) * ToRational(value);
        expectedSum += ToRational(value);
        EXPECT_EQ(squares.Value(), expectedSquares) << text;
        EXPECT_EQ(sum.Value(), expectedSum) << text;
    }
    for (const auto& text : terms) {
        const ExactDecimal value = *ParseExact(text);
        squares.AddProduct(value, value, -1);
        expectedSquares -= ToRational(value) * ToRational(value);
        EXPECT_EQ(squares.Value(), expectedSquares) << text;
    }
    EXPECT_EQ(squares.Value(), 0);
}

TEST(ExactValues, TextsKeepTheirDigits)
{
    const std::pair<std::string, std::string> cases[] = {
        {"1.50", "1.5"},
        {"-0.00124", "-.00124"},
        {"1e3", "1000"},
        {"2.5E-2", ".025"},
        {"0.12345678901234567890123", ".1234567890123456789012"}, // 22 places, half to even
        {"0.12345678901234567890125", ".1234567890123456789012"},
        {"0.12345678901234567890135", ".1234567890123456789014"},
        {"1e-30", "0"},
        {"-0", "0"},
        {"922337203685477.5807", "922337203685477.5807"},
    };
    for (const auto& [text, exact] : cases) {
        const auto value = ParseExact(text);
        ASSERT_TRUE(value) << text;
        EXPECT_EQ(ExactText(*value), exact) << text;
    }
    for (const char* refused : {"", "-", "1..2", "1e15", "nan", "0x10"}) EXPECT_FALSE(ParseExact(refused)) << refused;
}

// A cell's three forms, read in one pass for short plain texts and by the
// separate conversions past 15 digits or with an exponent: both ways must
// give the exact text, the four-place units (halves to even) and the
// nearest double (the compiler's reading of the same literal).
TEST(ExactValues, CellsHoldTheirTextsThreeWays)
{
    struct Case {
        const char* text;
        const char* exact;
        std::int64_t units;
        double number;
    };
    const Case cases[] = {
        {"12", "12", 120000, 12},
        {" -3.750 ", "-3.75", -37500, -3.75},
        {"+.5", ".5", 5000, 0.5},
        {"5.", "5", 50000, 5},
        {"0.00005", ".00005", 0, 0.00005},
        {"0.00015", ".00015", 2, 0.00015},
        {"-0.00025", "-.00025", -2, -0.00025},
        {"-0.000", "0", 0, 0},
        {"0.1", ".1", 1000, 0.1},
        {"0.123456789012345", ".123456789012345", 1235, 0.123456789012345},
        {"99999999999999.9", "99999999999999.9", 999999999999999000, 99999999999999.9},
        {"8191.25", "8191.25", 81912500, 8191.25},
        {"123456789012345", "123456789012345", 1234567890123450000, 123456789012345},
        {"0.1234567890123456", ".1234567890123456", 1235, 0.1234567890123456},
        {"9007199254740993e-1", "900719925474099.3", 9007199254740993000, 900719925474099.3},
        {"2.5E-2", ".025", 250, 0.025},
    };
    for (const Case& c : cases) {
        const CellValue cell = ReadCell(c.text);
        ASSERT_TRUE(cell.IsNumber()) << c.text;
        EXPECT_EQ(ExactText(cell.exact), c.exact) << c.text;
        EXPECT_EQ(cell.value.Units(), c.units) << c.text;
        EXPECT_EQ(cell.number, c.number) << c.text;
        if (c.number == 0) {
            EXPECT_FALSE(std::signbit(cell.number)) << c.text; // no negative zero
        }
    }
    EXPECT_EQ(ReadCell("").kind, CellValue::Kind::Empty);
    for (const char* text : {"-", ".", "1..2", "1e15", "1 2", "0x10", "999999999999999"})
        EXPECT_EQ(ReadCell(text).kind, CellValue::Kind::NotANumber) << text;
}

TEST(ExactValues, FourDecimalsRoundTheExactFigureOnce)
{
    const std::pair<Rational, std::string> plain[] = {
        {Rational(123465, 100000), "1.2347"}, // a half goes away from zero
        {Rational(-123465, 100000), "-1.2347"},
        {Rational(-4, 100000), "0.0000"}, // no sign on a zero
        {Rational(2, 3), "0.6667"},
        {Rational(BigInt("12345678901234565"), 100000), "123456789012.3457"}, // past 15 digits
    };
    for (const auto& [value, text] : plain) EXPECT_EQ(FourDecimals(value), text) << text;
    const std::pair<Rational, std::string> roots[] = {
        {Rational(2), "1.4142"},
        {Rational(10002000100LL, 10000000000LL), "1.0001"},                 // 1.0001^2
        {Rational(BigInt("10001000025"), BigInt("10000000000")), "1.0001"}, // 1.00005^2: a half
        {Rational(BigInt("10001000024"), BigInt("10000000000")), "1.0000"}, // just below it
        {Rational(0), "0.0000"},
    };
    for (const auto& [square, text] : roots) EXPECT_EQ(FourDecimalsOfRoot(square), text) << text;
}

TEST(ContinuityCorrections, NeverGoBelowZero)
{
    EXPECT_EQ(FourFoldChiSquare({"2", "18", "2", "18"}).chiSquare, "0.0000");
    EXPECT_EQ(FourFoldChiSquare({"3", "17", "2", "18"}).chiSquare, "0.0000"); // |ad - bc| = 20 = n/2
    EXPECT_EQ(PairedChiSquare({"", "10", "10", ""}).chiSquare, "0.0000");
    EXPECT_EQ(PairedChiSquare({"", "11", "10", ""}).chiSquare, "0.0000");
    EXPECT_EQ(PairedChiSquare({"", "12", "10", ""}).chiSquare, "0.0455"); // 1 / 22
    const FourFoldDetails table = FourFoldDetail({"2", "18", "2", "18"});
    EXPECT_EQ(table.yates.value, 0.0);
    const PairedTableDetails paired = PairedTableDetail({"", "10", "10", ""});
    EXPECT_EQ(paired.mcnemarCc.value, 0.0);
}

} // namespace
} // namespace korvanta::stats
