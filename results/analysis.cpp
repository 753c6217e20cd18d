#include "results/analysis.h"

#include <algorithm>
#include <cmath>

namespace korvanta::results::detail {

namespace {

// Means and SDs carry one decimal more than the data, at most four.
int SummaryDecimals(int dataDecimals) { return std::min(dataDecimals + 1, 4); }

bool NonNormal(const stats::NormalityFigures& sw, double n)
{
    return sw.p.Has() && sw.p.value < 0.05 && n < kSmallSample;
}

Group GroupOf(const stats::SampleFigures& figures, int decimals)
{
    return {stats::ToDouble(figures.count), stats::ToDouble(figures.mean), stats::RootToDouble(figures.variance),
            decimals};
}

} // namespace

std::string MeanSd(double mean, double sd, int decimals) { return Fixed(mean, decimals) + " ± " + Fixed(sd, decimals); }

std::optional<TwoSample> AnalyseTwoSample(const stats::DetailsInput& input)
{
    TwoSample r;
    r.details = stats::TwoSampleDetail(input.summary, input.first, input.second);
    const auto groups = stats::ReadTwoSampleGroups(input.summary);
    if (!groups) return std::nullopt;
    const std::string_view means[2] = {input.summary.x1, input.summary.x2};
    const std::string_view sds[2] = {input.summary.s1, input.summary.s2};
    const stats::Column columns[2] = {input.first, input.second};
    const stats::SampleFigures* figures[2] = {&groups->first, &groups->second};
    for (int g = 0; g < 2; ++g) {
        // A box that still shows its column's summary: the column's
        // decimals; a typed box: as typed.
        const int decimals = input.summary.exactMean[g] ? SummaryDecimals(MostDecimals(columns[g]))
                                                        : std::max(TypedDecimals(means[g]), TypedDecimals(sds[g]));
        r.groups[g] = GroupOf(*figures[g], decimals);
    }
    r.welch = stats::PreferWelch(r.details);
    if (!r.Test().t.Has()) return std::nullopt;
    if (r.details.rawData) {
        r.nonNormal[0] = NonNormal(r.details.sw1, r.groups[0].n);
        r.nonNormal[1] = NonNormal(r.details.sw2, r.groups[1].n);
    }
    return r;
}

std::optional<Paired> AnalysePaired(const stats::DetailsInput& input)
{
    Paired r;
    r.details = stats::PairedDetail(input.first, input.second);
    if (!r.details.paired.t.Has()) return std::nullopt;
    const stats::PairMoments moments = stats::MomentsOf(input.first, input.second);
    const int decimals[2] = {SummaryDecimals(MostDecimals(input.first)), SummaryDecimals(MostDecimals(input.second))};
    const stats::ExactSum* sums[2][2] = {{&moments.x, &moments.xx}, {&moments.y, &moments.yy}};
    for (int c = 0; c < 2; ++c) {
        stats::ColumnMoments column;
        column.n = moments.n;
        column.sum = *sums[c][0];
        column.squares = *sums[c][1];
        const auto sample = stats::SampleOf(column);
        if (!sample) return std::nullopt;
        r.columns[c] = GroupOf(*sample, decimals[c]);
    }
    const stats::DifferenceFigures d = stats::DifferencesOf(moments);
    r.difference = {static_cast<double>(d.n), stats::ToDouble(d.mean), stats::RootToDouble(d.variance),
                    std::max(decimals[0], decimals[1])};
    r.nonNormal = NonNormal(r.details.sw, r.difference.n);
    return r;
}

std::optional<Correlation> AnalyseCorrelation(const stats::DetailsInput& input)
{
    Correlation r;
    r.details = stats::CorrelationDetail(input.first, input.second);
    if (!r.details.r.Has() || !r.details.rP.Has()) return std::nullopt;
    r.rCi = stats::AgreeingWith(r.details.rP, r.details.rCi, 0);
    return r;
}

std::optional<FourFold> AnalyseFourFold(const stats::DetailsInput& input)
{
    FourFold r;
    r.details = stats::FourFoldDetail(input.table);
    const auto counts = stats::ReadCounts(input.table);
    r.p = stats::RecommendedP(r.details);
    if (!counts || !r.p.Has()) return std::nullopt;
    r.counts = *counts;
    r.statistic = r.details.method == stats::TableMethod::Yates       ? r.details.yates
                  : r.details.method == stats::TableMethod::ChiSquare ? r.details.chi2
                                                                      : stats::Figure::None(stats::Why::NoInput);
    r.odds = stats::RecommendedOddsRatio(r.details);
    return r;
}

std::optional<PairedTable> AnalysePairedTable(const stats::DetailsInput& input)
{
    PairedTable r;
    r.details = stats::PairedTableDetail(input.table);
    const auto counts = stats::ReadCounts(input.table);
    if (!counts) return std::nullopt;
    r.counts = *counts;
    r.corrected = counts->b + counts->c < 40;
    r.statistic = r.corrected ? r.details.mcnemarCc : r.details.mcnemar;
    r.p = r.corrected ? r.details.mcnemarCcP : r.details.mcnemarP;
    if (!r.p.Has()) return std::nullopt;
    return r;
}

} // namespace korvanta::results::detail
