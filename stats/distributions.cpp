// Thin wrappers over Boost.Math. Its default policy throws on a domain error
// or an overflow; the details treat any such case as a figure that cannot be
// computed, so the policy here returns NaN (or infinity) instead.
#include "stats/distributions.h"

#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/non_central_t.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/tools/roots.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace korvanta::stats::dist {

namespace {

using namespace boost::math::policies;
using Quiet = policy<domain_error<ignore_error>, pole_error<ignore_error>, overflow_error<ignore_error>,
                     evaluation_error<ignore_error>, rounding_error<ignore_error>>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool Valid(double df) { return std::isfinite(df) && df > 0; }

// Some of Boost's internal steps (integer truncation in long series) throw
// whatever the policy says; a figure that fails there has no value.
template <typename F>
double Guarded(F compute)
{
    try {
        return compute();
    } catch (const std::exception&) {
        return kNaN;
    }
}

// Beyond this |t| the noncentral t's series take tens of milliseconds per
// evaluation and the interval says nothing a clinician could use.
constexpr double kLargestNoncentralT = 1000;

} // namespace

double StudentTwoSidedP(double t, double df)
{
    if (!Valid(df) || std::isnan(t)) return kNaN;
    if (std::isinf(t)) return 0;
    return Guarded([&] {
        const boost::math::students_t_distribution<double, Quiet> dist(df);
        return 2 * cdf(complement(dist, std::fabs(t)));
    });
}

double StudentQuantile975(double df)
{
    if (!Valid(df)) return kNaN;
    return Guarded([&] {
        const boost::math::students_t_distribution<double, Quiet> dist(df);
        return quantile(complement(dist, 0.025));
    });
}

double ChiSquareUpperP(double x, double df)
{
    if (!Valid(df) || !std::isfinite(x) || x < 0) return kNaN;
    return Guarded([&] {
        const boost::math::chi_squared_distribution<double, Quiet> dist(df);
        return cdf(complement(dist, x));
    });
}

double FTwoSidedP(double f, double df1, double df2)
{
    if (!Valid(df1) || !Valid(df2) || !std::isfinite(f) || f < 0) return kNaN;
    return Guarded([&] {
        const boost::math::fisher_f_distribution<double, Quiet> dist(df1, df2);
        return 2 * std::min(cdf(dist, f), cdf(complement(dist, f)));
    });
}

double NormalTwoSidedP(double z)
{
    if (std::isnan(z)) return kNaN;
    if (std::isinf(z)) return 0;
    return Guarded([&] {
        const boost::math::normal_distribution<double, Quiet> dist;
        return 2 * cdf(complement(dist, std::fabs(z)));
    });
}

double NormalQuantile(double p)
{
    return Guarded([&] {
        const boost::math::normal_distribution<double, Quiet> dist;
        return quantile(dist, p);
    });
}

double BinomialCdf(double k, double n, double p)
{
    if (!(n >= 0) || !(k >= 0)) return kNaN;
    if (k >= n) return 1;
    return Guarded([&] {
        const boost::math::binomial_distribution<double, Quiet> dist(n, p);
        return cdf(dist, k);
    });
}

Interval NoncentralityInterval(double t, double df)
{
    if (!Valid(df) || !std::isfinite(t)) return {Figure::None(Why::NoVariation), Figure::None(Why::NoVariation)};
    if (std::fabs(t) > kLargestNoncentralT) return {Figure::None(Why::OutOfRange), Figure::None(Why::OutOfRange)};
    // P(T <= t | delta) falls from 1 to 0 as delta grows.
    const auto below = [&](double delta) {
        const boost::math::non_central_t_distribution<double, Quiet> dist(df, delta);
        return cdf(dist, t);
    };
    const auto solve = [&](double target) -> Figure {
        const auto f = [&](double delta) { return below(delta) - target; };
        // Bracket the root by stepping away from delta = t, where the
        // probability is near one half, in doubling steps.
        const double direction = f(t) > 0 ? 1 : -1;
        double near = t, step = 1, far = t + direction * step;
        for (int i = 0; i < 60 && f(far) * direction > 0; ++i) {
            near = far;
            step *= 2;
            far = t + direction * step;
        }
        double lo = std::min(near, far), hi = std::max(near, far);
        double flo = f(lo), fhi = f(hi);
        if (!(flo >= 0 && fhi <= 0)) return Figure::None(Why::OutOfRange);
        std::uintmax_t iterations = 200;
        const auto root = boost::math::tools::toms748_solve(
            f, lo, hi, flo, fhi, boost::math::tools::eps_tolerance<double>(50), iterations, Quiet());
        return Figure::Of((root.first + root.second) / 2);
    };
    try {
        return {solve(0.975), solve(0.025)};
    } catch (const std::exception&) {
        return {Figure::None(Why::OutOfRange), Figure::None(Why::OutOfRange)};
    }
}

Interval Around(double estimate, double multiplier, double se)
{
    return {Figure::Of(estimate - multiplier * se), Figure::Of(estimate + multiplier * se)};
}

} // namespace korvanta::stats::dist
