// Paired t-test on the differences d = first - second of the rows where both
// cells hold numbers:
//   Sd = sqrt((sum d^2 - (sum d)^2 / n) / (n - 1)),  t = |mean d| / (Sd / sqrt n),
// with n - 1 degrees of freedom; exact from the sums until rounded for display.
#include "stats/ttests.h"

#include "stats/panel.h"

namespace korvanta::stats {

PairedTResult PairedTTest(Column first, Column second) { return PairedTTest(MomentsOf(first, second)); }

PairedTResult PairedTTest(const PairMoments& moments)
{
    const DifferenceFigures d = DifferencesOf(moments);
    // Equal differences have no spread and no t.
    if (d.n <= 1 || d.variance <= 0) return {};
    const auto critical = LookupCriticalT(static_cast<double>(d.n - 1));
    if (!critical) return {};

    PairedTResult result;
    result.pairs = std::to_string(d.n);
    result.meanDifference = FourDecimals(abs(d.mean));
    result.sdDifference = FourDecimalsOfRoot(d.variance);
    result.t05 = critical->t05;
    result.t01 = critical->t01;
    result.t001 = critical->t001;
    result.resultLine = detail::TResultLine(d.mean * d.mean * d.n / d.variance, *critical);
    return result;
}

} // namespace korvanta::stats
