// The detailed results beyond the reference values: the driver's keys, the
// figures that cannot be computed and why, the exact rank distributions at
// known points, and Fisher's test on tables far too large for R's method.
#include "stats/detailed.h"
#include "stats/fisherexact.h"
#include "stats/ranktests.h"
#include "stats/shapirowilk.h"

#include "cells.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace korvanta::stats {
namespace {

using testing::Cells;
using testing::CellsOf;

std::string Keys(const FigureList& list)
{
    std::string keys;
    for (const auto& [key, value] : list) keys += (keys.empty() ? "" : " ") + key;
    return keys;
}

TEST(DetailFigures, KeysInPrintOrderForEveryMode)
{
    const auto x = Cells({"1", "2", "4", "7"}), y = Cells({"2", "2", "5", "9"});
    DetailsInput input;
    input.summary = {"10", "2", "10", "12", "2", "10"};
    input.table = {"30", "10", "15", "25"};
    const std::string twoSample =
        "pooled.t pooled.df pooled.p welch.t welch.df welch.p var.F var.df1 var.df2 var.p diff pooled.ci.low "
        "pooled.ci.high welch.ci.low welch.ci.high cohen.d cohen.d.ci.low cohen.d.ci.high hedges.g";
    EXPECT_EQ(Keys(DetailFigures(TestMode::TwoSample, input)), twoSample);
    input.first = x;
    input.second = y;
    EXPECT_EQ(Keys(DetailFigures(TestMode::TwoSample, input)), twoSample + " mw.U mw.p sw1.W sw1.p sw2.W sw2.p");
    EXPECT_EQ(Keys(DetailFigures(TestMode::PairedT, input)),
              "paired.t paired.df paired.p diff ci.low ci.high dz sw.W sw.p wilcoxon.V wilcoxon.p");
    EXPECT_EQ(Keys(DetailFigures(TestMode::Correlation, input)),
              "r r.p r.ci.low r.ci.high r2 slope slope.se slope.t slope.p slope.ci.low slope.ci.high intercept "
              "intercept.se intercept.t intercept.p intercept.ci.low intercept.ci.high resid.sd spearman.rho "
              "spearman.p");
    EXPECT_EQ(Keys(DetailFigures(TestMode::FourFold, input)),
              "chi2 chi2.p yates yates.p fisher.p fisher.midp or or.ci.low or.ci.high rr rr.ci.low rr.ci.high rd "
              "rd.ci.low rd.ci.high nnt method fisher.central.p or.cmle or.cmle.ci.low or.cmle.ci.high or.chi2.ci.low "
              "or.chi2.ci.high or.yates.ci.low or.yates.ci.high");
    EXPECT_EQ(Keys(DetailFigures(TestMode::PairedChiSquare, input)),
              "mcnemar mcnemar.p mcnemar.cc mcnemar.cc.p exact.p pdiff pdiff.ci.low pdiff.ci.high mor mor.ci.low "
              "mor.ci.high kappa kappa.ci.low kappa.ci.high mor.exact.ci.low mor.exact.ci.high");
}

TEST(DetailFigures, ShortestTextReadsBack)
{
    const std::pair<Figure, std::string> cases[] = {
        {Figure::Of(0.1), "0.1"},
        {Figure::Of(-2), "-2"},
        {Figure::Of(1e-5), "1e-05"},
        {Figure::Of(-0.0), "0"},
        {Figure::Of(2.0 / 3), "0.6666666666666666"},
        {Figure::Of(NAN), ""},
        {Figure::None(Why::ZeroCell), ""},
    };
    for (const auto& [figure, text] : cases) EXPECT_EQ(ShortestText(figure), text);
}

// Each case: a mode's inputs, a key, and the reason it has no value (or
// Computed with the value's text).
struct WhyCase {
    const char* name;
    Figure figure;
    Why why;
};

TEST(DetailsWithoutAValue, TwoSamples)
{
    const auto one = Cells({"5"}), three = Cells({"1", "2", "3"});
    const auto detail = [](TwoSampleInput s) { return TwoSampleDetail(s, {}, {}); };
    const WhyCase cases[] = {
        {"empty box", detail({"10", "2", "10", "12", "", "10"}).pooled.t, Why::NoInput},
        {"text in a box", detail({"10", "2", "10", "12", "a", "10"}).diff, Why::NoInput},
        {"no group", detail({"10", "2", "0", "12", "2", "10"}).pooled.p, Why::TooFewCases},
        {"one and one", detail({"10", "0", "1", "12", "0", "1"}).pooled.t, Why::TooFewCases},
        {"one case: pooled", detail({"10", "0", "1", "12", "2", "5"}).pooled.t, Why::Computed},
        {"one case: Welch", detail({"10", "0", "1", "12", "2", "5"}).welch.t, Why::TooFewCases},
        {"one case: F", detail({"10", "0", "1", "12", "2", "5"}).varP, Why::TooFewCases},
        {"no spread", detail({"10", "0", "4", "12", "0", "5"}).pooled.t, Why::NoVariation},
        {"no spread: d", detail({"10", "0", "4", "12", "0", "5"}).cohenDCi.low, Why::NoVariation},
        {"second SD zero", detail({"10", "1", "4", "12", "0", "5"}).varF, Why::NoVariation},
        {"second SD zero: Welch", detail({"10", "1", "4", "12", "0", "5"}).welch.p, Why::Computed},
        {"df 1: Hedges", detail({"10", "1", "2", "12", "1", "1"}).hedgesG, Why::TooFewCases},
        {"df 1: Cohen", detail({"10", "1", "2", "12", "1", "1"}).cohenD, Why::Computed},
        {"t of 158,000: d CI", detail({"1000", "0.01", "5", "0", "0.01", "5"}).cohenDCi.low, Why::OutOfRange},
        {"t of 606: d CI", detail({"10", "2", "3", "1000", "2", "3"}).cohenDCi.high, Why::Computed},
        {"raw, one value: U", TwoSampleDetail({}, one, three).mannWhitney.p, Why::Computed},
        {"raw, one value: W", TwoSampleDetail({}, one, three).sw1.w, Why::TooFewCases},
        {"raw, three values: W", TwoSampleDetail({}, one, three).sw2.w, Why::Computed},
    };
    for (const auto& c : cases) EXPECT_EQ(c.figure.why, c.why) << c.name;
    EXPECT_FALSE(TwoSampleDetail({}, one, {}).rawData);
}

TEST(DetailsWithoutAValue, PairedColumns)
{
    const auto detail = [](std::vector<std::string> a, std::vector<std::string> b) {
        return PairedDetail(Cells(a), Cells(b));
    };
    const auto many = CellsOf(5001, [](int k) { return std::to_string(k % 97); });
    const auto none = CellsOf(5001, [](int) { return std::string("0"); });
    const WhyCase cases[] = {
        {"no pairs", detail({}, {}).diff, Why::TooFewCases},
        {"one pair: t", detail({"5"}, {"3"}).paired.t, Why::TooFewCases},
        {"one pair: mean", detail({"5"}, {"3"}).diff, Why::Computed},
        {"rows with one cell skipped", detail({"5", "", "7"}, {"3", "1", "4"}).paired.t, Why::Computed},
        {"equal differences: t", detail({"5", "7"}, {"3", "5"}).paired.p, Why::NoVariation},
        {"equal differences: dz", detail({"5", "7"}, {"3", "5"}).dz, Why::NoVariation},
        {"equal differences: W", detail({"5", "7", "9"}, {"3", "5", "7"}).sw.w, Why::NoVariation},
        {"no difference: V", detail({"1", "2", "3"}, {"1", "2", "3"}).wilcoxon.statistic, Why::Computed},
        {"no difference: P", detail({"1", "2", "3"}, {"1", "2", "3"}).wilcoxon.p, Why::NoVariation},
        {"5001 pairs: W", PairedDetail(many, none).sw.w, Why::TooManyCases},
        {"5001 pairs: t", PairedDetail(many, none).paired.p, Why::Computed},
    };
    for (const auto& c : cases) EXPECT_EQ(c.figure.why, c.why) << c.name;
}

TEST(DetailsWithoutAValue, CorrelationAndRegression)
{
    const auto detail = [](std::vector<std::string> x, std::vector<std::string> y) {
        return CorrelationDetail(Cells(x), Cells(y));
    };
    const auto line = detail({"1", "2", "3", "4"}, {"2", "4", "6", "8"});
    const auto flatY = detail({"1", "2", "3", "4"}, {"5", "5", "5", "5"});
    const auto flatX = detail({"3", "3", "3"}, {"1", "2", "4"});
    const WhyCase cases[] = {
        {"two pairs", detail({"1", "2"}, {"3", "5"}).r, Why::TooFewCases},
        {"three pairs: r", detail({"1", "2", "3"}, {"3", "5", "4"}).rP, Why::Computed},
        {"three pairs: CI", detail({"1", "2", "3"}, {"3", "5", "4"}).rCi.low, Why::TooFewCases},
        {"line: r", line.r, Why::Computed},
        {"line: P of r", line.rP, Why::PerfectFit},
        {"line: slope t", line.slope.t, Why::PerfectFit},
        {"line: intercept t", line.intercept.t, Why::NoVariation}, // the line passes through 0
        {"line: slope CI", line.slope.ci.low, Why::Computed},
        {"line: Spearman P", line.spearmanP, Why::PerfectFit},
        {"flat Y: r", flatY.r, Why::NoVariation},
        {"flat Y: slope", flatY.slope.estimate, Why::Computed},
        {"flat Y: slope P", flatY.slope.p, Why::NoVariation},
        {"flat Y: rho", flatY.spearmanRho, Why::NoVariation},
        {"flat X: slope", flatX.slope.estimate, Why::NoVariation},
        {"flat X: residual SD", flatX.residualSd, Why::NoVariation},
    };
    for (const auto& c : cases) EXPECT_EQ(c.figure.why, c.why) << c.name;
    EXPECT_EQ(line.r.value, 1);
    EXPECT_EQ(line.spearmanRho.value, 1);
    EXPECT_EQ(detail({"1", "2", "3"}, {"9", "5", "4"}).spearmanRho.value, -1);
}

TEST(DetailsWithoutAValue, FourFoldTables)
{
    const auto detail = [](TableCells cells) { return FourFoldDetail(cells); };
    const WhyCase cases[] = {
        {"fraction", detail({"2.5", "3", "4", "5"}).chi2, Why::NoInput},
        {"negative", detail({"-2", "3", "4", "5"}).fisherP, Why::NoInput},
        {"not a number", detail({"-", "3", "4", "5"}).n, Why::NoInput},
        {"empty cells count 0", detail({"12", "", "", "7"}).fisherP, Why::Computed},
        {"all empty", detail({"", "", "", ""}).chi2, Why::TooFewCases},
        {"zero margin: chi2", detail({"0", "10", "0", "15"}).chi2, Why::NoVariation},
        {"zero margin: Fisher", detail({"0", "10", "0", "15"}).fisherP, Why::Computed},
        {"zero row: RR", detail({"0", "0", "5", "15"}).relativeRisk, Why::NoVariation},
        {"b zero: OR", detail({"12", "0", "5", "9"}).oddsRatio, Why::ZeroCell},
        {"a zero: OR", detail({"0", "12", "5", "9"}).oddsRatio, Why::Computed},
        {"a zero: OR CI", detail({"0", "12", "5", "9"}).orCi.high, Why::ZeroCell},
        {"c zero: RR", detail({"5", "12", "0", "9"}).relativeRisk, Why::ZeroCell},
        {"a zero: RR CI", detail({"0", "12", "5", "9"}).rrCi.low, Why::ZeroCell},
        {"not significant: NNT", detail({"20", "20", "20", "20"}).nnt, Why::NotSignificant},
        {"significant: NNT", detail({"30", "10", "15", "25"}).nnt, Why::Computed},
    };
    for (const auto& c : cases) EXPECT_EQ(c.figure.why, c.why) << c.name;
    EXPECT_EQ(detail({"0", "12", "5", "9"}).oddsRatio.value, 0);
}

// Fisher below n = 40 or an expected count below 1, Yates for expected
// counts from 1 up to 5, plain chi-square from 5; the boundaries exactly.
TEST(FourFoldMethod, FollowsTheSizeAndTheExpectedCounts)
{
    const std::pair<TableCells, TableMethod> cases[] = {
        {{"10", "9", "10", "10"}, TableMethod::Fisher},     // n = 39
        {{"10", "10", "10", "10"}, TableMethod::ChiSquare}, // n = 40, all expected 10
        {{"5", "15", "5", "15"}, TableMethod::ChiSquare},   // smallest expected exactly 5
        {{"4", "16", "5", "15"}, TableMethod::Yates},       // smallest expected 4.5
        {{"1", "19", "0", "20"}, TableMethod::Fisher},      // expected 0.5 with n = 40
        {{"2", "38", "0", "40"}, TableMethod::Yates},       // smallest expected exactly 1
        {{"", "", "", ""}, TableMethod::None},
        {{"x", "1", "1", "1"}, TableMethod::None},
    };
    for (const auto& [cells, method] : cases)
        EXPECT_EQ(FourFoldDetail(cells).method, method) << cells.a << " " << cells.b;
    EXPECT_EQ(MethodKey(TableMethod::Yates), "yates");
    EXPECT_EQ(MethodKey(TableMethod::None), "");
}

TEST(DetailsWithoutAValue, PairedTables)
{
    const WhyCase cases[] = {
        {"no discordant pairs: McNemar", PairedTableDetail({"10", "0", "0", "12"}).mcnemarP, Why::ZeroCell},
        {"no discordant pairs: exact", PairedTableDetail({"10", "0", "0", "12"}).exactP, Why::ZeroCell},
        {"no discordant pairs: kappa", PairedTableDetail({"10", "0", "0", "12"}).kappa, Why::Computed},
        {"c zero: matched OR", PairedTableDetail({"10", "4", "0", "12"}).matchedOr, Why::ZeroCell},
        {"b zero: matched OR", PairedTableDetail({"10", "0", "4", "12"}).matchedOr, Why::Computed},
        {"b zero: its CI", PairedTableDetail({"10", "0", "4", "12"}).matchedOrCi.low, Why::ZeroCell},
        {"one cell only: kappa", PairedTableDetail({"10", "", "", ""}).kappa, Why::NoVariation},
        {"all empty", PairedTableDetail({"", "", "", ""}).pDiff, Why::TooFewCases},
        {"fraction", PairedTableDetail({"1", "2.5", "3", "4"}).mcnemar, Why::NoInput},
    };
    for (const auto& c : cases) EXPECT_EQ(c.figure.why, c.why) << c.name;
    // Perfect agreement.
    EXPECT_DOUBLE_EQ(PairedTableDetail({"10", "0", "0", "12"}).kappa.value, 1);
}

// Small exact distributions counted by hand.
TEST(ExactRankDistributions, KnownPoints)
{
    // m = n = 2: the six orderings give U = 0, 1, 2, 2, 3, 4.
    EXPECT_DOUBLE_EQ(MannWhitneyCdf(0, 2, 2), 1.0 / 6);
    EXPECT_DOUBLE_EQ(MannWhitneyCdf(2, 2, 2), 4.0 / 6);
    EXPECT_DOUBLE_EQ(MannWhitneyCdf(4, 2, 2), 1);
    // m = 1, n = 3: U uniform on 0..3.
    EXPECT_DOUBLE_EQ(MannWhitneyCdf(1, 1, 3), 0.5);
    // n = 3 signs: V = 0,1,2,3,3,4,5,6.
    EXPECT_DOUBLE_EQ(SignedRankCdf(3, 3), 5.0 / 8);
    EXPECT_DOUBLE_EQ(SignedRankCdf(0, 20), std::ldexp(1.0, -20));
    // The largest exact case: P(U <= 0) = 1 / C(98, 49).
    EXPECT_NEAR(MannWhitneyCdf(0, 49, 49) * 2.5477612258980856e28, 1, 1e-12);
    EXPECT_THROW(MannWhitneyCdf(0, 0, 3), std::invalid_argument);
    EXPECT_THROW(SignedRankCdf(0, 50), std::invalid_argument);
}

TEST(ExactRankDistributions, ExactOnlyWithoutTiesBelowFifty)
{
    std::vector<double> x, y;
    for (int i = 0; i < 49; ++i) {
        x.push_back(i);
        y.push_back(i + 0.5);
    }
    EXPECT_TRUE(MannWhitney(x, y).exact);
    y.push_back(100);
    EXPECT_FALSE(MannWhitney(x, y).exact); // 50 in one group
    EXPECT_FALSE(MannWhitney(std::vector<double>{1, 2, 3}, std::vector<double>{3, 4}).exact);
    EXPECT_TRUE(WilcoxonSignedRank(std::vector<double>{1, -2, 3}).exact);
    EXPECT_FALSE(WilcoxonSignedRank(std::vector<double>{1, -2, 0, 3}).exact); // a zero
    EXPECT_FALSE(WilcoxonSignedRank(std::vector<double>{1, -1, 3}).exact);    // tied magnitudes
}

TEST(MidRanks, TiesShareTheirMeanRank)
{
    const Ranking r = MidRanks(std::vector<double>{3, 1, 3, 2, 3});
    EXPECT_EQ(r.ranks, (std::vector<double>{4, 1, 4, 2, 4}));
    EXPECT_EQ(r.tieSum, 24); // one group of three: 27 - 3
}

// Tables of millions, where summing every possible table would take seconds:
// a near-balanced one agrees with the corrected chi-square, an extreme one
// underflows to 0, and a table at the mode of its distribution gives 1.
TEST(FisherExact, LargeTables)
{
    const FisherFigures balanced = FisherExact(501000, 499000, 499000, 501000);
    const FourFoldDetails chi = FourFoldDetail({"501000", "499000", "499000", "501000"});
    EXPECT_NEAR(balanced.p.value / chi.yatesP.value, 1, 0.01);
    EXPECT_GT(balanced.p.value, 0.004);
    EXPECT_EQ(FisherExact(3e7, 1e7, 1.5e7, 2.5e7).p.value, 0);
    EXPECT_EQ(FisherExact(1e6, 1e6, 1e6, 1e6).p.value, 1);
    EXPECT_EQ(FisherExact(0, 0, 0, 0).p.why, Why::NoInput);
    // The probabilities of all tables add up to 1.
    double total = 0;
    for (int x = 0; x <= 30; ++x) total += std::exp(LogHypergeometric(x, 30, 45, 40));
    EXPECT_NEAR(total, 1, 1e-13);
}

TEST(ShapiroWilk, RangeOfSampleSizes)
{
    EXPECT_EQ(ShapiroWilk(std::vector<double>{1, 2}).w.why, Why::TooFewCases);
    EXPECT_EQ(ShapiroWilk(std::vector<double>(5001, 1.0)).w.why, Why::TooManyCases);
    std::vector<double> even;
    for (int i = 0; i < 5000; ++i) even.push_back(i % 100);
    const NormalityFigures uniform = ShapiroWilk(even);
    ASSERT_TRUE(uniform.p.Has());
    EXPECT_LT(uniform.p.value, 1e-6); // 5000 evenly spread values are far from normal
    // Three equally spaced values are as normal as three values can be.
    EXPECT_DOUBLE_EQ(ShapiroWilk(std::vector<double>{1, 2, 3}).w.value, 1);
    EXPECT_DOUBLE_EQ(ShapiroWilk(std::vector<double>{1, 2, 3}).p.value, 1);
}

} // namespace
} // namespace korvanta::stats
