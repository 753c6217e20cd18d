// Mann-Whitney U and Wilcoxon signed-rank tests, two-sided.
//
// Exact null distributions by the counting recurrences (Mann and Whitney
// 1947; Wilcoxon 1945, see Hollander and Wolfe, Nonparametric Statistical
// Methods, ch. 3 and 4):
//   c(u; m, n) = c(u - n; m - 1, n) + c(u; m, n - 1)
//     (the largest of the m + n values is either an x, beating all n y's, or a y),
//   c(v; k)    = c(v; k - 1) + c(v - k; k - 1)
//     (rank k is either negative or positive).
// Exact P = min(1, 2 x the smaller tail at the observed statistic).
// Large samples, ties or zeros: the normal approximation with a continuity
// correction of 1/2 toward the mean and the tie-corrected variance
//   Var U = mn/12 ((m + n + 1) - sum(t^3 - t) / ((m + n)(m + n - 1))),
//   Var V = n(n + 1)(2n + 1)/24 - sum(t^3 - t)/48.
#include "stats/ranktests.h"

#include "stats/distributions.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

namespace korvanta::stats {

namespace {

// Below this many values in every sample the exact distribution is used.
constexpr int kExactLimit = 50;

// Counts of U = 0 .. mn over all C(m + n, m) orderings.
std::vector<double> MannWhitneyCounts(int m, int n)
{
    const int cells = m * n + 1;
    // counts[k * cells + u]: samples of k x's and the y's processed so far.
    std::vector<double> counts(static_cast<std::size_t>((m + 1) * cells), 0.0);
    for (int k = 0; k <= m; ++k) counts[static_cast<std::size_t>(k * cells)] = 1; // no y's: U = 0
    for (int j = 1; j <= n; ++j) {
        // counts[k] still holds the layer of j - 1 y's; counts[k - 1] already that of j.
        for (int k = 1; k <= m; ++k) {
            double* row = &counts[static_cast<std::size_t>(k * cells)];
            const double* shorter = &counts[static_cast<std::size_t>((k - 1) * cells)];
            for (int u = k * j; u >= j; --u) row[u] += shorter[u - j];
        }
    }
    return {counts.end() - cells, counts.end()};
}

// Counts of V = 0 .. n(n+1)/2 over all 2^n sign patterns; exact in double for
// n below 50 (2^49 < 2^53).
std::vector<double> SignedRankCounts(int n)
{
    const int top = n * (n + 1) / 2;
    std::vector<double> counts(static_cast<std::size_t>(top + 1), 0.0);
    counts[0] = 1;
    for (int k = 1; k <= n; ++k)
        for (int v = k * (k + 1) / 2; v >= k; --v)
            counts[static_cast<std::size_t>(v)] += counts[static_cast<std::size_t>(v - k)];
    return counts;
}

// Sum of counts[0..floor(s)] or counts[ceil(s)..] over the total.
double LowerTail(const std::vector<double>& counts, double s)
{
    const double total = std::accumulate(counts.begin(), counts.end(), 0.0);
    double sum = 0;
    for (std::size_t u = 0; u < counts.size() && static_cast<double>(u) <= s; ++u) sum += counts[u];
    return sum / total;
}
double UpperTail(const std::vector<double>& counts, double s)
{
    const double total = std::accumulate(counts.begin(), counts.end(), 0.0);
    double sum = 0;
    for (std::size_t u = counts.size(); u-- > 0 && static_cast<double>(u) >= s;) sum += counts[u];
    return sum / total;
}

// Two-sided exact P: the tail on the statistic's side of the centre, doubled.
double ExactTwoSided(const std::vector<double>& counts, double statistic, double centre)
{
    const double tail = statistic > centre ? UpperTail(counts, statistic) : LowerTail(counts, statistic);
    return std::min(1.0, 2 * tail);
}

// Normal approximation with the continuity correction toward the mean.
Figure NormalTwoSided(double statistic, double mean, double variance)
{
    if (!(variance > 0)) return Figure::None(Why::NoVariation);
    const double deviation = statistic - mean;
    const double correction = deviation > 0 ? 0.5 : deviation < 0 ? -0.5 : 0.0;
    return Figure::Of(dist::NormalTwoSidedP((deviation - correction) / std::sqrt(variance)));
}

} // namespace

Ranking MidRanks(std::span<const double> values)
{
    const std::size_t n = values.size();
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) { return values[i] < values[j]; });
    Ranking ranking;
    ranking.ranks.assign(n, 0.0);
    for (std::size_t start = 0; start < n;) {
        std::size_t end = start + 1;
        while (end < n && values[order[end]] == values[order[start]]) ++end;
        // Positions start .. end-1 hold ranks start+1 .. end; each gets their mean.
        const double rank = (static_cast<double>(start + 1) + static_cast<double>(end)) / 2;
        for (std::size_t k = start; k < end; ++k) ranking.ranks[order[k]] = rank;
        const double t = static_cast<double>(end - start);
        ranking.tieSum += t * t * t - t;
        start = end;
    }
    return ranking;
}

