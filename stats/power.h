// Sample size and power of the five tests, two-sided at level alpha: the
// power a given size achieves, the smallest size that reaches a target
// power, and the effect the current data show. The methods and their
// sources are written out in power.cpp.
#pragma once

#include "stats/detailed.h"

#include <functional>
#include <optional>
#include <vector>

namespace korvanta::stats::power {

// ----- The methods -----

// Two-sample t test, groups of n1 and n2, true difference `difference`,
// common SD `sd`: noncentral t, both rejection tails.
double TwoSamplePower(double n1, double n2, double difference, double sd, double alpha);
// Paired t test on n pairs, mean difference and SD of the differences.
double PairedPower(double n, double difference, double sd, double alpha);
// Pearson's r by Fisher's z, n pairs.
double CorrelationPower(double n, double r, double alpha);
// The size of Fisher's z formula before rounding up.
double CorrelationSize(double r, double alpha, double target);
// Two proportions, normal approximation, groups of n1 and n2.
double ProportionsPower(double n1, double n2, double p1, double p2, double alpha);
// The size of the first group (the second is ratio times it) before
// rounding up, uncorrected and with Fleiss' continuity correction.
double ProportionsSize(double p1, double p2, double ratio, double alpha, double target);
double ProportionsSizeCorrected(double p1, double p2, double ratio, double alpha, double target);
// McNemar's test of n pairs with discordant proportions p10 = b/n, p01 = c/n.
double McNemarPower(double n, double p10, double p01, double alpha);
double McNemarSize(double p10, double p01, double alpha, double target);

// The smallest whole size from `least` up whose power reaches the target;
// NaN when the power does not reach it below kLargestSize. The power must
// not fall as the size grows.
double SmallestSize(const std::function<double(double)>& powerAt, double least, double target);

// Sizes beyond this are not searched: no study is that large, and the
// noncentral t would take seconds on the way.
inline constexpr double kLargestSize = 1e7;

// ----- A plan for the current test -----

// Which quantities the effect has, by test.
enum class Test { TwoSample, Paired, Correlation, FourFold, PairedTable };
Test TestOfMode(TestMode mode);

// The effect and the present sizes. For the two t tests `first` is the
// difference and `second` the SD; for the four-fold table the two
// proportions; for the paired table b/n and c/n; for correlation `first`
// is r. `ratio` is n2/n1 (two-sample and four-fold tables).
struct Effect {
    std::optional<double> first, second;
    std::optional<double> ratio;
    // The data's sizes: the first group (or the pairs, or all cases) and
    // the second group; absent when the data give none.
    std::optional<double> n1, n2;
};

// The effect the data on screen show, for the test.
Effect EffectOfData(TestMode mode, const DetailsInput& input);

// Why a plan has no size.
enum class NoSize : unsigned char {
    None,       // the plan has its sizes
    BadLevel,   // alpha not strictly between 0 and 1
    BadTarget,  // the target power not strictly between 0 and 1
    NoEffect,   // an effect quantity missing or not a number
    ZeroEffect, // difference 0, r = 0, equal proportions
    BadEffect,  // SD not above 0, |r| >= 1, a proportion outside 0..1,
                // b/n + c/n above 1, a ratio not above 0
    NoSpread,   // the effect leaves no variance (proportions 0 and 1,
                // every pair discordant one way)
    TooLarge,   // more than kLargestSize
};

// Why the present size has no power.
enum class NoPower : unsigned char {
    None,
    NoPlan, // the effect or the level gives no power at all
    NoData, // the data give no size
    TooFew, // too few cases for the test (1 per group, 3 pairs for r)
};

struct CurvePoint {
    double n = 0, power = 0;
};

struct Plan {
    double alpha = 0.05, target = 0.8;
    NoSize whyNoSize = NoSize::NoEffect;
    // The first group (or pairs, or all cases) and, for two groups, the
    // second; whole numbers.
    double required = 0, required2 = 0;
    // The second group's size per first-group case the sizes are planned for.
    double ratio = 1;
    // Four-fold tables: with Fleiss' continuity correction.
    double requiredCorrected = 0, requiredCorrected2 = 0;
    NoPower whyNoPower = NoPower::NoPlan;
    double achieved = 0;
    // Power against the first group's size, the second group in the ratio.
    std::vector<CurvePoint> curve;

    bool HasSize() const { return whyNoSize == NoSize::None; }
    bool HasPower() const { return whyNoPower == NoPower::None; }
};

// The plan for `test` at level alpha and the target power.
Plan MakePlan(Test test, const Effect& effect, double alpha, double target);

// The driver's figures: power.alpha, power.target, power.n_required,
// power.achieved and, for four-fold tables, power.n_required_cc.
FigureList Figures(Test test, const Plan& plan);

} // namespace korvanta::stats::power
