// Internal to the statistics library: the probability distributions the
// detailed results need, over Boost.Math with errors turned into NaN (the
// callers turn a NaN into a figure that cannot be computed).
#pragma once

#include "stats/detailed.h"

namespace korvanta::stats::dist {

// Two-sided P of a t statistic: 2 P(T >= |t|).
double StudentTwoSidedP(double t, double df);
// The 97.5% point of t, the multiplier of a 95% confidence interval.
double StudentQuantile975(double df);
// Upper tail of chi-square: P(X >= x).
double ChiSquareUpperP(double x, double df);
// Two-sided P of a variance ratio: 2 min(P(F <= f), P(F >= f)).
double FTwoSidedP(double f, double df1, double df2);
// Two-sided P of a standard normal deviate: 2 min(Phi(z), 1 - Phi(z)).
double NormalTwoSidedP(double z);
double NormalQuantile(double p);
// P(X <= k) for X binomial (n, p).
double BinomialCdf(double k, double n, double p);

// The 97.5% point of the standard normal.
inline constexpr double kZ975 = 1.959963984540054;

// 95% limits for the noncentrality parameter of a t statistic observed as t
// on df degrees of freedom: the values of delta with P(T <= t | delta) equal
// to 0.975 and 0.025 (the noncentral t method of Steiger and Fouladi).
Interval NoncentralityInterval(double t, double df);

// Estimate +- multiplier x se as a confidence interval.
Interval Around(double estimate, double multiplier, double se);

} // namespace korvanta::stats::dist
