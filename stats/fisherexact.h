// Fisher's exact test of a 2x2 table of counts, two-sided, with the mid-P.
#pragma once

#include "stats/detailed.h"

namespace korvanta::stats {

// log P(X = x) for X hypergeometric: x of the r1 units of the first row
// among the c1 units of the first column, the second row holding r2 units.
// Accurate to a few units in the last place of the probability even for
// very large tables (Loader's saddle-point form); -inf outside the support.
double LogHypergeometric(double x, double r1, double r2, double c1);

struct FisherFigures {
    Figure p;    // sum over the tables no more probable than the observed one
    Figure midP; // twice the smaller one-sided mid-P, at most 1
};
// The table a b / c d (whole numbers of 0 or more, not all zero).
FisherFigures FisherExact(double a, double b, double c, double d);

// The odds ratio of the table conditional on its margins, with the P and
// interval that go together: the conditional maximum-likelihood estimate,
// the central exact 95% interval (each limit leaves 2.5% in one tail of the
// noncentral hypergeometric distribution of a) and the central P, twice the
// smaller one-sided P at odds ratio 1. The interval excludes 1 exactly when
// the central P is below 0.05. The usual two-sided P above may disagree with
// this interval and is never printed beside it.
struct ConditionalOddsRatio {
    Figure estimate;
    Interval ci;
    Figure centralP;
};
ConditionalOddsRatio ConditionalOddsRatioOf(double a, double b, double c, double d);

} // namespace korvanta::stats
