// The three t-based tests: from their inputs to the texts of their results.
// Each function starts from zero and reads all of its inputs.
#pragma once

#include "cellvalue.h"
#include "exactfigures.h"
#include "verdict.h"

#include <string>
#include <string_view>

namespace korvanta::stats {

// Two-sample t-test with pooled variance, two-sided, from summary statistics.
// All texts are empty when any input is empty or not a number, when a divisor
// is zero, when the degrees of freedom are below 1, or when a difference or
// the sum of the counts passes the fixed-point range.
struct TwoSampleInput {
    std::string_view x1, s1, n1, x2, s2, n2;
    // The column summaries behind the boxes, group 1 and 2: while a mean or
    // SD box holds what its summary wrote, the test takes the summary's exact
    // mean or variance instead of the four decimals shown. Null: the box's
    // text counts.
    const Rational* exactMean[2] = {nullptr, nullptr};
    const Rational* exactVariance[2] = {nullptr, nullptr};
};
// The groups as the test reads them: each box's exact value, or the
// summary's figure behind it. Empty when a box is not a number.
struct TwoSampleGroups {
    SampleFigures first, second;
};
std::optional<TwoSampleGroups> ReadTwoSampleGroups(const TwoSampleInput& input);
struct TwoSampleResult {
    std::string t05, t01, t001; // two-sided critical t at 0.05, 0.01, 0.001
    std::string resultLine;     // t and its P band: "T = 2.2361  P < 0.05"
};
TwoSampleResult TwoSampleTTest(const TwoSampleInput& input);

// Paired t-test on the rows where both cells hold numbers.
struct PairedTResult {
    std::string pairs;          // number of complete pairs
    std::string meanDifference; // mean of the differences, without sign
    std::string sdDifference;   // SD of the differences
    std::string t05, t01, t001; // two-sided critical t at 0.05, 0.01, 0.001
    std::string resultLine;     // t and its P band, as for two samples
};
PairedTResult PairedTTest(Column first, Column second);

// Pearson correlation and least-squares regression of the second column on
// the first, on the rows where both cells hold numbers.
struct CorrelationResult {
    std::string pairs;               // number of complete pairs
    std::string r;                   // Pearson's r
    std::string tr;                  // t of r, n - 2 degrees of freedom
    std::string t05, t01, t001;      // two-sided critical t at 0.05, 0.01, 0.001
    Verdict verdict = Verdict::None; // the P band of t_r, or the perfect line
    std::string equation;            // the regression line: "Y=0.0500+1.9900X"
};
CorrelationResult CorrelationRegression(Column x, Column y);

// Count, mean and standard deviation of one column, for the two-sample
// test's summary boxes. Cells that are empty or not numbers are skipped.
struct ColumnSummary {
    std::string meanText;                 // general form, e.g. "2" or ".5"; "" with no values
    std::string sdText;                   // four places as fixed-point text, e.g. "1.4142", "0"
    std::string countText;                // e.g. "3"
    std::string meanShown, sdShown;       // the boxes' four-decimal forms, exactly rounded
    std::optional<SampleFigures> figures; // exact; empty with no values
};
ColumnSummary SummariseColumn(Column column);
ColumnSummary SummariseColumn(const ColumnMoments& moments);

// The paired test and the correlation from the sums the grid store keeps.
PairedTResult PairedTTest(const PairMoments& moments);
CorrelationResult CorrelationRegression(const PairMoments& moments);

} // namespace korvanta::stats
