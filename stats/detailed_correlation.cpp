// Detailed results of the correlation of X (column 1) and Y (column 2) and
// the least-squares regression of Y on X, on the rows where both cells are
// numbers. Pearson's r, the line and its residual SD come from the exact sums
// the panel uses; Spearman's rho from the mid-ranks about their means.
//   r = lxy / sqrt(lxx lyy), t = r sqrt((n - 2)/(1 - r^2)) on n - 2 df,
//   95% CI of r: tanh(atanh r -+ 1.96 / sqrt(n - 3)) (Fisher's z),
//   b = lxy / lxx, a = mean y - b mean x, s = sqrt(sum e^2 / (n - 2)),
//   SE(b) = s / sqrt(lxx), SE(a) = s sqrt(1/n + mean x^2 / lxx),
//   Spearman's rho: r of the mid-ranks, P by the same t on n - 2 df.
#include "stats/detailed.h"

#include "stats/distributions.h"
#include "stats/exactfigures.h"
#include "stats/ranktests.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace korvanta::stats {

namespace {

struct Moments {
    double meanX = 0, meanY = 0, lxx = 0, lyy = 0, lxy = 0;
};

Moments MomentsOf(const std::vector<double>& x, const std::vector<double>& y)
{
    Moments m;
    const double n = static_cast<double>(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        m.meanX += x[i];
        m.meanY += y[i];
    }
    m.meanX /= n;
    m.meanY /= n;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double dx = x[i] - m.meanX, dy = y[i] - m.meanY;
        m.lxx += dx * dx;
        m.lyy += dy * dy;
        m.lxy += dx * dy;
    }
    return m;
}

// The correlation and the P of its t on n - 2 df; a perfect correlation has
// no finite t.
void Correlate(const Moments& m, double n, Figure& r, Figure& p)
{
    if (!(m.lxx > 0 && m.lyy > 0)) {
        r = p = Figure::None(Why::NoVariation);
        return;
    }
    const double value = std::clamp(m.lxy / std::sqrt(m.lxx * m.lyy), -1.0, 1.0);
    r = Figure::Of(value);
    if (std::fabs(value) == 1) {
        p = Figure::None(Why::PerfectFit);
        return;
    }
    p = Figure::Of(dist::StudentTwoSidedP(value * std::sqrt((n - 2) / (1 - value * value)), n - 2));
}

CoefficientFigures Coefficient(double estimate, double se, double df)
{
    CoefficientFigures c;
    c.estimate = Figure::Of(estimate);
    c.se = Figure::Of(se);
    c.ci = dist::Around(estimate, dist::StudentQuantile975(df), se);
    if (se > 0) {
        c.t = Figure::Of(estimate / se);
        c.p = Figure::Of(dist::StudentTwoSidedP(estimate / se, df));
    } else {
        // No residual scatter: a non-zero coefficient has an infinite t.
        c.t = c.p = Figure::None(estimate == 0 ? Why::NoVariation : Why::PerfectFit);
    }
    return c;
}

} // namespace

CorrelationDetails CorrelationDetail(Column xColumn, Column yColumn)
{
    std::vector<double> x, y;
    const std::size_t rows = std::min(xColumn.size(), yColumn.size());
    for (std::size_t k = 0; k < rows; ++k) {
        if (!xColumn[k].IsNumber() || !yColumn[k].IsNumber()) continue;
        x.push_back(xColumn[k].value.ToDouble());
        y.push_back(yColumn[k].value.ToDouble());
    }
    CorrelationDetails r;
    const double n = static_cast<double>(x.size());
    r.n = Figure::Of(n);
    const Figure fewer = Figure::None(Why::TooFewCases);
    r.r = r.rP = r.r2 = r.residualSd = r.spearmanRho = r.spearmanP = fewer;
    r.rCi = {fewer, fewer};
    r.slope = r.intercept = {fewer, fewer, fewer, fewer, {fewer, fewer}};
    if (x.size() < 3) return r;

    // Pearson's r and the line from the same exact sums as the panel's.
    const LineFigures line = LineOf(MomentsOf(xColumn, yColumn));
    Moments m;
    m.meanX = ToDouble(line.meanX);
    m.meanY = ToDouble(line.meanY);
    m.lxx = ToDouble(line.lxx);
    m.lyy = ToDouble(line.lyy);
    m.lxy = ToDouble(line.lxy);
    if (line.lxx > 0 && line.lyy > 0) {
        const double sign = line.lxy < 0 ? -1.0 : 1.0;
        r.r = Figure::Of(sign * RootToDouble(line.RSquared()));
        const auto trSquared = line.TrSquared();
        r.rP = trSquared ? Figure::Of(dist::StudentTwoSidedP(sign * RootToDouble(*trSquared), n - 2))
                         : Figure::None(Why::PerfectFit);
    } else {
        r.r = r.rP = Figure::None(Why::NoVariation);
    }
    if (r.r.Has()) {
        r.r2 = Figure::Of(r.r.value * r.r.value);
        if (x.size() >= 4) {
            const double z = std::atanh(r.r.value), half = dist::kZ975 / std::sqrt(n - 3);
            r.rCi = {Figure::Of(std::tanh(z - half)), Figure::Of(std::tanh(z + half))};
        }
    } else {
        r.r2 = r.r;
        r.rCi = {r.r, r.r};
    }

    const Ranking rx = MidRanks(x), ry = MidRanks(y);
    Correlate(MomentsOf(rx.ranks, ry.ranks), n, r.spearmanRho, r.spearmanP);
    // Identical or exactly reversed ranks are a perfect rank correlation,
    // however the sums round.
    if (r.spearmanRho.Has()) {
        const bool same = rx.ranks == ry.ranks;
        bool reversed = true;
        for (std::size_t i = 0; i < x.size() && reversed; ++i) reversed = rx.ranks[i] == n + 1 - ry.ranks[i];
        if (same || reversed) {
            r.spearmanRho = Figure::Of(same ? 1.0 : -1.0);
            r.spearmanP = Figure::None(Why::PerfectFit);
        }
    }

    if (!(m.lxx > 0)) {
        const Figure flat = Figure::None(Why::NoVariation);
        r.residualSd = flat;
        r.slope = r.intercept = {flat, flat, flat, flat, {flat, flat}};
        return r;
    }
    const double b = ToDouble(line.Slope());
    const double a = ToDouble(line.Intercept());
    const double df = n - 2;
    const double s = RootToDouble(line.ResidualVariance());
    r.residualSd = Figure::Of(s);
    r.slope = Coefficient(b, s / std::sqrt(m.lxx), df);
    r.intercept = Coefficient(a, s * std::sqrt(1 / n + m.meanX * m.meanX / m.lxx), df);
    return r;
}

} // namespace korvanta::stats
