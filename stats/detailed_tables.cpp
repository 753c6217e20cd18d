// Detailed results of the 2x2 table.
//
// Four-fold table (rows: trial and control group; columns: positive and
// negative), n = a + b + c + d, D = (a + b)(c + d)(a + c)(b + d):
//   Pearson chi2 = n (ad - bc)^2 / D; Yates chi2 = n (|ad - bc| - n/2)^2 / D with
//   the correction never taking |ad - bc| below zero (a correction larger than
//   the deviation it corrects would invent one), both on 1 df;
//   Fisher's exact test; OR = ad / bc with Woolf's CI
//   exp(ln OR -+ 1.96 sqrt(1/a + 1/b + 1/c + 1/d)) and Miettinen's
//   test-based CIs OR^(1 -+ 1.96 / sqrt(chi2)) from the plain and the
//   corrected chi2 (each excludes 1 exactly when its own P < 0.05); for
//   Fisher's test the conditional estimate of OR with its central exact CI
//   and the central P (fisherexact.h); RR = [a/(a+b)] / [c/(c+d)]
//   with Katz's CI exp(ln RR -+ 1.96 sqrt(1/a - 1/(a+b) + 1/c - 1/(c+d)));
//   RD = a/(a+b) - c/(c+d) with the Wald CI; NNT = 1/|RD| when the method
//   that fits the table finds the difference significant at 0.05.
//   That method: Fisher's exact test when n < 40 or an expected count is
//   below 1, the corrected chi2 when an expected count is below 5, else chi2.
//
// Paired table (rows: after treatment +/-, columns: before treatment +/-):
//   McNemar chi2 = (b - c)^2 / (b + c), corrected (|b - c| - 1)^2 / (b + c)
//   (no correction when b = c), exact P = min(1, 2 P(X <= min(b, c))) for X
//   binomial (b + c, 1/2); the matched OR's exact CI from the Clopper-Pearson
//   CI (pL, pU) of b / (b + c) as pL / (1 - pL) ~ pU / (1 - pU), which
//   excludes 1 exactly when that exact P < 0.05; the difference of the paired proportions
//   (b - c)/n with SE sqrt((b + c) - (b - c)^2/n) / n (Fleiss, Statistical
//   Methods for Rates and Proportions, ch. 13); matched OR b/c with CI
//   exp(ln(b/c) -+ 1.96 sqrt(1/b + 1/c)); Cohen's kappa with the large-sample
//   SE of Fleiss, Cohen and Everitt (1969):
//     Var = [sum_i p_ii (1 - (p_i. + p_.i)(1 - k))^2
//            + (1 - k)^2 sum_(i != j) p_ij (p_.i + p_j.)^2
//            - (k - pe (1 - k))^2] / (n (1 - pe)^2).
#include "stats/detailed.h"

#include "stats/distributions.h"
#include "stats/exactfigures.h"
#include "stats/fisherexact.h"

#include <boost/math/special_functions/beta.hpp>

#include <algorithm>
#include <cmath>

