// Detailed results of the two-sample comparison, from the summary boxes
// (means, standard deviations and counts) and, for the rank and normality
// tests, the raw columns.
//   pooled:  Sc^2 = ((N1 - 1) S1^2 + (N2 - 1) S2^2) / (N1 + N2 - 2),
//            SE = sqrt(Sc^2 (1/N1 + 1/N2)), t = (X1 - X2) / SE, df = N1 + N2 - 2
//   Welch:   SE^2 = S1^2/N1 + S2^2/N2, df by Satterthwaite (1946):
//            SE^4 / ((S1^2/N1)^2/(N1 - 1) + (S2^2/N2)^2/(N2 - 1))
//   F:       S1^2 / S2^2 on (N1 - 1, N2 - 1) df, two-sided
//   Cohen's d = (X1 - X2) / Sc; its CI from the noncentral t: the limits of
//            the noncentrality of the pooled t, times sqrt(1/N1 + 1/N2)
//   Hedges' g = J d with the exact factor J = G(df/2) / (sqrt(df/2) G((df - 1)/2))
//            (Hedges 1981).
// The signs follow X1 - X2 throughout.
#include "stats/detailed.h"

#include "stats/distributions.h"
#include "stats/ranktests.h"
#include "stats/shapirowilk.h"

#include <boost/math/special_functions/gamma.hpp>

#include <cmath>
#include <vector>

namespace korvanta::stats {

namespace {

std::vector<double> Numbers(Column column)
{
    std::vector<double> values;
    for (const CellValue& cell : column)
        if (cell.IsNumber()) values.push_back(cell.value.ToDouble());
    return values;
}

TFigures NoTest(Why why)
{
    const Figure none = Figure::None(why);
    return {none, none, none, {none, none}};
}

// t = estimate / se on df, its two-sided P and the 95% CI of the estimate.
TFigures TTest(double estimate, double se, double df)
{
    if (!(se > 0) || !std::isfinite(se)) return NoTest(Why::NoVariation);
    TFigures f;
    f.t = Figure::Of(estimate / se);
    f.df = Figure::Of(df);
    f.p = Figure::Of(dist::StudentTwoSidedP(estimate / se, df));
    f.ci = dist::Around(estimate, dist::StudentQuantile975(df), se);
    return f;
}

double HedgesFactor(double df) { return boost::math::tgamma_ratio(df / 2, (df - 1) / 2) / std::sqrt(df / 2); }

} // namespace

TwoSampleDetails TwoSampleDetail(const TwoSampleInput& summary, Column first, Column second)
{
    TwoSampleDetails r;
    const Figure none = Figure::None(Why::NoInput);
    r.n1 = r.n2 = r.diff = r.varF = r.varDf1 = r.varDf2 = r.varP = r.cohenD = r.hedgesG = none;
    r.cohenDCi = {none, none};
    r.pooled = r.welch = NoTest(Why::NoInput);

    // The rank and normality tests need raw data in both columns.
    const std::vector<double> x = Numbers(first), y = Numbers(second);
    r.rawData = !x.empty() && !y.empty();
    r.mannWhitney.statistic = r.mannWhitney.p = none;
    r.sw1 = r.sw2 = {none, none};
    if (r.rawData) {
        r.mannWhitney = MannWhitney(x, y);
        r.sw1 = ShapiroWilk(x);
        r.sw2 = ShapiroWilk(y);
    }

    // The groups exactly as the panel's test reads them.
    const auto groups = ReadTwoSampleGroups(summary);
    if (!groups) return r;
    const double n1 = ToDouble(groups->first.count), n2 = ToDouble(groups->second.count);
    r.n1 = Figure::Of(n1);
    r.n2 = Figure::Of(n2);
    r.diff = Figure::Of(ToDouble(groups->first.mean - groups->second.mean));
    const Figure fewer = Figure::None(Why::TooFewCases);
    if (!(n1 > 0 && n2 > 0)) {
        r.diff = r.varF = r.varDf1 = r.varDf2 = r.varP = r.cohenD = r.hedgesG = fewer;
        r.cohenDCi = {fewer, fewer};
        r.pooled = r.welch = NoTest(Why::TooFewCases);
        return r;
    }
    const double diff = r.diff.value;
    const double v1 = ToDouble(groups->first.variance), v2 = ToDouble(groups->second.variance);

    // Student's t with the pooled variance, from the same exact figures as
    // the panel's T.
    const double df = n1 + n2 - 2;
    const double reciprocalSum = 1 / n1 + 1 / n2;
    if (const auto exact = PooledOf(groups->first, groups->second)) {
        const double pooledVariance = ToDouble(exact->pooledVariance);
        r.pooled = TTest(diff, RootToDouble(exact->seSquared), ToDouble(exact->df));
        const double sc = RootToDouble(exact->pooledVariance);
        if (sc > 0 && std::isfinite(sc)) {
            r.cohenD = Figure::Of(diff / sc);
            const Interval delta = dist::NoncentralityInterval(diff / std::sqrt(pooledVariance * reciprocalSum), df);
            const double scale = std::sqrt(reciprocalSum);
            r.cohenDCi.low = delta.low.Has() ? Figure::Of(delta.low.value * scale) : delta.low;
            r.cohenDCi.high = delta.high.Has() ? Figure::Of(delta.high.value * scale) : delta.high;
            r.hedgesG = df > 1 ? Figure::Of(HedgesFactor(df) * r.cohenD.value) : fewer;
        } else {
            r.cohenD = r.hedgesG = Figure::None(Why::NoVariation);
            r.cohenDCi = {r.cohenD, r.cohenD};
        }
    } else {
        r.pooled = NoTest(Why::TooFewCases);
        r.cohenD = r.hedgesG = fewer;
        r.cohenDCi = {fewer, fewer};
    }

    // Welch's t and the F test need a variance from each group.
    if (n1 > 1 && n2 > 1) {
        const double w1 = v1 / n1, w2 = v2 / n2;
        const double variance = w1 + w2;
        const double welchDf = variance * variance / (w1 * w1 / (n1 - 1) + w2 * w2 / (n2 - 1));
        r.welch = TTest(diff, std::sqrt(variance), welchDf);
        r.varDf1 = Figure::Of(n1 - 1);
        r.varDf2 = Figure::Of(n2 - 1);
        if (v2 > 0) {
            r.varF = Figure::Of(v1 / v2);
            r.varP = Figure::Of(dist::FTwoSidedP(v1 / v2, n1 - 1, n2 - 1));
        } else {
            r.varF = r.varP = Figure::None(Why::NoVariation);
        }
    } else {
        r.welch = NoTest(Why::TooFewCases);
        r.varF = r.varDf1 = r.varDf2 = r.varP = fewer;
    }
    return r;
}

bool PreferWelch(const TwoSampleDetails& details) { return details.varP.Has() && details.varP.value < 0.05; }

} // namespace korvanta::stats
