// Count, mean and standard deviation of one data column for the two-sample
// test's summary boxes:  sd = sqrt((sum x^2 - (sum x)^2 / n) / (n - 1)),
// exact from the column's sums.
#include "stats/ttests.h"

#include "stats/numbertext.h"

namespace korvanta::stats {

ColumnSummary SummariseColumn(Column column) { return SummariseColumn(MomentsOf(column)); }

ColumnSummary SummariseColumn(const ColumnMoments& moments)
{
    ColumnSummary summary;
    summary.countText = std::to_string(moments.n);
    summary.sdText = "0"; // no spread, or no values
    summary.sdShown = "0.0000";
    // Without values there is no mean; an empty mean box leaves the
    // two-sample test without a result.
    summary.figures = SampleOf(moments);
    if (!summary.figures) return summary;
    summary.meanText = GeneralNumberText(ToDouble(summary.figures->mean));
    summary.meanShown = FourDecimals(summary.figures->mean);
    if (summary.figures->variance > 0) {
        summary.sdShown = FourDecimalsOfRoot(summary.figures->variance);
        const auto fixed = ParseFixed4(summary.sdShown);
        summary.sdText = fixed ? FixedText(*fixed) : summary.sdShown;
    }
    return summary;
}

} // namespace korvanta::stats
