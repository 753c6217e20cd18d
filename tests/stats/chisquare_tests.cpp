#include "stats/chisquare.h"

#include <gtest/gtest.h>

#include <string>

namespace korvanta::stats {
namespace {

TEST(ComputeTableTotals, MarginsAndGrandTotal)
{
    const std::pair<TableCells, TableTotals> cases[] = {
        {{"30", "10", "15", "25"}, {"45", "35", "40", "40", "80"}},
        {{"12", "", "", ""}, {"12", "0", "12", "0", "12"}},
        {{"", "", "", ""}, {"0", "0", "0", "0", "0"}},
        {{"2.5", "-", "abc", "1."}, {"2.5", "1", "2.5", "1", "3.5"}}, // not numbers count as 0
        {{"30000", "10000", "15000", "25000"}, {"45000", "35000", "40000", "40000", "80000"}},
    };
    for (const auto& [cells, expected] : cases) {
        const TableTotals got = ComputeTableTotals(cells);
        EXPECT_EQ(got.positive + "|" + got.negative + "|" + got.row1 + "|" + got.row2 + "|" + got.grand,
                  expected.positive + "|" + expected.negative + "|" + expected.row1 + "|" + expected.row2 + "|" +
                      expected.grand)
            << cells.a;
    }
}

TEST(JudgeChiSquare, JudgesTheTextAsShown)
{
    const std::pair<std::string, std::string_view> cases[] = {
        {"", "P > 0.05"},       {"0.0000", "P > 0.05"}, {"3.8399", "P > 0.05"},  {"3.8400", "P < 0.05"},
        {"6.6299", "P < 0.05"}, {"6.6300", "P < 0.01"}, {"11.4286", "P < 0.01"}, {"-5.0000", "P > 0.05"},
    };
    for (const auto& [shown, phrase] : cases) EXPECT_EQ(PBandText(JudgeChiSquare(shown)), phrase) << shown;
}

TEST(FourFoldChiSquare, PlainOrCorrectedWithTheSmallSampleWarning)
{
    constexpr Verdict warning = Verdict::NotSuitable;
    const std::pair<TableCells, FourFoldResult> cases[] = {
        {{"30", "10", "15", "25"}, {"22.5000", "17.5000", "22.5000", "17.5000", "80", "11.4286", Verdict::PBelow001}},
        {{"1", "19", "8", "12"}, {"4.5000", "15.5000", "4.5000", "15.5000", "40", "5.1613", Verdict::PBelow005}},
        {{"10", "5", "3", "12"}, {"6.5000", "8.5000", "6.5000", "8.5000", "30", "6.6516", warning}},
        // Totals beyond 32,767 and margin products beyond the fixed-point range.
        {{"30000", "10000", "15000", "25000"},
         {"22500.0000", "17500.0000", "22500.0000", "17500.0000", "80000", "11428.5714", Verdict::PBelow001}},
        {{"30000000", "10000000", "15000000", "25000000"},
         {"22500000.0000", "17500000.0000", "22500000.0000", "17500000.0000", "80000000", "11428571.4286",
          Verdict::PBelow001}},
        // An expected count below 1 warns even with n >= 40; |ad - bc| = 20 is below n/2,
        // so the corrected deviation stops at zero.
        {{"0", "20", "1", "30"}, {"0.3922", "19.6078", "0.6078", "30.3922", "51", "0.0000", warning}},
        // Nothing to divide by: no expected counts and no statistic.
        {{"", "", "", ""}, {"", "", "", "", "0", "", warning}},
        {{"12", "", "", ""}, {"12.0000", "0.0000", "0.0000", "0.0000", "12", "", warning}},
        {{"0", "0", "20", "30"}, {"0.0000", "0.0000", "20.0000", "30.0000", "50", "", warning}},
    };
    for (const auto& [cells, expected] : cases) {
        const FourFoldResult got = FourFoldChiSquare(cells);
        EXPECT_EQ(got.expectedA + " " + got.expectedB + " " + got.expectedC + " " + got.expectedD,
                  expected.expectedA + " " + expected.expectedB + " " + expected.expectedC + " " + expected.expectedD)
            << cells.a;
        EXPECT_EQ(got.n, expected.n) << cells.a;
        EXPECT_EQ(got.chiSquare, expected.chiSquare) << cells.a;
        EXPECT_EQ(got.verdict, expected.verdict) << cells.a;
    }
}

TEST(FourFoldChiSquare, NIsTheGrandTotalRoundedHalfToEven)
{
    const std::pair<TableCells, std::string> cases[] = {
        {{"20.5", "", "", "20"}, "40"},
        {{"21.5", "", "", "20"}, "42"},
        {{"20.4999", "", "", "20"}, "40"},
        {{"20.5001", "", "", "20"}, "41"},
    };
    for (const auto& [cells, n] : cases) {
        EXPECT_EQ(FourFoldChiSquare(cells).n, n) << cells.a;
        EXPECT_EQ(PairedChiSquare(cells).n, n) << cells.a;
    }
}

TEST(FourFoldChiSquare, SwappingRowsOrColumnsLeavesTheStatistic)
{
    const TableCells table = {"7", "23", "18", "12"};
    const std::string chi = FourFoldChiSquare(table).chiSquare;
    EXPECT_EQ(FourFoldChiSquare({table.c, table.d, table.a, table.b}).chiSquare, chi);
    EXPECT_EQ(FourFoldChiSquare({table.b, table.a, table.d, table.c}).chiSquare, chi);
    EXPECT_EQ(FourFoldChiSquare({table.a, table.c, table.b, table.d}).chiSquare, chi);
}

TEST(PairedChiSquare, CorrectedBelowFortyDiscordantPairs)
{
    const std::pair<TableCells, PairedChiSquareResult> cases[] = {
        {{"40", "25", "10", "30"}, {"105", "5.6000", Verdict::PBelow005}},
        {{"", "30", "12", ""}, {"42", "7.7143", Verdict::PBelow001}},
        {{"", "12", "30", ""}, {"42", "7.7143", Verdict::PBelow001}},
        {{"5", "20", "20", "5"}, {"50", "0.0000", Verdict::PAbove005}},
        {{"", "10", "10", ""}, {"20", "0.0000", Verdict::PAbove005}}, // the correction stops at zero
        {{"30000", "25000", "10000", "30000"}, {"95000", "6428.5714", Verdict::PBelow001}},
        // No discordant pairs: nothing to divide by.
        {{"40", "", "0", "30"}, {"70", "", Verdict::PAbove005}},
    };
    for (const auto& [cells, expected] : cases) {
        const PairedChiSquareResult got = PairedChiSquare(cells);
        EXPECT_EQ(got.n, expected.n) << cells.b << "," << cells.c;
        EXPECT_EQ(got.chiSquare, expected.chiSquare) << cells.b << "," << cells.c;
        EXPECT_EQ(got.verdict, expected.verdict) << cells.b << "," << cells.c;
    }
}

} // namespace
} // namespace korvanta::stats
