// Fisher's exact test. With the margins fixed, the count a of the first cell
// is hypergeometric:
//   P(a) = C(r1, a) C(r2, c1 - a) / C(n, c1),  max(0, c1 - r2) <= a <= min(r1, c1).
// Two-sided P sums P(x) over the x with P(x) <= P(a)(1 + 1e-7), the relative
// tolerance keeping tables of equal probability together despite rounding.
// Mid-P: the one-sided mid-P of a tail is P(beyond a) + P(a)/2; the two-sided
// mid-P is twice the smaller of the two, at most 1.
//
// The probabilities come from Loader's saddle-point expansion (C. Loader,
// "Fast and accurate computation of binomial probabilities", 2000): with
// p = c1/n the binomial factors of the hypergeometric cancel,
//   P(a) = b(a; r1, p) b(c1 - a; r2, p) / b(c1; n, p),
//   log b(x; m, p) = stirlerr(m) - stirlerr(x) - stirlerr(m - x)
//                    - bd0(x, mp) - bd0(m - x, mq) - log(2 pi x (m - x)/m) / 2,
// which keeps full relative precision where differences of log-gamma values
// of large counts would lose it.
//
// The distribution is unimodal, so the tables no more probable than the
// observed one are the two tails beyond a pair of cut points; these are found
// by bisection and each tail is summed outward from its cut point with the
// ratio of successive probabilities until its terms no longer count. Huge
// tables thus cost a few thousand steps, not one step per possible table.
#include "stats/fisherexact.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace korvanta::stats {

namespace {

constexpr double kRelativeTolerance = 1e-7;
constexpr double kNegligible = 1e-17; // a term this small against the sum ends a tail

// log(n!) - log(sqrt(2 pi n) (n/e)^n), the error of Stirling's formula.
double StirlingError(double n)
{
    if (n <= 15) {
        if (n == 0) return 0;
        return std::lgamma(n + 1) - (n + 0.5) * std::log(n) + n - 0.5 * std::log(2 * std::numbers::pi);
    }
    constexpr double s0 = 1.0 / 12, s1 = 1.0 / 360, s2 = 1.0 / 1260, s3 = 1.0 / 1680, s4 = 1.0 / 1188;
    const double nn = n * n;
    return (s0 - (s1 - (s2 - (s3 - s4 / nn) / nn) / nn) / nn) / n;
}

// x log(x / np) + np - x, by its series when x is close to np.
double DevianceTerm(double x, double np)
{
    if (std::fabs(x - np) < 0.1 * (x + np)) {
        const double v = (x - np) / (x + np);
        double sum = (x - np) * v;
        double term = 2 * x * v;
        const double v2 = v * v;
        for (int j = 1; j < 1000; ++j) {
            term *= v2;
            const double next = sum + term / (2 * j + 1);
            if (next == sum) return next;
            sum = next;
        }
        return sum;
    }
    return x * std::log(x / np) + np - x;
}

// log b(x; m, p) with q = 1 - p, for 0 < p < 1.
double LogBinomial(double x, double m, double p, double q)
{
    if (x < 0 || x > m) return -std::numeric_limits<double>::infinity();
    if (x == 0) return m == 0 ? 0 : (p < 0.1 ? -DevianceTerm(m, m * q) - m * p : m * std::log(q));
    if (x == m) return q < 0.1 ? -DevianceTerm(m, m * p) - m * q : m * std::log(p);
    const double main = StirlingError(m) - StirlingError(x) - StirlingError(m - x) - DevianceTerm(x, m * p) -
                        DevianceTerm(m - x, m * q);
    const double spread = std::log(2 * std::numbers::pi) + std::log(x) + std::log1p(-x / m);
    return main - 0.5 * spread;
}

struct Table {
    double r1, r2, c1, lo, hi;

    double LogP(double x) const { return LogHypergeometric(x, r1, r2, c1); }
    // P(x + 1) / P(x) and P(x - 1) / P(x).
    double Up(double x) const { return (r1 - x) * (c1 - x) / ((x + 1) * (r2 - c1 + x + 1)); }
    double Down(double x) const { return x * (r2 - c1 + x) / ((r1 - x + 1) * (c1 - x + 1)); }
    double Mode() const { return std::clamp(std::floor((r1 + 1) * (c1 + 1) / (r1 + r2 + 2)), lo, hi); }

