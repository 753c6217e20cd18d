// Student's two-sample t-test with pooled variance, two-sided, from the means,
// standard deviations and counts of two groups:
//   Sc^2 = (S1^2 (N1 - 1) + S2^2 (N2 - 1)) / (N1 + N2 - 2)
//   t    = |X1 - X2| / sqrt((1/N1 + 1/N2) Sc^2),  df = N1 + N2 - 2.
#include "stats/ttests.h"

#include "stats/numbertext.h"
#include "stats/panel.h"

#include <cmath>

namespace korvanta::stats {

namespace {

struct TwoSampleFigures {
    double t = 0;
    double df = 0;
};

// Differences and sums of the inputs are exact in fixed point; the rest is
// double. Empty when an input is not a number, a divisor is zero, a root is
// taken of a negative value or a step overflows.
std::optional<TwoSampleFigures> Compute(const TwoSampleInput& input) {
    const auto x1 = ParseFixed4(input.x1), s1 = ParseFixed4(input.s1), n1 = ParseFixed4(input.n1);
    const auto x2 = ParseFixed4(input.x2), s2 = ParseFixed4(input.s2), n2 = ParseFixed4(input.n2);
    if (!x1 || !s1 || !n1 || !x2 || !s2 || !n2) return std::nullopt;

    const Fixed4 one = Fixed4::fromUnits(Fixed4::kScale), two = Fixed4::fromUnits(2 * Fixed4::kScale);
    const auto difference = subtract(*x1, *x2);
    const auto n1Less1 = subtract(*n1, one);
    const auto n2Less1 = subtract(*n2, one);
    const auto countSum = add(*n1, *n2);
    const auto dfFixed = countSum ? subtract(*countSum, two) : std::nullopt;
    if (!difference || !n1Less1 || !n2Less1 || !dfFixed) return std::nullopt;

    const double df = dfFixed->toDouble();
    // Counts may have fractions, but the table has no row below df 1.
    if (df < 1) return std::nullopt;
    const double sd1 = s1->toDouble(), sd2 = s2->toDouble();
    const double pooledVariance = (sd1 * sd1 * n1Less1->toDouble() + sd2 * sd2 * n2Less1->toDouble()) / df;
    if (n1->units() == 0 || n2->units() == 0) return std::nullopt;
    const double underRoot = (1 / n1->toDouble() + 1 / n2->toDouble()) * pooledVariance;
    if (!std::isfinite(underRoot) || underRoot <= 0) return std::nullopt;  // zero SE divides below
    const double standardError = std::sqrt(underRoot);
    const double d = difference->toDouble();
    const double t = std::sqrt(d * d) / standardError;
    if (!std::isfinite(t)) return std::nullopt;
    return TwoSampleFigures{t, df};
}

} // namespace

TwoSampleResult TwoSampleTTest(const TwoSampleInput& input) {
    for (std::string_view text : {input.x1, input.s1, input.n1, input.x2, input.s2, input.n2})
        if (text.empty()) return {};
    const auto figures = Compute(input);
    if (!figures) return {};
    const auto critical = LookupCriticalT(figures->df);
    if (!critical) return {};
    return {critical->t05, critical->t01, critical->t001, detail::TResultLine(figures->t, *critical)};
}

} // namespace korvanta::stats
