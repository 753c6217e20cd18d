// What the plot of each test shows, computed from the test's inputs apart
// from any chart, so the numbers can be checked on their own:
//   mode 2: the points, the least-squares line of Y on X and its 95%
//           confidence band (of the mean of Y) and prediction band (of a
//           new Y), as t(n-2, 0.975) times the standard errors of a fit;
//   modes 0, 1: each group's values (mode 1: the pairs' differences) with
//           the mean and its 95% confidence interval, mean +- t(n-1, 0.975)
//           SD / sqrt(n); mode 0 takes mean, SD and n from the summary
//           boxes, as the test does;
//   modes 3, 4: the proportions of positives: per group (mode 3), or before
//           and after (mode 4, the paired table's column and row margins).
#pragma once

#include "stats/detailed.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace korvanta::ui::plot {

struct Point {
    double x = 0, y = 0;
};

struct RegressionPlot {
    std::vector<Point> points;
    std::string xName = "第一组", yName = "第二组"; // the groups, for the axes
    // The line and its bands, evaluated at `xs` (from the smallest to the
    // largest X); empty when there is no line (fewer than three pairs, or
    // every X equal).
    double intercept = 0, slope = 0;
    std::vector<double> xs, fit, confidenceLow, confidenceHigh, predictionLow, predictionHigh;
};

struct Interval {
    double low = 0, high = 0;
};

struct Group {
    std::string name;           // "第一组", "差值"
    std::vector<double> values; // the dots
    std::optional<double> mean;
    std::optional<Interval> ci;
};

struct GroupsPlot {
    std::vector<Group> groups;
    std::string firstName = "第一组", secondName = "第二组"; // for the differences' axis
    bool differences = false;                                // mode 1: a zero line is drawn
};

struct Proportion {
    std::string name;            // "试验组", "治疗前"
    std::optional<double> share; // positives / total, 0..1
    double positives = 0, total = 0;
};

struct ProportionsPlot {
    std::vector<Proportion> bars;
    std::string axisTitle; // "组别" or "时间"
};

// Power against the size, with the target power and the size it needs and
// the size the data have marked.
struct PowerCurvePlot {
    std::vector<Point> points; // x: the size, y: the power
    double target = 0.8;
    std::optional<double> required, present;
    std::string axisTitle; // "每组例数 n"
};

using PlotData = std::variant<std::monostate, RegressionPlot, GroupsPlot, ProportionsPlot, PowerCurvePlot>;

// The plot of the test. The groups carry the names given (UTF-8), the usual
// "第一组", "第二组" by default.
PlotData MakePlotData(stats::TestMode mode, const stats::DetailsInput& input, const std::string& firstName = "第一组",
                      const std::string& secondName = "第二组");

// True when the plot has anything to draw.
bool HasContent(const PlotData& data);

// Points at which the line and its bands are evaluated.
inline constexpr int kBandPoints = 61;

} // namespace korvanta::ui::plot
