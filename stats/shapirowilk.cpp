// Shapiro-Wilk W by Royston's approximations: the coefficients and the
// normalising transformation of W from Royston (1992), "Approximating the
// Shapiro-Wilk W-test for non-normality", Statistics and Computing 2,
// 117-119, as extended to n = 3 and 4..11 in Royston (1995), Algorithm AS R94,
// Applied Statistics 44, 547-551.
//
//   m_i = Phi^-1((i - 3/8) / (n + 1/4)),  M = sum m_i^2,  u = 1/sqrt(n)
//   a_n     = m_n / sqrt(M)     + 0.2211u - 0.147981u^2 - 2.071190u^3 + 4.434685u^4 - 2.706056u^5
//   a_(n-1) = m_(n-1) / sqrt(M) + 0.042981u - 0.293762u^2 - 1.752461u^3 + 5.682633u^4 - 3.582633u^5   (n > 5)
//   the other a_i = m_i / sqrt(phi), phi chosen so that sum a_i^2 = 1; a_1 = -a_n, a_2 = -a_(n-1).
//   W = (sum a_i x_(i))^2 / sum (x_i - mean)^2
// P: n = 3 exactly, 6/pi (asin sqrt W - asin sqrt(3/4)); 4 <= n <= 11,
// z = (-ln(gamma - ln(1 - W)) - mu) / sigma with polynomials in n; n >= 12,
// z = (ln(1 - W) - mu) / sigma with polynomials in ln n; P = 1 - Phi(z).
#include "stats/shapirowilk.h"

#include "stats/distributions.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace korvanta::stats {

namespace {

constexpr std::size_t kMinimum = 3;
constexpr std::size_t kMaximum = 5000;

double Polynomial(std::initializer_list<double> coefficients, double x)
{
    // c0 + c1 x + c2 x^2 + ..., by Horner's rule from the highest power.
    double sum = 0;
    for (auto c = std::rbegin(coefficients); c != std::rend(coefficients); ++c) sum = sum * x + *c;
    return sum;
}

// The coefficients a_1 .. a_n (antisymmetric; only the upper half is used).
std::vector<double> Coefficients(std::size_t count)
{
    const double n = static_cast<double>(count);
    std::vector<double> a(count, 0.0);
    if (count == 3) {
        a[2] = std::numbers::sqrt2 / 2;
        a[0] = -a[2];
        return a;
    }
    std::vector<double> m(count);
    double sumSquares = 0;
    for (std::size_t i = 0; i < count; ++i) {
        m[i] = dist::NormalQuantile((static_cast<double>(i + 1) - 0.375) / (n + 0.25));
        sumSquares += m[i] * m[i];
    }
    const double u = 1 / std::sqrt(n);
    const double root = std::sqrt(sumSquares);
    const double last = m[count - 1];
    a[count - 1] = last / root + Polynomial({0, 0.221157, -0.147981, -2.071190, 4.434685, -2.706056}, u);
    double phi = 0;
    std::size_t fixed = 1; // extreme coefficients on each side set by the polynomials
    if (count > 5) {
        const double nextToLast = m[count - 2];
        a[count - 2] = nextToLast / root + Polynomial({0, 0.042981, -0.293762, -1.752461, 5.682633, -3.582633}, u);
        phi = (sumSquares - 2 * last * last - 2 * nextToLast * nextToLast) /
              (1 - 2 * a[count - 1] * a[count - 1] - 2 * a[count - 2] * a[count - 2]);
        fixed = 2;
    } else {
        phi = (sumSquares - 2 * last * last) / (1 - 2 * a[count - 1] * a[count - 1]);
    }
    for (std::size_t i = 0; i < fixed; ++i) a[i] = -a[count - 1 - i];
    for (std::size_t i = fixed; i < count - fixed; ++i) a[i] = m[i] / std::sqrt(phi);
    return a;
}

double PValue(double w, std::size_t count)
{
    const double n = static_cast<double>(count);
    if (count == 3) {
        const double p = 6 / std::numbers::pi * (std::asin(std::sqrt(w)) - std::asin(std::sqrt(0.75)));
        return std::clamp(p, 0.0, 1.0);
    }
    double z = 0;
    if (count <= 11) {
        const double gamma = Polynomial({-2.273, 0.459}, n);
        const double mu = Polynomial({0.5440, -0.39978, 0.025054, -0.0006714}, n);
        const double sigma = std::exp(Polynomial({1.3822, -0.77857, 0.062767, -0.0020322}, n));
        z = (-std::log(gamma - std::log1p(-w)) - mu) / sigma;
    } else {
        const double ln = std::log(n);
        const double mu = Polynomial({-1.5861, -0.31082, -0.083751, 0.0038915}, ln);
        const double sigma = std::exp(Polynomial({-0.4803, -0.082676, 0.0030302}, ln));
        z = (std::log1p(-w) - mu) / sigma;
    }
    return 0.5 * std::erfc(z / std::numbers::sqrt2); // 1 - Phi(z)
}

} // namespace

NormalityFigures ShapiroWilk(std::span<const double> values)
{
    const std::size_t count = values.size();
    if (count < kMinimum) return {Figure::None(Why::TooFewCases), Figure::None(Why::TooFewCases)};
    if (count > kMaximum) return {Figure::None(Why::TooManyCases), Figure::None(Why::TooManyCases)};
    std::vector<double> x(values.begin(), values.end());
    std::sort(x.begin(), x.end());
    if (x.front() == x.back()) return {Figure::None(Why::NoVariation), Figure::None(Why::NoVariation)};

    double mean = 0;
    for (double v : x) mean += v;
    mean /= static_cast<double>(count);
    double sumSquares = 0;
    for (double v : x) sumSquares += (v - mean) * (v - mean);

    const std::vector<double> a = Coefficients(count);
    double linear = 0;
    for (std::size_t i = 0; i < count; ++i) linear += a[i] * (x[i] - mean);
    // W cannot exceed 1 (sum a_i^2 = 1); rounding must not push it over.
    const double w = std::min(1.0, linear * linear / sumSquares);
    return {Figure::Of(w), Figure::Of(PValue(w, count))};
}

} // namespace korvanta::stats
