// Paired t-test on the differences d = first - second of the rows where both
// cells hold numbers:
//   Sd = sqrt((sum d^2 - (sum d)^2 / n) / (n - 1)),  t = |mean d| / (Sd / sqrt n),
// with n - 1 degrees of freedom.
#include "stats/ttests.h"

#include "stats/numbertext.h"
#include "stats/panel.h"

#include <cmath>

namespace korvanta::stats {

PairedTResult PairedTTest(Column first, Column second) {
    // The differences and their sum are exact in fixed point; the squares are
    // summed in double.
    std::int64_t n = 0;
    Fixed4 sum;
    double sumOfSquares = 0;
    Fixed4 firstDifference;
    bool allDifferencesEqual = true;
    for (std::size_t k = 0; k < first.size(); ++k) {
        // A cell that is empty or not a number leaves its row out.
        if (k >= second.size() || !first[k].isNumber() || !second[k].isNumber()) continue;
        const auto d = subtract(first[k].value, second[k].value);
        const auto newSum = d ? add(sum, *d) : std::nullopt;
        if (!newSum) return {};  // a sum beyond the fixed-point range has no result
        if (n == 0) firstDifference = *d;
        allDifferencesEqual = allDifferencesEqual && *d == firstDifference;
        ++n;
        sum = *newSum;
        sumOfSquares += d->toDouble() * d->toDouble();
    }
    // Equal differences have no spread; they are caught exactly here because
    // the rounding of the sums could leave a tiny Sd instead of zero.
    if (n <= 1 || allDifferencesEqual) return {};

    const double count = static_cast<double>(n);
    double mean = sum.toDouble() / count;
    if (mean < 0) mean = -mean;
    const double variance = (sumOfSquares - sum.toDouble() * sum.toDouble() / count) / (count - 1);
    if (!std::isfinite(variance) || variance <= 0) return {};
    const double sd = std::sqrt(variance);
    const double t = std::sqrt(mean * mean) / (sd / std::sqrt(count));
    if (!std::isfinite(t)) return {};
    const auto critical = LookupCriticalT(count - 1);
    if (!critical) return {};

    PairedTResult result;
    result.pairs = std::to_string(n);
    result.meanDifference = detail::ShowFourDecimals(mean);
    result.sdDifference = detail::ShowFourDecimals(sd);
    result.t05 = critical->t05;
    result.t01 = critical->t01;
    result.t001 = critical->t001;
    result.resultLine = detail::TResultLine(t, *critical);
    return result;
}

} // namespace korvanta::stats
