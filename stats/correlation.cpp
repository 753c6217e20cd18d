// Pearson's correlation of Y with X, its t test against zero and the least
// squares line of Y on X, on the rows where both cells hold numbers:
//   lxy = sum xy - sum x sum y / n,  lxx = sum x^2 - (sum x)^2 / n,  lyy likewise;
//   r = lxy / sqrt(lxx lyy),  t_r = |r| / sqrt((1 - r^2) / (n - 2)) with n - 2 df;
//   b = lxy / lxx,  a = mean y - b mean x.
#include "stats/ttests.h"

#include "stats/numbertext.h"
#include "stats/panel.h"

#include <cmath>

namespace korvanta::stats {

namespace {

constexpr std::string_view kPerfectPositive = "完全正相关";
constexpr std::string_view kPerfectNegative = "完全负相关";

struct Sums {
    std::int64_t n = 0;
    Fixed4 x, y, xy;              // exact, each product x*y rounded to four places
    double xx = 0, yy = 0;        // in double
    bool allXEqual = true, allYEqual = true;
};

std::optional<Sums> Accumulate(Column xs, Column ys) {
    Sums sums;
    Fixed4 firstX, firstY;
    for (std::size_t k = 0; k < xs.size(); ++k) {
        // A cell that is empty or not a number leaves its row out.
        if (k >= ys.size() || !xs[k].isNumber() || !ys[k].isNumber()) continue;
        const Fixed4 x = xs[k].value, y = ys[k].value;
        const auto product = multiply(x, y);
        const auto sumX = add(sums.x, x);
        const auto sumY = add(sums.y, y);
        const auto sumXY = product ? add(sums.xy, *product) : std::nullopt;
        if (!sumX || !sumY || !sumXY) return std::nullopt;
        if (sums.n == 0) {
            firstX = x;
            firstY = y;
        }
        sums.allXEqual = sums.allXEqual && x == firstX;
        sums.allYEqual = sums.allYEqual && y == firstY;
        ++sums.n;
        sums.x = *sumX;
        sums.y = *sumY;
        sums.xy = *sumXY;
        sums.xx += xs[k].number * xs[k].number;
        sums.yy += ys[k].number * ys[k].number;
    }
    return sums;
}

} // namespace

CorrelationResult CorrelationRegression(Column xs, Column ys) {
    const auto sums = Accumulate(xs, ys);
    // Fewer than three pairs leave no degree of freedom; with all X equal
    // neither r nor the slope exists.
    if (!sums || sums->n < 3 || sums->allXEqual) return {};
    const double n = static_cast<double>(sums->n);
    const double sx = sums->x.toDouble(), sy = sums->y.toDouble();

    // Sums x times sum y is kept in fixed point while it fits; thousands of
    // rows of everyday values can pass the fixed-point range, where the
    // exact 128-bit product serves (its fifth decimal cannot matter there).
    const auto fixedProduct = multiply(sums->x, sums->y);
    const double productOfSums = fixedProduct
        ? fixedProduct->toDouble()
        : static_cast<double>(static_cast<__int128>(sums->x.units()) * sums->y.units()) / 1e8;
    // Equal Y values make lxy and lyy exactly zero; the rounding of the sums
    // must not turn them into a spurious slope or correlation.
    const double lxy = sums->allYEqual ? 0.0 : sums->xy.toDouble() - productOfSums / n;
    const double lxx = sums->xx - sx * sx / n;
    const double lyy = sums->allYEqual ? 0.0 : sums->yy - sy * sy / n;
    // A non-positive lxx (or lyy with unequal Y) is cancellation in the sums,
    // not a property of the data: there is nothing sound to show.
    if (!std::isfinite(lxx) || lxx <= 0) return {};
    if (!std::isfinite(lyy) || !std::isfinite(lxy) || (!sums->allYEqual && lyy <= 0)) return {};

    const double slope = lxy / lxx;
    const auto intercept = Fixed4::fromDouble(sy / n - slope * sx / n);
    if (!std::isfinite(slope) || !intercept) return {};
    std::string slopeText = detail::ShowFourDecimals(slope);
    if (slopeText.front() != '-') slopeText.insert(0, "+");

    const auto critical = LookupCriticalT(n - 2);
    if (!critical) return {};
    CorrelationResult result;
    result.pairs = std::to_string(sums->n);
    result.t05 = critical->t05;
    result.t01 = critical->t01;
    result.t001 = critical->t001;
    result.equation = "Y=" + FormatFourDecimals(FixedText(*intercept)) + slopeText + "X";

    if (sums->allYEqual) {
        // r is undefined (0 / 0); the line is flat, so the test of r finds nothing.
        result.tr = detail::ShowFourDecimals(0.0);
        result.verdict = JudgeTStatistic(0.0, *critical);
        return result;
    }
    const double spread = lxx * lyy;
    if (!std::isfinite(spread)) return {};
    const double r = lxy / std::sqrt(spread);
    if (!std::isfinite(r)) return {};
    result.r = detail::ShowFourDecimals(r);
    const double oneLessSquare = 1 - r * r;
    if (oneLessSquare <= 0) {
        // Every point on the line (|r| rounds to 1 or beyond): t_r is infinite.
        result.verdict = r > 0 ? kPerfectPositive : kPerfectNegative;
        return result;
    }
    const double tr = std::sqrt(r * r) / std::sqrt(oneLessSquare / (n - 2));
    if (!std::isfinite(tr)) return {};
    result.tr = detail::ShowFourDecimals(tr);
    result.verdict = JudgeTStatistic(tr, *critical);
    return result;
}

} // namespace korvanta::stats
