// Power and sample size, two-sided at level alpha, z = z(1 - alpha/2) and
// zb = z(target power):
//   t tests:     the noncentral t (Boost.Math non_central_t). Two samples:
//                df = n1 + n2 - 2, ncp = |delta| / (sd sqrt(1/n1 + 1/n2));
//                paired: df = n - 1, ncp = |delta| sqrt(n) / sd. Power
//                P(T > t) + P(T < -t) at t = t(df, 1 - alpha/2), both tails
//                counted, as R's power.t.test(strict = TRUE) computes it.
//   correlation: Fisher's z, C = atanh|r| (Cohen 1988, ch. 3; Hulley et
//                al., Designing Clinical Research):
//                n = ((z + zb) / C)^2 + 3,
//                power = Phi(C sqrt(n - 3) - z) + Phi(-C sqrt(n - 3) - z).
//   proportions: the normal approximation with the pooled variance under the
//                null and the unpooled under the alternative (Fleiss, Levin
//                and Paik 2003, 4.14), groups n1 and n2 = k n1,
//                pbar = (p1 + k p2) / (1 + k), d = |p1 - p2|,
//                s0 = sqrt(pbar (1 - pbar) (1 + 1/k)),
//                s1 = sqrt(p1 (1 - p1) + p2 (1 - p2) / k):
//                power = Phi((d sqrt(n1) - z s0) / s1) + Phi((-d sqrt(n1) - z s0) / s1)
//                (at k = 1 R's power.prop.test(strict = TRUE)),
//                n1 = (z s0 + zb s1)^2 / d^2, and Fleiss' continuity
//                correction (4.19): n1' = n1/4 (1 + sqrt(1 + 2 (k + 1) / (n1 k d)))^2.
//   McNemar:     Connor (1987), psi = p10 + p01, delta = p10 - p01:
//                n = (z sqrt(psi) + zb sqrt(psi - delta^2))^2 / delta^2,
//                power = Phi((|delta| sqrt(n) - z sqrt(psi)) / sqrt(psi - delta^2)).
// The t tests and the proportions size is the smallest whole size whose
// power reaches the target (the second group rounded up to its ratio); the
// other sizes are their formulas rounded up.
#include "stats/power.h"

#include "stats/distributions.h"

#include <boost/math/distributions/non_central_t.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace korvanta::stats::power {

namespace {

using namespace boost::math::policies;
using Quiet = policy<domain_error<ignore_error>, pole_error<ignore_error>, overflow_error<ignore_error>,
                     evaluation_error<ignore_error>, rounding_error<ignore_error>>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double Phi(double x)
{
    if (std::isnan(x)) return kNaN;
    if (std::isinf(x)) return x > 0 ? 1 : 0;
    return boost::math::cdf(boost::math::normal_distribution<double, Quiet>(), x);
}

double UpperZ(double alpha) { return dist::NormalQuantile(1 - alpha / 2); }

bool Probability(double p) { return p > 0 && p < 1; }

// Power of a t statistic on df with noncentrality ncp >= 0, both tails.
double NoncentralTPower(double df, double ncp, double alpha)
{
    if (!(df >= 1) || !std::isfinite(ncp) || !Probability(alpha)) return kNaN;
    try {
        const boost::math::students_t_distribution<double, Quiet> central(df);
        const double t = boost::math::quantile(boost::math::complement(central, alpha / 2));
        const boost::math::non_central_t_distribution<double, Quiet> shifted(df, ncp);
        return boost::math::cdf(boost::math::complement(shifted, t)) + boost::math::cdf(shifted, -t);
    } catch (const std::exception&) {
        return kNaN;
    }
}

} // namespace

