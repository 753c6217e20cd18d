// The driver's view of the detailed results: one key and value per figure,
// in a fixed order, the value in the shortest text that reads back to the
// same double (std::to_chars without a precision).
#include "stats/detailed.h"

#include <charconv>
#include <cmath>

namespace korvanta::stats {

Figure Figure::Of(double value, Why otherwise)
{
    if (!std::isfinite(value)) return None(otherwise);
    return {value == 0 ? 0.0 : value, Why::Computed}; // no negative zero
}

bool Agrees(const Figure& p, const Interval& ci, double null)
{
    if (!p.Has() || !ci.low.Has() || !ci.high.Has()) return true;
    const bool excludes = null < ci.low.value || null > ci.high.value;
    return excludes == (p.value < 0.05);
}

Interval AgreeingWith(const Figure& p, const Interval& ci, double null)
{
    if (Agrees(p, ci, null)) return ci;
    return {Figure::None(Why::Disagrees), Figure::None(Why::Disagrees)};
}

std::string ShortestText(const Figure& figure)
{
    if (!figure.Has()) return "";
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, figure.value);
    return {buffer, result.ptr};
}

std::string_view MethodKey(TableMethod method)
{
    switch (method) {
    case TableMethod::ChiSquare:
        return "chi2";
    case TableMethod::Yates:
        return "yates";
    case TableMethod::Fisher:
        return "fisher";
    case TableMethod::None:
        break;
    }
    return "";
}

namespace {

struct Lister {
    FigureList list;
    Lister& operator()(const char* key, const Figure& figure)
    {
        list.emplace_back(key, ShortestText(figure));
        return *this;
    }
};

} // namespace

FigureList Figures(const TwoSampleDetails& r)
{
    Lister out;
    out("pooled.t", r.pooled.t)("pooled.df", r.pooled.df)("pooled.p", r.pooled.p);
    out("welch.t", r.welch.t)("welch.df", r.welch.df)("welch.p", r.welch.p);
    out("var.F", r.varF)("var.df1", r.varDf1)("var.df2", r.varDf2)("var.p", r.varP);
    out("diff", r.diff)("pooled.ci.low", r.pooled.ci.low)("pooled.ci.high", r.pooled.ci.high);
    out("welch.ci.low", r.welch.ci.low)("welch.ci.high", r.welch.ci.high);
    out("cohen.d", r.cohenD)("cohen.d.ci.low", r.cohenDCi.low)("cohen.d.ci.high", r.cohenDCi.high);
    out("hedges.g", r.hedgesG);
    if (r.rawData) {
        out("mw.U", r.mannWhitney.statistic)("mw.p", r.mannWhitney.p);
        out("sw1.W", r.sw1.w)("sw1.p", r.sw1.p)("sw2.W", r.sw2.w)("sw2.p", r.sw2.p);
    }
    return std::move(out.list);
}

FigureList Figures(const PairedDetails& r)
{
    Lister out;
    out("paired.t", r.paired.t)("paired.df", r.paired.df)("paired.p", r.paired.p);
    out("diff", r.diff)("ci.low", r.paired.ci.low)("ci.high", r.paired.ci.high)("dz", r.dz);
    out("sw.W", r.sw.w)("sw.p", r.sw.p)("wilcoxon.V", r.wilcoxon.statistic)("wilcoxon.p", r.wilcoxon.p);
    return std::move(out.list);
}

FigureList Figures(const CorrelationDetails& r)
{
    Lister out;
    out("r", r.r)("r.p", r.rP)("r.ci.low", r.rCi.low)("r.ci.high", r.rCi.high)("r2", r.r2);
    for (const auto& [name, c] : {std::pair{"slope", &r.slope}, std::pair{"intercept", &r.intercept}}) {
        const std::string key(name);
        out.list.emplace_back(key, ShortestText(c->estimate));
        out.list.emplace_back(key + ".se", ShortestText(c->se));
        out.list.emplace_back(key + ".t", ShortestText(c->t));
        out.list.emplace_back(key + ".p", ShortestText(c->p));
        out.list.emplace_back(key + ".ci.low", ShortestText(c->ci.low));
        out.list.emplace_back(key + ".ci.high", ShortestText(c->ci.high));
    }
    out("resid.sd", r.residualSd)("spearman.rho", r.spearmanRho)("spearman.p", r.spearmanP);
    return std::move(out.list);
}

FigureList Figures(const FourFoldDetails& r)
{
    Lister out;
    out("chi2", r.chi2)("chi2.p", r.chi2P)("yates", r.yates)("yates.p", r.yatesP);
    out("fisher.p", r.fisherP)("fisher.midp", r.fisherMidP);
    out("or", r.oddsRatio)("or.ci.low", r.orCi.low)("or.ci.high", r.orCi.high);
    out("rr", r.relativeRisk)("rr.ci.low", r.rrCi.low)("rr.ci.high", r.rrCi.high);
    out("rd", r.riskDifference)("rd.ci.low", r.rdCi.low)("rd.ci.high", r.rdCi.high);
    out("nnt", r.nnt);
    out.list.emplace_back("method", std::string(MethodKey(r.method)));
    out("fisher.central.p", r.fisherCentralP)("or.cmle", r.conditionalOr);
    out("or.cmle.ci.low", r.conditionalOrCi.low)("or.cmle.ci.high", r.conditionalOrCi.high);
    out("or.chi2.ci.low", r.orChi2Ci.low)("or.chi2.ci.high", r.orChi2Ci.high);
    out("or.yates.ci.low", r.orYatesCi.low)("or.yates.ci.high", r.orYatesCi.high);
    return std::move(out.list);
}

FigureList Figures(const PairedTableDetails& r)
{
    Lister out;
    out("mcnemar", r.mcnemar)("mcnemar.p", r.mcnemarP)("mcnemar.cc", r.mcnemarCc)("mcnemar.cc.p", r.mcnemarCcP);
    out("exact.p", r.exactP)("pdiff", r.pDiff)("pdiff.ci.low", r.pDiffCi.low)("pdiff.ci.high", r.pDiffCi.high);
    out("mor", r.matchedOr)("mor.ci.low", r.matchedOrCi.low)("mor.ci.high", r.matchedOrCi.high);
    out("kappa", r.kappa)("kappa.ci.low", r.kappaCi.low)("kappa.ci.high", r.kappaCi.high);
    out("mor.exact.ci.low", r.matchedOrExactCi.low)("mor.exact.ci.high", r.matchedOrExactCi.high);
    return std::move(out.list);
}

FigureList DetailFigures(TestMode mode, const DetailsInput& input)
{
    switch (mode) {
    case TestMode::TwoSample:
        return Figures(TwoSampleDetail(input.summary, input.first, input.second));
    case TestMode::PairedT:
        return Figures(PairedDetail(input.first, input.second));
    case TestMode::Correlation:
        return Figures(CorrelationDetail(input.first, input.second));
    case TestMode::FourFold:
        return Figures(FourFoldDetail(input.table));
    case TestMode::PairedChiSquare:
        return Figures(PairedTableDetail(input.table));
    }
    return {};
}

} // namespace korvanta::stats
