#include "stats/numbertext.h"
#include "stats/ttests.h"

#include "cells.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvanta::stats {
namespace {

using testing::Cells;
using testing::CellsOf;

// ----- Two-sample t-test -----

struct TwoSampleCase {
    TwoSampleInput input;
    TwoSampleResult expected;
};

void ExpectPanel(const TwoSampleResult& got, const TwoSampleResult& expected, const std::string& label)
{
    EXPECT_EQ(got.t05, expected.t05) << label;
    EXPECT_EQ(got.t01, expected.t01) << label;
    EXPECT_EQ(got.t001, expected.t001) << label;
    EXPECT_EQ(got.resultLine, expected.resultLine) << label;
}

TEST(TwoSampleTTest, ExamplesAndTheSwappedGroups)
{
    const TwoSampleCase cases[] = {
        {{"10", "2", "10", "12", "2", "10"}, {"2.101", "2.878", "3.922", "T = 2.2361  P < 0.05"}},
        {{"10", "2", "10", "13", "2", "10"}, {"2.101", "2.878", "3.922", "T = 3.3541  P < 0.01"}},
        {{"10", "2", "10", "15", "2", "10"}, {"2.101", "2.878", "3.922", "T = 5.5902  P < 0.001"}},
        {{"10", "2", "10", "11", "2", "10"}, {"2.101", "2.878", "3.922", "T = 1.1180  P > 0.05"}},
        {{"10", "2", "10", "10", "2", "10"}, {"2.101", "2.878", "3.922", "T = 0.0000  P > 0.05"}},
        {{"5.2", "1.1", "12", "4.1", "1.3", "15"}, {"2.060", "2.787", "3.725", "T = 2.3356  P < 0.05"}},
        {{"10", "2", "600", "10.3", "2", "600"}, {"1.960", "2.576", "3.291", "T = 2.5981  P < 0.01"}},
        // A negative standard deviation acts as its absolute value; fractional counts stay.
        {{"10", "-2", "10", "12", "2", "10"}, {"2.101", "2.878", "3.922", "T = 2.2361  P < 0.05"}},
        {{" 10 ", "2", "1.5", "12", "2", "1.5"}, {"12.71", "63.66", "636.6", "T = 0.8660  P > 0.05"}},
    };
    for (const auto& [in, expected] : cases) {
        const std::string label = std::string(in.x1) + " vs " + std::string(in.x2);
        ExpectPanel(TwoSampleTTest(in), expected, label);
        ExpectPanel(TwoSampleTTest({in.x2, in.s2, in.n2, in.x1, in.s1, in.n1}), expected, label + " swapped");
    }
}

TEST(TwoSampleTTest, NoResultWithoutAComputableStatistic)
{
    const TwoSampleInput cases[] = {
        {"", "2", "10", "12", "2", "10"}, // a box still empty
        {"10", "2", "10", "12", "2", ""},
        {"abc", "2", "10", "12", "2", "10"}, // not numbers
        {"10", "-", "10", "12", "2", "10"},
        {"10", "2", ".", "12", "2", "10"},
        {"10", "0", "10", "12", "0", "10"},                            // no spread: zero standard error
        {"10", "2", "1", "12", "2", "1"},                              // df 0
        {"10", "2", "0.75", "12", "2", "0.75"},                        // df below 1 has no table row
        {"10", "2", "0", "12", "2", "3"},                              // a count of zero divides by zero
        {"900000000000000", "2", "10", "-900000000000000", "2", "10"}, // X1 - X2 overflows
        {"10", "2", "900000000000000", "12", "2", "900000000000000"},  // N1 + N2 overflows
    };
    for (const auto& in : cases) {
        const auto got = TwoSampleTTest(in);
        EXPECT_TRUE(got.t05.empty() && got.t01.empty() && got.t001.empty() && got.resultLine.empty())
            << in.x1 << " " << in.s1 << " " << in.n1 << " " << in.x2 << " " << in.s2 << " " << in.n2;
    }
}

// ----- Paired t-test -----

TEST(PairedTTest, ExamplesAndTheSwappedColumns)
{
    struct Case {
        std::vector<std::string> first, second;
        PairedTResult expected;
    };
    const Case cases[] = {
        {{"10", "12", "9", "14", "11"},
         {"8", "9", "9", "10", "8"},
         {"5", "2.4000", "1.5166", "2.776", "4.604", "8.610", "T = 3.5386  P < 0.05"}},
        {{"5", "7"}, {"3", "4"}, {"2", "2.5000", "0.7071", "12.71", "63.66", "636.6", "T = 5.0000  P > 0.05"}},
        // Rows with an empty cell or a text that is not a number are left out.
        {{"10", "", "12", "9", "14", "11", "-", "3", "1..2"},
         {"8", "7", "9", "9", "10", "8", "4", "", "5"},
         {"5", "2.4000", "1.5166", "2.776", "4.604", "8.610", "T = 3.5386  P < 0.05"}},
    };
    for (const auto& c : cases) {
        for (bool swapped : {false, true}) {
            const auto first = Cells(swapped ? c.second : c.first), second = Cells(swapped ? c.first : c.second);
            const PairedTResult got = PairedTTest(first, second);
            EXPECT_EQ(got.pairs, c.expected.pairs);
            EXPECT_EQ(got.meanDifference, c.expected.meanDifference);
            EXPECT_EQ(got.sdDifference, c.expected.sdDifference);
            EXPECT_EQ(got.t05 + got.t01 + got.t001, c.expected.t05 + c.expected.t01 + c.expected.t001);
            EXPECT_EQ(got.resultLine, c.expected.resultLine);
        }
    }
}

TEST(PairedTTest, EmptyPanelWithoutSpreadOrPairs)
{
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"5", "7"}, {"3", "5"}}, // equal differences: Sd = 0
        // Equal large differences, whose sums leave a spurious spread in double.
        {{"99999.9999", "199999.9999", "299999.9999"}, {"0", "100000", "200000"}},
        {{"5"}, {"3"}},                   // one pair
        {{"", "5", "-"}, {"1", "", "2"}}, // no pair at all
    };
    for (const auto& [first, second] : cases) {
        const PairedTResult got = PairedTTest(Cells(first), Cells(second));
        EXPECT_EQ(got.pairs + got.meanDifference + got.sdDifference + got.t05 + got.t01 + got.t001 + got.resultLine, "")
            << first[0];
    }
}