    // Sum of P(x)/P(from) * first over x = from, from + step, ... to the end of
    // the support, the terms falling all the way.
    double Tail(double from, double first, int step) const
    {
        double sum = 0, term = first;
        for (double x = from;; x += step) {
            sum += term;
            if (x == (step > 0 ? hi : lo) || term < sum * kNegligible) break;
            term *= step > 0 ? Up(x) : Down(x);
        }
        return sum;
    }
};

} // namespace

double LogHypergeometric(double x, double r1, double r2, double c1)
{
    const double n = r1 + r2;
    if (x < std::max(0.0, c1 - r2) || x > std::min(r1, c1)) return -std::numeric_limits<double>::infinity();
    if (c1 == 0 || c1 == n) return 0; // a single possible table
    const double p = c1 / n, q = (n - c1) / n;
    return LogBinomial(x, r1, p, q) + LogBinomial(c1 - x, r2, p, q) - LogBinomial(c1, n, p, q);
}

FisherFigures FisherExact(double a, double b, double c, double d)
{
    if (!(a >= 0 && b >= 0 && c >= 0 && d >= 0) || a + b + c + d == 0)
        return {Figure::None(Why::NoInput), Figure::None(Why::NoInput)};
    const double r1 = a + b, r2 = c + d, c1 = a + c;
    const Table table{r1, r2, c1, std::max(0.0, c1 - r2), std::min(r1, c1)};
    const double logObserved = table.LogP(a);
    const double mode = table.Mode();

    // Mid-P from the tail on a's side of the mode, where the terms fall.
    const int outward = a >= mode ? 1 : -1;
    const double beyond = (a == (outward > 0 ? table.hi : table.lo))
                              ? 0.0
                              : table.Tail(a + outward, outward > 0 ? table.Up(a) : table.Down(a), outward);
    const double observed = std::exp(logObserved);
    const double oneSided = observed * (beyond + 0.5);
    const double midP = std::min(1.0, 2 * std::min(oneSided, 1 - oneSided));

    // Two-sided: the tails [lo, left] and [right, hi] of the tables no more
    // probable than the observed one.
    const double limit = logObserved + std::log1p(kRelativeTolerance);
    const auto included = [&](double x) { return table.LogP(x) <= limit; };
    if (included(mode)) return {Figure::Of(1.0), Figure::Of(midP)};
    double sum = 0;
    if (table.lo < mode && included(table.lo)) {
        double in = table.lo, out = mode; // included(in), !included(out)
        while (out - in > 1) {
            const double middle = std::floor((in + out) / 2);
            (included(middle) ? in : out) = middle;
        }
        sum += table.Tail(in, std::exp(table.LogP(in) - logObserved), -1);
    }
    if (table.hi > mode && included(table.hi)) {
        double out = mode, in = table.hi;
        while (in - out > 1) {
            const double middle = std::floor((in + out) / 2);
            (included(middle) ? in : out) = middle;
        }
        sum += table.Tail(in, std::exp(table.LogP(in) - logObserved), 1);
    }
    return {Figure::Of(std::min(1.0, observed * sum)), Figure::Of(midP)};
}

namespace {

// Tables with more possible values of a than this get no conditional
// estimate: each step of the search below walks the whole support.
constexpr double kLargestSupport = 20000;

// The noncentral hypergeometric distribution of a at log odds ratio
// `logOr`: P(x) proportional to P0(x) OR^x, P0 the central one. Sums are
// taken as logs about their largest term, so no odds ratio overflows them.
struct Noncentral {
    double lo = 0;
    std::vector<double> logCentral; // log P0(lo + i)