double SmallestSize(const std::function<double(double)>& powerAt, double least, double target)
{
    if (powerAt(least) >= target) return least;
    double low = least, high = least;
    do {
        low = high;
        high = std::min(high * 2, kLargestSize);
        const double p = powerAt(high);
        if (std::isnan(p)) return kNaN;
        if (p >= target) break;
        if (high >= kLargestSize) return kNaN;
    } while (true);
    // powerAt(low) < target <= powerAt(high)
    while (high - low > 1) {
        const double middle = std::floor((low + high) / 2);
        (powerAt(middle) >= target ? high : low) = middle;
    }
    return high;
}

double TwoSamplePower(double n1, double n2, double difference, double sd, double alpha)
{
    if (!(n1 > 0) || !(n2 > 0) || !(sd > 0)) return kNaN;
    return NoncentralTPower(n1 + n2 - 2, std::fabs(difference) / (sd * std::sqrt(1 / n1 + 1 / n2)), alpha);
}

double PairedPower(double n, double difference, double sd, double alpha)
{
    if (!(n > 0) || !(sd > 0)) return kNaN;
    return NoncentralTPower(n - 1, std::fabs(difference) * std::sqrt(n) / sd, alpha);
}

double CorrelationPower(double n, double r, double alpha)
{
    if (!(n > 3) || !(std::fabs(r) < 1) || !Probability(alpha)) return kNaN;
    const double shift = std::atanh(std::fabs(r)) * std::sqrt(n - 3), z = UpperZ(alpha);
    return Phi(shift - z) + Phi(-shift - z);
}

double CorrelationSize(double r, double alpha, double target)
{
    const double c = std::atanh(std::fabs(r));
    const double sum = UpperZ(alpha) + dist::NormalQuantile(target);
    return sum * sum / (c * c) + 3;
}

namespace {

struct ProportionsSpread {
    double d, s0, s1;
};

ProportionsSpread Spread(double p1, double p2, double ratio)
{
    const double pbar = (p1 + ratio * p2) / (1 + ratio);
    return {std::fabs(p1 - p2), std::sqrt(pbar * (1 - pbar) * (1 + 1 / ratio)),
            std::sqrt(p1 * (1 - p1) + p2 * (1 - p2) / ratio)};
}

} // namespace

double ProportionsPower(double n1, double n2, double p1, double p2, double alpha)
{
    if (!(n1 > 0) || !(n2 > 0) || !Probability(alpha)) return kNaN;
    const ProportionsSpread s = Spread(p1, p2, n2 / n1);
    if (!(s.s1 > 0)) return kNaN;
    const double z = UpperZ(alpha), shift = s.d * std::sqrt(n1);
    return Phi((shift - z * s.s0) / s.s1) + Phi((-shift - z * s.s0) / s.s1);
}

double ProportionsSize(double p1, double p2, double ratio, double alpha, double target)
{
    const ProportionsSpread s = Spread(p1, p2, ratio);
    const double root = UpperZ(alpha) * s.s0 + dist::NormalQuantile(target) * s.s1;
    return root * root / (s.d * s.d);
}

double ProportionsSizeCorrected(double p1, double p2, double ratio, double alpha, double target)
{
    const double n = ProportionsSize(p1, p2, ratio, alpha, target);
    const double d = std::fabs(p1 - p2);
    const double root = 1 + std::sqrt(1 + 2 * (ratio + 1) / (n * ratio * d));
    return n / 4 * root * root;
}

double McNemarPower(double n, double p10, double p01, double alpha)
{
    const double psi = p10 + p01, delta = p10 - p01;
    if (!(n > 0) || !(psi - delta * delta > 0) || !Probability(alpha)) return kNaN;
    return Phi((std::fabs(delta) * std::sqrt(n) - UpperZ(alpha) * std::sqrt(psi)) / std::sqrt(psi - delta * delta));
}

double McNemarSize(double p10, double p01, double alpha, double target)
{
    const double psi = p10 + p01, delta = p10 - p01;
    const double root = UpperZ(alpha) * std::sqrt(psi) + dist::NormalQuantile(target) * std::sqrt(psi - delta * delta);
    return root * root / (delta * delta);
}

} // namespace korvanta::stats::power