TEST(PairedTTest, DifferencesOfValuesAtTheEdgeOfTheRange)
{
    // Exact sums have no overflow: 900000000000001 and 899999999999999.
    const PairedTResult got = PairedTTest(Cells({"900000000000000", "900000000000000"}), Cells({"-1", "1"}));
    EXPECT_EQ(got.pairs + " " + got.meanDifference + " " + got.sdDifference, "2 900000000000000.0000 1.4142");
    EXPECT_EQ(got.resultLine, "T = 900000000000000.0000  P < 0.001");
}

TEST(PairedTTest, PairCountsFromTheThousandRowOn)
{
    const auto first = CellsOf(1002, [](int k) { return std::to_string(k % 7); });
    const auto second = CellsOf(1002, [](int k) { return std::to_string(k % 3); });
    const auto thousandPairs = std::span(first).first(1001);
    EXPECT_EQ(PairedTTest(thousandPairs, second).t05, "1.962"); // df 1000
    EXPECT_EQ(PairedTTest(first, second).t05, "1.960");         // df 1001: infinity row
    EXPECT_EQ(PairedTTest(first, second).pairs, "1002");
}

// ----- Correlation and regression -----

TEST(CorrelationRegression, ExamplesAndPerfectLines)
{
    struct Case {
        std::vector<std::string> x, y;
        CorrelationResult expected;
    };
    const Case cases[] = {
        {{"1", "2", "3", "4", "5"},
         {"2.1", "3.9", "6.2", "7.8", "10.1"},
         {"5", "0.9987", "33.3213", "3.182", "5.841", "12.92", Verdict::PBelow0001, "Y=0.0500+1.9900X"}},
        {{"2", "4", "6", "8"},
         {"9", "7", "8", "3"},
         {"4", "-0.8345", "2.1418", "4.303", "9.925", "31.60", Verdict::PAbove005, "Y=11.0000-0.8500X"}},
        {{"1", "2", "3"},
         {"2", "4", "6"},
         {"3", "1.0000", "", "12.71", "63.66", "636.6", Verdict::PerfectPositive, "Y=0.0000+2.0000X"}},
        {{"1", "2", "3"},
         {"6", "4", "2"},
         {"3", "-1.0000", "", "12.71", "63.66", "636.6", Verdict::PerfectNegative, "Y=8.0000-2.0000X"}},
        {{"1", "2", "3"},
         {".5", "2.5", "4.5"},
         {"3", "1.0000", "", "12.71", "63.66", "636.6", Verdict::PerfectPositive, "Y=-1.5000+2.0000X"}},
        // Rounding leaves r just above 1: still a perfect line, not "P > 0.05".
        {{"0.1", "0.2", "0.3"},
         {"1.2", "1.9", "2.6"},
         {"3", "1.0000", "", "12.71", "63.66", "636.6", Verdict::PerfectPositive, "Y=0.5000+7.0000X"}},
        // All Y equal: the flat line through the mean of Y, r undefined.
        {{"1", "2", "3"},
         {"4", "4", "4"},
         {"3", "", "0.0000", "12.71", "63.66", "636.6", Verdict::PAbove005, "Y=4.0000+0.0000X"}},
        // Rows with an empty cell or a text that is not a number are left out.
        {{"2", "", "4", "6", "-", "8", "5"},
         {"9", "1", "7", "8", "2", "3", ""},
         {"4", "-0.8345", "2.1418", "4.303", "9.925", "31.60", Verdict::PAbove005, "Y=11.0000-0.8500X"}},
    };
    for (const auto& c : cases) {
        const CorrelationResult got = CorrelationRegression(Cells(c.x), Cells(c.y));
        const std::string label = c.y[0] + "," + c.y[1];
        EXPECT_EQ(got.pairs, c.expected.pairs) << label;
        EXPECT_EQ(got.r, c.expected.r) << label;
        EXPECT_EQ(got.tr, c.expected.tr) << label;
        EXPECT_EQ(got.t05 + " " + got.t01 + " " + got.t001,
                  c.expected.t05 + " " + c.expected.t01 + " " + c.expected.t001)
            << label;
        EXPECT_EQ(got.verdict, c.expected.verdict) << label;
        EXPECT_EQ(got.equation, c.expected.equation) << label;
    }
}

