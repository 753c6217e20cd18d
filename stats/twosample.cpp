// Student's two-sample t-test with pooled variance, two-sided, from the means,
// standard deviations and counts of two groups:
//   Sc^2 = (S1^2 (N1 - 1) + S2^2 (N2 - 1)) / (N1 + N2 - 2)
//   t    = |X1 - X2| / sqrt((1/N1 + 1/N2) Sc^2),  df = N1 + N2 - 2,
// exact from the typed digits (or the summaries behind the boxes) until t is
// rounded for display.
#include "stats/ttests.h"

#include "stats/numbertext.h"
#include "stats/panel.h"

namespace korvanta::stats {

std::optional<TwoSampleGroups> ReadTwoSampleGroups(const TwoSampleInput& input)
{
    const std::string_view texts[2][3] = {{input.x1, input.s1, input.n1}, {input.x2, input.s2, input.n2}};
    SampleFigures groups[2];
    for (int g = 0; g < 2; ++g) {
        const auto mean = ParseExact(texts[g][0]), sd = ParseExact(texts[g][1]), count = ParseExact(texts[g][2]);
        if (!mean || !sd || !count) return std::nullopt;
        groups[g].mean = input.exactMean[g] ? *input.exactMean[g] : ToRational(*mean);
        // A negative standard deviation squares like its magnitude.
        const Rational s = ToRational(*sd);
        groups[g].variance = input.exactVariance[g] ? *input.exactVariance[g] : Rational(s * s);
        groups[g].count = ToRational(*count);
    }
    return TwoSampleGroups{groups[0], groups[1]};
}

namespace {

// The fixed-point range bounds the difference of the means and the sum of
// the counts as typed: beyond it there is no result, as for any other value
// a box cannot hold.
bool WithinRange(const TwoSampleInput& input)
{
    const auto x1 = ParseFixed4(input.x1), x2 = ParseFixed4(input.x2);
    const auto n1 = ParseFixed4(input.n1), n2 = ParseFixed4(input.n2);
    return x1 && x2 && n1 && n2 && Subtract(*x1, *x2) && Add(*n1, *n2);
}

} // namespace

TwoSampleResult TwoSampleTTest(const TwoSampleInput& input)
{
    for (std::string_view text : {input.x1, input.s1, input.n1, input.x2, input.s2, input.n2})
        if (text.empty()) return {};
    const auto groups = ReadTwoSampleGroups(input);
    if (!groups || !WithinRange(input)) return {};
    const auto pooled = PooledOf(groups->first, groups->second);
    // Counts may have fractions, but the table has no row below df 1.
    if (!pooled || pooled->df < 1 || pooled->seSquared <= 0) return {};
    const auto critical = LookupCriticalT(ToDouble(pooled->df));
    if (!critical) return {};
    const Rational tSquared = pooled->difference * pooled->difference / pooled->seSquared;
    return {critical->t05, critical->t01, critical->t001, detail::TResultLine(tSquared, *critical)};
}

} // namespace korvanta::stats
