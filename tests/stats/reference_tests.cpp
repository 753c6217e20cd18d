// Every figure of the detailed results against R (tools/reference/make_reference.R),
// to 1e-6 relative, with an absolute allowance of 1e-10 for figures at zero.
//
// Where the methods are not R's defaults the script computes the same method
// in R:
// - Spearman's P by the t approximation on n - 2 df; R's cor.test gives an
//   exact or Edgeworth P for Spearman, a method the panel's users would not
//   recognise beside the t-based Pearson P.
// - Wilcoxon signed-rank: the program forms the differences exactly in four
//   decimals; R's floating-point differences (0.3 - 0.1 != 0.2) would split
//   ties and zeros, so the script rounds them to four decimals first.
// - Two samples from typed summaries: t.test needs data, so the script makes
//   data with exactly the typed mean and SD.
// - The conditional odds ratio and its central exact interval are
//   fisher.test's, solved again over dhyper to full precision; the
//   test-based intervals and the matched odds ratio's exact interval (from
//   binom.test's) are written out in R.
// - The Cohen's d interval inverts pt(t, df, ncp) with uniroot; Hedges' g,
//   mid-P, OR/RR/RD, NNT, the paired difference and kappa are the textbook
//   formulas written out in R.
#include "stats/detailed.h"

#include "cells.h"
#include "reference_csv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace korvanta::stats {
namespace {

using testing::Cells;
using testing::CellTexts;
using testing::ReadReference;
using testing::ReferenceRow;

bool Close(double got, double expected) { return std::fabs(got - expected) <= 1e-6 * std::fabs(expected) + 1e-10; }

// Compares each figure with the column of its key; a reference column the
// list leaves out (the rank tests without raw data) must be "NA".
void ExpectFigures(const FigureList& got, const ReferenceRow& row, const std::set<std::string>& inputs)
{
    std::set<std::string> seen;
    for (const auto& [key, value] : got) {
        seen.insert(key);
        const auto column = row.find(key);
        ASSERT_NE(column, row.end()) << "no reference for " << key;
        const std::string& expected = column->second;
        if (expected == "NA") {
            EXPECT_EQ(value, "") << key;
        } else if (key == "method") {
            EXPECT_EQ(value, expected) << key;
        } else {
            ASSERT_FALSE(value.empty()) << key << " expected " << expected;
            EXPECT_PRED2(Close, std::stod(value), std::stod(expected)) << key;
        }
    }
    for (const auto& [key, value] : row) {
        if (!inputs.count(key) && !seen.count(key)) {
            EXPECT_EQ(value, "NA") << key << " missing";
        }
    }
}

TEST(DetailsAgainstR, TwoSamples)
{
    const auto rows = ReadReference("twosample.csv");
    ASSERT_GE(rows.size(), 30u);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.at("case"));
        const auto first = Cells(CellTexts(row.at("col1"))), second = Cells(CellTexts(row.at("col2")));
        const TwoSampleInput summary{row.at("x1"), row.at("s1"), row.at("n1"),
                                     row.at("x2"), row.at("s2"), row.at("n2")};
        ExpectFigures(Figures(TwoSampleDetail(summary, first, second)), row,
                      {"case", "x1", "s1", "n1", "x2", "s2", "n2", "col1", "col2"});
    }
}

TEST(DetailsAgainstR, PairedColumns)
{
    const auto rows = ReadReference("paired.csv");
    ASSERT_GE(rows.size(), 30u);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.at("case"));
        const auto first = Cells(CellTexts(row.at("col1"))), second = Cells(CellTexts(row.at("col2")));
        ExpectFigures(Figures(PairedDetail(first, second)), row, {"case", "col1", "col2"});
    }
}

TEST(DetailsAgainstR, CorrelationAndRegression)
{
    const auto rows = ReadReference("correlation.csv");
    ASSERT_GE(rows.size(), 30u);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.at("case"));
        const auto x = Cells(CellTexts(row.at("col1"))), y = Cells(CellTexts(row.at("col2")));
        ExpectFigures(Figures(CorrelationDetail(x, y)), row, {"case", "col1", "col2"});
    }
}

TEST(DetailsAgainstR, FourFoldTables)
{
    const auto rows = ReadReference("fourfold.csv");
    ASSERT_GE(rows.size(), 30u);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.at("case"));
        const TableCells cells{row.at("a"), row.at("b"), row.at("c"), row.at("d")};
        const FourFoldDetails details = FourFoldDetail(cells);
        ExpectFigures(Figures(details), row, {"case", "a", "b", "c", "d"});
        // The interval printed beside the recommended P never contradicts it.
        const OddsRatioFigures odds = RecommendedOddsRatio(details);
        const Figure p = RecommendedP(details);
        if (p.Has() && odds.ci.low.Has()) {
            EXPECT_EQ(odds.ci.low.value > 1 || odds.ci.high.value < 1, p.value < 0.05);
        }
    }
}

TEST(DetailsAgainstR, PairedTables)
{
    const auto rows = ReadReference("pairedtable.csv");
    ASSERT_GE(rows.size(), 30u);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.at("case"));
        const TableCells cells{row.at("a"), row.at("b"), row.at("c"), row.at("d")};
        const PairedTableDetails details = PairedTableDetail(cells);
        ExpectFigures(Figures(details), row, {"case", "a", "b", "c", "d"});
        const Interval& ci = details.matchedOrExactCi;
        if (ci.low.Has()) {
            EXPECT_EQ(ci.low.value > 1 || ci.high.value < 1, details.exactP.value < 0.05);
        }
    }
}

// The driver's entry point dispatches on the mode with the same figures.
TEST(DetailsAgainstR, DetailFiguresFollowsTheMode)
{
    const auto row = ReadReference("fourfold.csv").front();
    DetailsInput input;
    input.table = {row.at("a"), row.at("b"), row.at("c"), row.at("d")};
    ExpectFigures(DetailFigures(TestMode::FourFold, input), row, {"case", "a", "b", "c", "d"});
    EXPECT_EQ(DetailFigures(TestMode::PairedChiSquare, input).front().first, "mcnemar");
    EXPECT_TRUE(DetailFigures(TestModeFromIndex(5), input).empty());
    EXPECT_TRUE(DetailFigures(TestModeFromIndex(-1), input).empty());
}

} // namespace
} // namespace korvanta::stats
