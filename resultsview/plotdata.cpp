#include "resultsview/plotdata.h"

#include "stats/numbertext.h"

#include <QCoreApplication>

#include <boost/math/distributions/students_t.hpp>

#include <algorithm>
#include <cmath>

namespace korvanta::ui::plot {

namespace {
// The texts of this file, for the translation.
struct Words {
    Q_DECLARE_TR_FUNCTIONS(korvanta::ui::PlotData)
};
} // namespace
namespace {

std::optional<double> T975(double df)
{
    if (!(df >= 1) || !std::isfinite(df)) return std::nullopt;
    try {
        return boost::math::quantile(boost::math::students_t_distribution<double>(df), 0.975);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::vector<double> Numbers(stats::Column column)
{
    std::vector<double> values;
    for (const stats::CellValue& cell : column)
        if (cell.IsNumber()) values.push_back(cell.number);
    return values;
}

std::optional<Interval> MeanInterval(double mean, double sd, double n)
{
    const std::optional<double> t = T975(n - 1);
    if (!t || !(sd >= 0) || !std::isfinite(sd)) return std::nullopt;
    const double half = *t * sd / std::sqrt(n);
    return Interval{mean - half, mean + half};
}

Group GroupOf(std::string name, std::vector<double> values)
{
    Group group;
    group.name = std::move(name);
    group.values = std::move(values);
    const double n = static_cast<double>(group.values.size());
    if (group.values.empty()) return group;
    double sum = 0;
    for (double v : group.values) sum += v;
    const double mean = sum / n;
    group.mean = mean;
    if (group.values.size() >= 2) {
        double squares = 0;
        for (double v : group.values) squares += (v - mean) * (v - mean);
        group.ci = MeanInterval(mean, std::sqrt(squares / (n - 1)), n);
    }
    return group;
}

GroupsPlot TwoSamples(const stats::DetailsInput& input, const std::string& firstName, const std::string& secondName)
{
    GroupsPlot plot;
    const std::string_view boxes[2][3] = {{input.summary.x1, input.summary.s1, input.summary.n1},
                                          {input.summary.x2, input.summary.s2, input.summary.n2}};
    const stats::Column columns[2] = {input.first, input.second};
    const std::string names[2] = {firstName, secondName};
    for (int g = 0; g < 2; ++g) {
        Group group;
        group.name = names[g];
        group.values = Numbers(columns[g]);
        // The test's own figures: the boxes may have been typed without data.
        const auto mean = stats::ParseDouble(boxes[g][0]);
        const auto sd = stats::ParseDouble(boxes[g][1]);
        const auto n = stats::ParseDouble(boxes[g][2]);
        if (mean) group.mean = *mean;
        if (mean && sd && n) group.ci = MeanInterval(*mean, *sd, *n);
        plot.groups.push_back(std::move(group));
    }
    return plot;
}

GroupsPlot Differences(const stats::DetailsInput& input)
{
    std::vector<double> differences;
    const std::size_t rows = std::min(input.first.size(), input.second.size());
    for (std::size_t k = 0; k < rows; ++k)
        if (input.first[k].IsNumber() && input.second[k].IsNumber())
            differences.push_back(input.first[k].number - input.second[k].number);
    GroupsPlot plot;
    plot.differences = true;
    plot.groups.push_back(GroupOf(Words::tr("差值").toStdString(), std::move(differences)));
    return plot;
}

RegressionPlot Regression(const stats::DetailsInput& input)
{
    RegressionPlot plot;
    const std::size_t rows = std::min(input.first.size(), input.second.size());
    for (std::size_t k = 0; k < rows; ++k)
        if (input.first[k].IsNumber() && input.second[k].IsNumber())
            plot.points.push_back({input.first[k].number, input.second[k].number});
    const double n = static_cast<double>(plot.points.size());
    if (plot.points.size() < 3) return plot;
    double mx = 0, my = 0;
    for (const Point& p : plot.points) {
        mx += p.x;
        my += p.y;
    }
    mx /= n;
    my /= n;
    double sxx = 0, sxy = 0;
    for (const Point& p : plot.points) {
        sxx += (p.x - mx) * (p.x - mx);
        sxy += (p.x - mx) * (p.y - my);
    }
    const std::optional<double> t = T975(n - 2);
    if (!(sxx > 0) || !std::isfinite(sxx) || !t) return plot;
    plot.slope = sxy / sxx;
    plot.intercept = my - plot.slope * mx;
    double residuals = 0;
    for (const Point& p : plot.points) {
        const double e = p.y - (plot.intercept + plot.slope * p.x);
        residuals += e * e;
    }
    const double s = std::sqrt(residuals / (n - 2));
    const auto [low, high] = std::minmax_element(plot.points.begin(), plot.points.end(),
                                                 [](const Point& a, const Point& b) { return a.x < b.x; });
    for (int i = 0; i < kBandPoints; ++i) {
        const double x = low->x + (high->x - low->x) * i / (kBandPoints - 1);
        const double fit = plot.intercept + plot.slope * x;
        const double lever = 1 / n + (x - mx) * (x - mx) / sxx;
        const double ci = *t * s * std::sqrt(lever);
        const double pi = *t * s * std::sqrt(1 + lever);
        plot.xs.push_back(x);
        plot.fit.push_back(fit);
        plot.confidenceLow.push_back(fit - ci);
        plot.confidenceHigh.push_back(fit + ci);
        plot.predictionLow.push_back(fit - pi);
        plot.predictionHigh.push_back(fit + pi);
    }
    return plot;
}

Proportion Share(std::string name, double positives, double total)
{
    Proportion p;
    p.name = std::move(name);
    p.positives = positives;
    p.total = total;
    if (total > 0) p.share = positives / total;
    return p;
}

ProportionsPlot Proportions(stats::TestMode mode, const stats::DetailsInput& input)
{
    ProportionsPlot plot;
    const std::optional<stats::Counts> counts = stats::ReadCounts(input.table);
    const stats::Counts c = counts.value_or(stats::Counts{});
    if (mode == stats::TestMode::FourFold) {
        plot.axisTitle = Words::tr("组别").toStdString();
        plot.bars = {Share(Words::tr("试验组").toStdString(), c.a, c.a + c.b),
                     Share(Words::tr("对照组").toStdString(), c.c, c.c + c.d)};
    } else {
        // Rows are after treatment, columns before.
        plot.axisTitle = Words::tr("时间").toStdString();
        plot.bars = {Share(Words::tr("治疗前").toStdString(), c.a + c.c, c.N()),
                     Share(Words::tr("治疗后").toStdString(), c.a + c.b, c.N())};
    }
    if (!counts)
        for (Proportion& bar : plot.bars) bar.share.reset();
    return plot;
}

} // namespace

PlotData MakePlotData(stats::TestMode mode, const stats::DetailsInput& input, const std::string& firstName,
                      const std::string& secondName)
{
    switch (mode) {
    case stats::TestMode::TwoSample:
        return TwoSamples(input, firstName, secondName);
    case stats::TestMode::PairedT: {
        GroupsPlot plot = Differences(input);
        plot.firstName = firstName;
        plot.secondName = secondName;
        return plot;
    }
    case stats::TestMode::Correlation: {
        RegressionPlot plot = Regression(input);
        plot.xName = firstName;
        plot.yName = secondName;
        return plot;
    }
    case stats::TestMode::FourFold:
    case stats::TestMode::PairedChiSquare:
        return Proportions(mode, input);
    }
    return std::monostate{};
}

bool HasContent(const PlotData& data)
{
    if (const auto* r = std::get_if<RegressionPlot>(&data)) return !r->points.empty();
    if (const auto* g = std::get_if<GroupsPlot>(&data))
        return std::any_of(g->groups.begin(), g->groups.end(),
                           [](const Group& group) { return !group.values.empty() || group.mean; });
    if (const auto* p = std::get_if<ProportionsPlot>(&data))
        return std::any_of(p->bars.begin(), p->bars.end(), [](const Proportion& bar) { return bar.share.has_value(); });
    if (const auto* c = std::get_if<PowerCurvePlot>(&data)) return !c->points.empty();
    return false;
}

} // namespace korvanta::ui::plot