double MannWhitneyCdf(double u, int m, int n)
{
    if (m < 1 || n < 1 || m >= kExactLimit || n >= kExactLimit)
        throw std::invalid_argument("MannWhitneyCdf: sample sizes out of range");
    return LowerTail(MannWhitneyCounts(m, n), u);
}

double SignedRankCdf(double v, int n)
{
    if (n < 1 || n >= kExactLimit) throw std::invalid_argument("SignedRankCdf: n out of range");
    return LowerTail(SignedRankCounts(n), v);
}

RankFigures MannWhitney(std::span<const double> x, std::span<const double> y)
{
    RankFigures result;
    if (x.empty() || y.empty()) {
        result.statistic = result.p = Figure::None(Why::TooFewCases);
        return result;
    }
    std::vector<double> all(x.begin(), x.end());
    all.insert(all.end(), y.begin(), y.end());
    const Ranking ranking = MidRanks(all);
    const double m = static_cast<double>(x.size()), n = static_cast<double>(y.size());
    const double rankSum =
        std::accumulate(ranking.ranks.begin(), ranking.ranks.begin() + static_cast<std::ptrdiff_t>(x.size()), 0.0);
    const double u = rankSum - m * (m + 1) / 2;
    result.statistic = Figure::Of(u);

    result.exact = x.size() < kExactLimit && y.size() < kExactLimit && ranking.tieSum == 0;
    if (result.exact) {
        const auto counts = MannWhitneyCounts(static_cast<int>(x.size()), static_cast<int>(y.size()));
        result.p = Figure::Of(ExactTwoSided(counts, u, m * n / 2));
    } else {
        const double total = m + n;
        const double variance = m * n / 12 * ((total + 1) - ranking.tieSum / (total * (total - 1)));
        result.p = NormalTwoSided(u, m * n / 2, variance);
    }
    return result;
}

RankFigures WilcoxonSignedRank(std::span<const double> differences)
{
    RankFigures result;
    std::vector<double> nonZero;
    for (double d : differences)
        if (d != 0) nonZero.push_back(d);
    const bool zeros = nonZero.size() != differences.size();
    if (nonZero.empty()) {
        // No difference carries a sign: V is 0 and has no distribution.
        result.statistic = differences.empty() ? Figure::None(Why::TooFewCases) : Figure::Of(0);
        result.p = Figure::None(differences.empty() ? Why::TooFewCases : Why::NoVariation);
        return result;
    }
    std::vector<double> magnitudes;
    for (double d : nonZero) magnitudes.push_back(std::fabs(d));
    const Ranking ranking = MidRanks(magnitudes);
    double v = 0;
    for (std::size_t i = 0; i < nonZero.size(); ++i)
        if (nonZero[i] > 0) v += ranking.ranks[i];
    result.statistic = Figure::Of(v);

    const double n = static_cast<double>(nonZero.size());
    const double centre = n * (n + 1) / 4;
    result.exact = nonZero.size() < kExactLimit && ranking.tieSum == 0 && !zeros;
    if (result.exact) {
        result.p = Figure::Of(ExactTwoSided(SignedRankCounts(static_cast<int>(nonZero.size())), v, centre));
    } else {
        const double variance = n * (n + 1) * (2 * n + 1) / 24 - ranking.tieSum / 48;
        result.p = NormalTwoSided(v, centre, variance);
    }
    return result;
}

} // namespace korvanta::stats
