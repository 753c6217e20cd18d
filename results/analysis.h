// Internal to the results library: the figures of the current test as the
// journal table and the results text both report them, with the choices the
// details window makes (Welch's t, the rank test beside a small non-normal
// sample, the 2x2 table's method, McNemar's correction).
#pragma once

#include "results/resultsformat.h"

#include <optional>

namespace korvanta::results::detail {

// Shapiro-Wilk rejects normality only matters for small samples.
inline constexpr double kSmallSample = 30;

struct Group {
    double n = 0, mean = 0, sd = 0;
    int decimals = 1;
};
// "12.35 ± 2.10"
std::string MeanSd(double mean, double sd, int decimals);

struct TwoSample {
    stats::TwoSampleDetails details;
    Group groups[2];
    bool welch = false;
    // The t test the figures call for.
    const stats::TFigures& Test() const { return welch ? details.welch : details.pooled; }
    bool nonNormal[2] = {false, false}; // Shapiro-Wilk P < 0.05 with n < 30
};
std::optional<TwoSample> AnalyseTwoSample(const stats::DetailsInput& input);

struct Paired {
    stats::PairedDetails details;
    Group columns[2], difference;
    bool nonNormal = false; // of the differences
};
std::optional<Paired> AnalysePaired(const stats::DetailsInput& input);

struct Correlation {
    stats::CorrelationDetails details;
    stats::Interval rCi; // only where it agrees with r's P
};
std::optional<Correlation> AnalyseCorrelation(const stats::DetailsInput& input);

struct FourFold {
    stats::FourFoldDetails details;
    stats::Counts counts;
    stats::Figure statistic, p; // the recommended method's
    stats::OddsRatioFigures odds;
};
std::optional<FourFold> AnalyseFourFold(const stats::DetailsInput& input);

struct PairedTable {
    stats::PairedTableDetails details;
    stats::Counts counts;
    bool corrected = false; // b + c < 40, as the panel
    stats::Figure statistic, p;
};
std::optional<PairedTable> AnalysePairedTable(const stats::DetailsInput& input);

} // namespace korvanta::results::detail