TEST(CorrelationRegression, EmptyPanelWithoutALine)
{
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"1", "2"}, {"3", "5"}},           // two pairs only
        {{"1", "1", "1"}, {"2", "4", "6"}}, // all X equal: no slope
        {{"0.1", "0.1", "0.1", "0.1"}, {"1", "2", "3", "5"}},
        {{"1", "2", "3", ""}, {"1", "", "3", "4"}},
    };
    for (const auto& [x, y] : cases) {
        const CorrelationResult got = CorrelationRegression(Cells(x), Cells(y));
        EXPECT_EQ(got.pairs + got.r + got.tr + got.t05 + got.t01 + got.t001 + got.equation, "") << x[0];
        EXPECT_EQ(got.verdict, Verdict::None) << x[0];
    }
}

TEST(CorrelationRegression, ProductsPastSixtyFourBits)
{
    const CorrelationResult got = CorrelationRegression(Cells({"1", "2", "900000000000000"}), Cells({"1", "2", "3"}));
    EXPECT_EQ(got.r + " " + got.tr + " " + got.equation, "0.8660 1.7321 Y=1.5000+0.0000X");
}

TEST(CorrelationRegression, DegreesOfFreedomAreNMinusTwo)
{
    const auto x = CellsOf(1003, [](int k) { return std::to_string(k); });
    const auto y = CellsOf(1003, [](int k) { return std::to_string((k * 37) % 101); });
    EXPECT_EQ(CorrelationRegression(std::span(x).first(1002), y).t05, "1.962"); // df 1000
    EXPECT_EQ(CorrelationRegression(x, y).t05, "1.960");                        // df 1001
}

TEST(CorrelationRegression, LargeStoresPastTheFixedPointProductOfSums)
{
    // 32,766 rows of values near 500: sum x times sum y passes the fixed-point
    // range, yet the data are ordinary and the panel must show them. The
    // figures are exact (tools/reference/exact_panels.py, Python fractions).
    constexpr int rows = 32766;
    const auto x = CellsOf(rows, [](int k) { return std::to_string(k + 1); });
    const auto y = CellsOf(rows, [](int k) { return std::to_string((k * 7) % 1000) + ".5"; });
    const auto result = CorrelationRegression(x, y);
    EXPECT_EQ(result.pairs, "32766");
    EXPECT_EQ(result.r + " " + result.tr + " " + result.equation, "0.0014 0.2608 Y=498.7711+0.0000X");
    EXPECT_EQ(result.t05, "1.960");
    EXPECT_EQ(result.verdict, Verdict::PAbove005);
}

// ----- Column summary -----

TEST(SummariseColumn, CountMeanAndSd)
{
    // The three texts the summary boxes show.
    struct Texts {
        std::string meanText, sdText, countText;
    };
    struct Case {
        std::vector<std::string> cells;
        Texts expected;
    };
    const Case cases[] = {
        {{"1", "2", "3", "", "", "", "", "", ""}, {"2", "1", "3"}},
        {{"4", "", "6"}, {"5", "1.4142", "2"}},
        {{"1.23456"}, {"1.23456", "0", "1"}}, // at the precision typed
        {{"5"}, {"5", "0", "1"}},
        {{"0.1", "0.1", "0.1"}, {".1", "0", "3"}},
        // Equal large values, whose sums leave a spurious spread in double.
        {std::vector<std::string>(5, "123456.7891"), {"123456.7891", "0", "5"}},
        {{"", "", ""}, {"", "0", "0"}},
        {{}, {"", "0", "0"}},
        // Texts that are not numbers are skipped like empty cells.
        {{"-", "4", "1..2", ".", "6", "-."}, {"5", "1.4142", "2"}},
        {{"0.5", "-1.5"}, {"-.5", "1.4142", "2"}},
        // Exact sums have no overflow.
        {{"900000000000000", "900000000000000"}, {"900000000000000", "0", "2"}},
    };
    for (const auto& c : cases) {
        const ColumnSummary got = SummariseColumn(Cells(c.cells));
        const std::string label = c.cells.empty() ? "(none)" : c.cells[0];
        EXPECT_EQ(got.meanText, c.expected.meanText) << label;
        EXPECT_EQ(got.sdText, c.expected.sdText) << label;
        EXPECT_EQ(got.countText, c.expected.countText) << label;
    }
}

} // namespace
} // namespace korvanta::stats