    // log of the sum of P(x) over x in [from, to] (unnormalised).
    double LogSum(double logOr, double from, double to) const
    {
        const auto first = static_cast<std::size_t>(from - lo), last = static_cast<std::size_t>(to - lo);
        double top = -std::numeric_limits<double>::infinity();
        for (std::size_t i = first; i <= last; ++i)
            top = std::max(top, logCentral[i] + (lo + static_cast<double>(i)) * logOr);
        double sum = 0;
        for (std::size_t i = first; i <= last; ++i)
            sum += std::exp(logCentral[i] + (lo + static_cast<double>(i)) * logOr - top);
        return top + std::log(sum);
    }
    double Hi() const { return lo + static_cast<double>(logCentral.size()) - 1; }
    // P(X >= x) and P(X <= x).
    double Upper(double logOr, double x) const { return std::exp(LogSum(logOr, x, Hi()) - LogSum(logOr, lo, Hi())); }
    double Lower(double logOr, double x) const { return std::exp(LogSum(logOr, lo, x) - LogSum(logOr, lo, Hi())); }
    double Mean(double logOr) const
    {
        const double all = LogSum(logOr, lo, Hi());
        double mean = 0;
        for (std::size_t i = 0; i < logCentral.size(); ++i) {
            const double x = lo + static_cast<double>(i);
            mean += x * std::exp(logCentral[i] + x * logOr - all);
        }
        return mean;
    }
};

// The log odds ratio at which f, increasing in it, crosses `target`.
template <typename F>
double Solve(F f, double target)
{
    double low = -1, high = 1;
    while (f(low) > target && low > -1e4) low *= 2;
    while (f(high) < target && high < 1e4) high *= 2;
    for (int i = 0; i < 200 && high - low > 1e-14 * std::max(1.0, std::fabs(low)); ++i) {
        const double middle = (low + high) / 2;
        (f(middle) < target ? low : high) = middle;
    }
    return (low + high) / 2;
}

} // namespace

ConditionalOddsRatio ConditionalOddsRatioOf(double a, double b, double c, double d)
{
    ConditionalOddsRatio r;
    if (!(a >= 0 && b >= 0 && c >= 0 && d >= 0) || a + b + c + d == 0) {
        r.estimate = r.centralP = Figure::None(Why::NoInput);
        r.ci = {r.estimate, r.estimate};
        return r;
    }
    const double r1 = a + b, r2 = c + d, c1 = a + c;
    const Table table{r1, r2, c1, std::max(0.0, c1 - r2), std::min(r1, c1)};
    if (table.lo == table.hi) {
        // A zero margin: a single possible table, nothing to test.
        r.centralP = Figure::Of(1.0);
        r.estimate = Figure::None(Why::NoVariation);
        r.ci = {r.estimate, r.estimate};
        return r;
    }

    // The central P: the tail on a's far side from the mode is summed
    // outward, where its terms fall; the other one is its complement.
    const double observed = std::exp(table.LogP(a));
    const bool aboveMode = a >= table.Mode();
    const double far =
        observed * (a == (aboveMode ? table.hi : table.lo) ? 1.0 : table.Tail(a, 1.0, aboveMode ? 1 : -1));
    const double near = 1 - far + observed;
    r.centralP = Figure::Of(std::clamp(2 * std::min(far, near), 0.0, 1.0));

    // A zero cell puts a at an end of its support: the estimate is 0 or
    // infinite and the interval open on that side.
    if (a == table.lo || a == table.hi) {
        r.estimate = Figure::None(Why::ZeroCell);
        r.ci = {r.estimate, r.estimate};
        return r;
    }
    if (table.hi - table.lo + 1 > kLargestSupport) {
        r.estimate = Figure::None(Why::OutOfRange);
        r.ci = {r.estimate, r.estimate};
        return r;
    }
    Noncentral dist{table.lo, {}};
    for (double x = table.lo; x <= table.hi; ++x) dist.logCentral.push_back(table.LogP(x));
    r.estimate = Figure::Of(std::exp(Solve([&](double l) { return dist.Mean(l); }, a)));
    // P(X >= a) rises with the odds ratio and P(X <= a) falls.
    r.ci.low = Figure::Of(std::exp(Solve([&](double l) { return dist.Upper(l, a); }, 0.025)));
    r.ci.high = Figure::Of(std::exp(Solve([&](double l) { return -dist.Lower(l, a); }, -0.025)));
    return r;
}

} // namespace korvanta::stats
