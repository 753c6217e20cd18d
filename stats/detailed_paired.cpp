// Detailed results of the paired comparison, on the differences
// d = column 1 - column 2 of the rows where both cells are numbers:
//   mean d with t = mean / (SD / sqrt(n)) on n - 1 df and its 95% CI,
//   Cohen's dz = mean / SD, Shapiro-Wilk of the d, and the Wilcoxon
//   signed-rank test (V = sum of the ranks of the positive d).
#include "stats/detailed.h"

#include "stats/distributions.h"
#include "stats/exactfigures.h"
#include "stats/ranktests.h"
#include "stats/shapirowilk.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace korvanta::stats {

namespace {

// The differences of the complete rows, exact in fixed point where they fit.
std::vector<double> Differences(Column first, Column second)
{
    std::vector<double> d;
    const std::size_t rows = std::min(first.size(), second.size());
    for (std::size_t k = 0; k < rows; ++k) {
        if (!first[k].IsNumber() || !second[k].IsNumber()) continue;
        const auto exact = Subtract(first[k].value, second[k].value);
        d.push_back(exact ? exact->ToDouble() : first[k].value.ToDouble() - second[k].value.ToDouble());
    }
    return d;
}

} // namespace

PairedDetails PairedDetail(Column first, Column second)
{
    const std::vector<double> d = Differences(first, second);
    PairedDetails r;
    const double n = static_cast<double>(d.size());
    const Figure fewer = Figure::None(Why::TooFewCases);
    r.n = Figure::Of(n);
    r.diff = r.dz = fewer;
    r.paired = {fewer, fewer, fewer, {fewer, fewer}};
    r.sw = ShapiroWilk(d);
    r.wilcoxon = WilcoxonSignedRank(d);
    if (d.empty()) return r;

    // Mean and SD from the same exact sums as the panel's.
    const DifferenceFigures exact = DifferencesOf(MomentsOf(first, second));
    const double mean = ToDouble(exact.mean);
    r.diff = Figure::Of(mean);
    if (d.size() < 2) return r;

    const double sd = RootToDouble(exact.variance);
    if (!(sd > 0)) {
        const Figure flat = Figure::None(Why::NoVariation);
        r.dz = flat;
        r.paired = {flat, flat, flat, {flat, flat}};
        return r;
    }
    const double se = sd / std::sqrt(n);
    r.paired.t = Figure::Of(mean / se);
    r.paired.df = Figure::Of(n - 1);
    r.paired.p = Figure::Of(dist::StudentTwoSidedP(mean / se, n - 1));
    r.paired.ci = dist::Around(mean, dist::StudentQuantile975(n - 1), se);
    r.dz = Figure::Of(mean / sd);
    return r;
}

} // namespace korvanta::stats
