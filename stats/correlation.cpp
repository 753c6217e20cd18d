// Pearson's correlation of Y with X, its t test against zero and the least
// squares line of Y on X, on the rows where both cells hold numbers:
//   lxy = sum xy - sum x sum y / n,  lxx = sum x^2 - (sum x)^2 / n,  lyy likewise;
//   r = lxy / sqrt(lxx lyy),  t_r = |r| / sqrt((1 - r^2) / (n - 2)) with n - 2 df;
//   b = lxy / lxx,  a = mean y - b mean x.
// Every figure is exact from the sums until it is rounded for display.
#include "stats/ttests.h"

#include "stats/panel.h"

namespace korvanta::stats {

CorrelationResult CorrelationRegression(Column xs, Column ys) { return CorrelationRegression(MomentsOf(xs, ys)); }

CorrelationResult CorrelationRegression(const PairMoments& moments)
{
    const LineFigures line = LineOf(moments);
    // Fewer than three pairs leave no degree of freedom; with all X equal
    // neither r nor the slope exists.
    if (line.n < 3 || line.lxx == 0) return {};
    const auto critical = LookupCriticalT(static_cast<double>(line.n - 2));
    if (!critical) return {};

    CorrelationResult result;
    result.pairs = std::to_string(line.n);
    result.t05 = critical->t05;
    result.t01 = critical->t01;
    result.t001 = critical->t001;
    std::string slopeText = FourDecimals(line.Slope());
    if (slopeText.front() != '-') slopeText.insert(0, "+");
    result.equation = "Y=" + FourDecimals(line.Intercept()) + slopeText + "X";

    if (line.lyy == 0) {
        // r is undefined (0 / 0); the line is flat, so the test of r finds nothing.
        result.tr = FourDecimals(0);
        result.verdict = JudgeTStatistic(0.0, *critical);
        return result;
    }
    const bool negative = line.lxy < 0;
    result.r = (negative ? "-" : "") + FourDecimalsOfRoot(line.RSquared());
    if (result.r == "-0.0000") result.r = "0.0000";
    const auto trSquared = line.TrSquared();
    if (!trSquared) {
        // Every point on the line: t_r is infinite.
        result.verdict = negative ? Verdict::PerfectNegative : Verdict::PerfectPositive;
        return result;
    }
    result.tr = FourDecimalsOfRoot(*trSquared);
    result.verdict = JudgeTStatistic(RootToDouble(*trSquared), *critical);
    return result;
}

} // namespace korvanta::stats