namespace korvanta::stats {

namespace {

std::optional<double> ReadCount(std::string_view text)
{
    if (text.empty()) return 0.0;
    const auto value = ParseFixed4(text);
    if (!value || value->Units() < 0 || value->Units() % Fixed4::kScale != 0) return std::nullopt;
    return value->ToDouble();
}

// exp(ln estimate -+ 1.96 se).
Interval LogInterval(double estimate, double se)
{
    const double log = std::log(estimate);
    return {Figure::Of(std::exp(log - dist::kZ975 * se)), Figure::Of(std::exp(log + dist::kZ975 * se))};
}

// The table as exact counts (whole numbers within the fixed-point range,
// exact in a double).
TableFigures ExactTable(const Counts& counts)
{
    const auto exact = [](double count) { return Rational(static_cast<long long>(count)); };
    return {exact(counts.a), exact(counts.b), exact(counts.c), exact(counts.d)};
}

Figure FigureOf(const std::optional<Rational>& value, Why otherwise)
{
    return value ? Figure::Of(ToDouble(*value)) : Figure::None(otherwise);
}

Figure ChiSquareP(const Figure& chi2) { return chi2.Has() ? Figure::Of(dist::ChiSquareUpperP(chi2.value, 1)) : chi2; }

// OR^(1 -+ z / chi): none where the odds ratio is 0 or infinite or the
// statistic is 0 (the interval would be the whole line).
Interval TestBased(const Figure& oddsRatio, const Figure& chi2, Why zeroCell)
{
    if (!oddsRatio.Has() || oddsRatio.value <= 0) return {Figure::None(zeroCell), Figure::None(zeroCell)};
    if (!chi2.Has()) return {chi2, chi2};
    if (!(chi2.value > 0)) return {Figure::None(Why::NoVariation), Figure::None(Why::NoVariation)};
    const double log = std::log(oddsRatio.value), spread = dist::kZ975 / std::sqrt(chi2.value);
    const double one = std::exp(log * (1 - spread)), other = std::exp(log * (1 + spread));
    return {Figure::Of(std::min(one, other)), Figure::Of(std::max(one, other))};
}

} // namespace

std::optional<Counts> ReadCounts(const TableCells& cells)
{
    const auto a = ReadCount(cells.a), b = ReadCount(cells.b), c = ReadCount(cells.c), d = ReadCount(cells.d);
    if (!a || !b || !c || !d) return std::nullopt;
    return Counts{*a, *b, *c, *d};
}

FourFoldDetails FourFoldDetail(const TableCells& cells)
{
    FourFoldDetails r;
    const auto counts = ReadCounts(cells);
    const Why missing = !counts ? Why::NoInput : Why::TooFewCases;
    const Figure none = Figure::None(missing);
    r.n = r.chi2 = r.chi2P = r.yates = r.yatesP = r.fisherP = r.fisherMidP = none;
    r.risk1 = r.risk2 = r.oddsRatio = r.relativeRisk = r.riskDifference = r.nnt = none;
    r.fisherCentralP = r.conditionalOr = none;
    for (Figure& t : r.expected) t = none;
    r.orCi = r.rrCi = r.rdCi = r.orChi2Ci = r.orYatesCi = r.conditionalOrCi = {none, none};
    if (!counts) return r;
    const auto [a, b, c, d] = *counts;
    const double n = counts->N();
    r.n = Figure::Of(n);
    if (n == 0) return r;

    const double row1 = a + b, row2 = c + d;
    // Expected counts and both chi-squares from the same exact core as the panel's.
    const TableFigures table = ExactTable(*counts);
    const Rational exactN = table.Row1() + table.Row2();
    r.expected[0] = Figure::Of(ToDouble(table.Row1() * table.Col1() / exactN));
    r.expected[1] = Figure::Of(ToDouble(table.Row1() * table.Col2() / exactN));
    r.expected[2] = Figure::Of(ToDouble(table.Row2() * table.Col1() / exactN));
    r.expected[3] = Figure::Of(ToDouble(table.Row2() * table.Col2() / exactN));
    const double smallest =
        std::min({r.expected[0].value, r.expected[1].value, r.expected[2].value, r.expected[3].value});
    r.method = (n < 40 || smallest < 1) ? TableMethod::Fisher
               : smallest < 5           ? TableMethod::Yates
                                        : TableMethod::ChiSquare;

    // A zero margin leaves no statistic.
    r.chi2 = FigureOf(FourFoldChiSquareOf(table, exactN, false), Why::NoVariation);
    r.yates = FigureOf(FourFoldChiSquareOf(table, exactN, true), Why::NoVariation);
    r.chi2P = ChiSquareP(r.chi2);
    r.yatesP = ChiSquareP(r.yates);
    const FisherFigures fisher = FisherExact(a, b, c, d);
    r.fisherP = fisher.p;
    r.fisherMidP = fisher.midP;

    const Figure zeroCell = Figure::None(Why::ZeroCell);
    const Figure zeroRow = Figure::None(Why::NoVariation);
    r.oddsRatio = b * c > 0 ? Figure::Of(a * d / (b * c)) : zeroCell;
    r.orCi = {zeroCell, zeroCell};
    if (a > 0 && b > 0 && c > 0 && d > 0)
        r.orCi = LogInterval(r.oddsRatio.value, std::sqrt(1 / a + 1 / b + 1 / c + 1 / d));
    r.orChi2Ci = TestBased(r.oddsRatio, r.chi2, Why::ZeroCell);
    r.orYatesCi = TestBased(r.oddsRatio, r.yates, Why::ZeroCell);
    const ConditionalOddsRatio conditional = ConditionalOddsRatioOf(a, b, c, d);
    r.fisherCentralP = conditional.centralP;
    r.conditionalOr = conditional.estimate;
    r.conditionalOrCi = conditional.ci;

    if (row1 > 0 && row2 > 0) {
        const double p1 = a / row1, p2 = c / row2;
        r.risk1 = Figure::Of(p1);
        r.risk2 = Figure::Of(p2);
        r.relativeRisk = c > 0 ? Figure::Of(p1 / p2) : zeroCell;
        r.rrCi = {zeroCell, zeroCell};
        if (a > 0 && c > 0) r.rrCi = LogInterval(p1 / p2, std::sqrt(1 / a - 1 / row1 + 1 / c - 1 / row2));
        r.riskDifference = Figure::Of(p1 - p2);
        r.rdCi = dist::Around(p1 - p2, dist::kZ975, std::sqrt(p1 * (1 - p1) / row1 + p2 * (1 - p2) / row2));
        const Figure p = RecommendedP(r);
        if (!p.Has()) {
            r.nnt = p;
        } else if (p.value < 0.05 && p1 != p2) {
            r.nnt = Figure::Of(1 / std::fabs(p1 - p2));
        } else {
            r.nnt = Figure::None(Why::NotSignificant);
        }
    } else {
        r.risk1 = r.risk2 = r.relativeRisk = r.riskDifference = r.nnt = zeroRow;
        r.rrCi = r.rdCi = {zeroRow, zeroRow};
    }
    return r;
}

Figure RecommendedP(const FourFoldDetails& details)
{
    switch (details.method) {
    case TableMethod::ChiSquare:
        return details.chi2P;
    case TableMethod::Yates:
        return details.yatesP;
    case TableMethod::Fisher:
        return details.fisherCentralP;
    case TableMethod::None:
        break;
    }
    return Figure::None(details.n.Has() ? Why::TooFewCases : Why::NoInput);
}

OddsRatioFigures RecommendedOddsRatio(const FourFoldDetails& details)
{
    switch (details.method) {
    case TableMethod::ChiSquare:
        return {details.oddsRatio, details.orChi2Ci};
    case TableMethod::Yates:
        return {details.oddsRatio, details.orYatesCi};
    case TableMethod::Fisher:
        return {details.conditionalOr, details.conditionalOrCi};
    case TableMethod::None:
        break;
    }
    const Figure none = RecommendedP(details);
    return {none, {none, none}};
}

PairedTableDetails PairedTableDetail(const TableCells& cells)
{
    PairedTableDetails r;
    const auto counts = ReadCounts(cells);
    const Figure none = Figure::None(!counts ? Why::NoInput : Why::TooFewCases);
    r.n = r.mcnemar = r.mcnemarP = r.mcnemarCc = r.mcnemarCcP = r.exactP = r.pDiff = r.matchedOr = r.kappa = none;
    r.pDiffCi = r.matchedOrCi = r.kappaCi = r.matchedOrExactCi = {none, none};
    if (!counts) return r;
    const auto [a, b, c, d] = *counts;
    const double n = counts->N();
    r.n = Figure::Of(n);
    if (n == 0) return r;

    const double discordant = b + c;
    if (discordant > 0) {
        const TableFigures table = ExactTable(*counts);
        r.mcnemar = FigureOf(McNemarOf(table.b, table.c, false), Why::ZeroCell);
        r.mcnemarCc = FigureOf(McNemarOf(table.b, table.c, true), Why::ZeroCell);
        r.mcnemarP = ChiSquareP(r.mcnemar);
        r.mcnemarCcP = ChiSquareP(r.mcnemarCc);
        r.exactP = Figure::Of(std::min(1.0, 2 * dist::BinomialCdf(std::min(b, c), discordant, 0.5)));
    } else {
        r.mcnemar = r.mcnemarP = r.mcnemarCc = r.mcnemarCcP = r.exactP = Figure::None(Why::ZeroCell);
    }

    r.pDiff = Figure::Of((b - c) / n);
    r.pDiffCi =
        dist::Around((b - c) / n, dist::kZ975, std::sqrt(std::max(0.0, discordant - (b - c) * (b - c) / n)) / n);

    const Figure zeroCell = Figure::None(Why::ZeroCell);
    r.matchedOr = c > 0 ? Figure::Of(b / c) : zeroCell;
    r.matchedOrCi = (b > 0 && c > 0) ? LogInterval(b / c, std::sqrt(1 / b + 1 / c)) : Interval{zeroCell, zeroCell};
    r.matchedOrExactCi = {zeroCell, zeroCell};
    if (b > 0 && c > 0) {
        // Clopper-Pearson: the 2.5% and 97.5% points of Beta(b, c + 1) and
        // Beta(b + 1, c); p / (1 - p) = q / (1 - q) with 1 - q from the
        // mirrored beta, which keeps the digits of a limit near 1.
        const double low = boost::math::ibeta_inv(b, c + 1, 0.025);
        const double high = boost::math::ibeta_inv(b + 1, c, 0.975);
        const double lowRest = boost::math::ibeta_inv(c + 1, b, 0.975);
        const double highRest = boost::math::ibeta_inv(c, b + 1, 0.025);
        r.matchedOrExactCi = {Figure::Of(low / lowRest), Figure::Of(high / highRest)};
    }

    const double p11 = a / n, p12 = b / n, p21 = c / n, p22 = d / n;
    const double row1 = p11 + p12, row2 = p21 + p22, col1 = p11 + p21, col2 = p12 + p22;
    const double expected = row1 * col1 + row2 * col2;
    if (expected < 1) {
        const double k = (p11 + p22 - expected) / (1 - expected);
        r.kappa = Figure::Of(k);
        const double agree =
            p11 * std::pow(1 - (row1 + col1) * (1 - k), 2) + p22 * std::pow(1 - (row2 + col2) * (1 - k), 2);
        const double disagree = (1 - k) * (1 - k) * (p12 * std::pow(col1 + row2, 2) + p21 * std::pow(col2 + row1, 2));
        const double chance = std::pow(k - expected * (1 - k), 2);
        const double variance = (agree + disagree - chance) / (n * (1 - expected) * (1 - expected));
        r.kappaCi = dist::Around(k, dist::kZ975, std::sqrt(std::max(0.0, variance)));
    } else {
        // Every subject in one row and one column: chance agreement is total.
        r.kappa = Figure::None(Why::NoVariation);
        r.kappaCi = {r.kappa, r.kappa};
    }
    return r;
}

} // namespace korvanta::stats
