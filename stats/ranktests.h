// Rank tests: the Mann-Whitney U test of two independent samples and the
// Wilcoxon signed-rank test of paired differences, two-sided, with the exact
// null distributions for small samples without ties.
#pragma once

#include "stats/detailed.h"

#include <span>
#include <vector>

namespace korvanta::stats {

// Mid-ranks (1-based) of the values, ties sharing the mean of their ranks,
// and the tie correction sum of t^3 - t over the groups of t equal values.
struct Ranking {
    std::vector<double> ranks;
    double tieSum = 0;
};
Ranking MidRanks(std::span<const double> values);

// Exact null distributions, by counting with additions only so that small
// tail probabilities keep their relative precision.
// P(U <= u) for samples of m and n without ties (Mann and Whitney 1947).
double MannWhitneyCdf(double u, int m, int n);
// P(V <= v) for n non-zero differences without ties.
double SignedRankCdf(double v, int n);

// U = rank sum of x - m(m+1)/2. Exact when both samples have fewer than 50
// values and there are no ties; otherwise the normal approximation with the
// continuity and tie corrections. Needs at least one value in each sample.
RankFigures MannWhitney(std::span<const double> x, std::span<const double> y);

// V = sum of the ranks of |d| over the positive d, zeros dropped. Exact when
// fewer than 50 differences remain and there were no ties and no zeros.
RankFigures WilcoxonSignedRank(std::span<const double> differences);

} // namespace korvanta::stats
