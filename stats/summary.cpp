// Count, mean and standard deviation of one data column for the two-sample
// test's summary boxes:  sd = sqrt((sum x^2 - (sum x)^2 / n) / (n - 1)).
#include "stats/ttests.h"

#include "stats/numbertext.h"

#include <cmath>

namespace korvanta::stats {

ColumnSummary SummariseColumn(Column column) {
    // The sum is exact in fixed point, the sum of squares is double.
    std::int64_t n = 0;
    Fixed4 sum;
    double sumOfSquares = 0;
    bool sumFits = true;
    bool allEqual = true;
    Fixed4 firstValue;
    for (const CellValue& cell : column) {
        // A cell that is empty or not a number is not a value of the column.
        if (!cell.isNumber()) continue;
        const Fixed4 x = cell.value;
        if (n == 0) firstValue = x;
        allEqual = allEqual && x == firstValue;
        ++n;
        if (const auto newSum = add(sum, x)) {
            sum = *newSum;
        } else {
            sumFits = false;
        }
        sumOfSquares += cell.number * cell.number;
    }

    ColumnSummary summary;
    summary.countText = std::to_string(n);
    summary.sdText = "0";  // no spread, or none that can be computed
    // Without values, or with a sum beyond the fixed-point range, there is no
    // mean; an empty mean box leaves the two-sample test without a result.
    if (n == 0 || !sumFits) return summary;
    const double count = static_cast<double>(n);
    summary.meanText = GeneralNumberText(sum.toDouble() / count);

    // Equal values are caught exactly: rounding in the sums could leave a
    // small spurious spread.
    if (n == 1 || allEqual) return summary;
    const double variance = (sumOfSquares - sum.toDouble() * sum.toDouble() / count) / (count - 1);
    if (!std::isfinite(variance) || variance < 0) return summary;
    if (const auto sd = Fixed4::fromDouble(std::sqrt(variance))) summary.sdText = FixedText(*sd);
    return summary;
}

} // namespace korvanta::stats
