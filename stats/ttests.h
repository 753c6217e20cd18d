// The three t-based tests: from their inputs to the texts of their result
// panels. Each function starts from zero and reads all of its inputs.
#pragma once

#include "cellvalue.h"
#include "exactfigures.h"

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
    std::string t05, t01, t001;   // Label5(3), Label5(4), Label5(5)
    std::string resultLine;       // Label5(6): "T = 2.2361  P < 0.05"
};
TwoSampleResult TwoSampleTTest(const TwoSampleInput& input);

// Paired t-test on the rows where both cells hold numbers.
struct PairedTResult {
    std::string pairs;            // Label13(5)
    std::string meanDifference;   // Label13(4), without sign
    std::string sdDifference;     // Label13(3)
    std::string t05, t01, t001;   // Label5(10), Label5(9), Label5(8)
    std::string resultLine;       // Label5(7)
};
PairedTResult PairedTTest(Column first, Column second);

// Pearson correlation and least-squares regression of the second column on
// the first, on the rows where both cells hold numbers.
struct CorrelationResult {
    std::string pairs;            // Label13(6)
    std::string r;                // Label13(7)
    std::string tr;               // Label13(12)
    std::string t05, t01, t001;   // Label5(13), Label5(14), Label5(15)
    std::string verdict;          // Label5(16)
    std::string equation;         // Label5(17): "Y=0.0500+1.9900X"
};
CorrelationResult CorrelationRegression(Column x, Column y);

// Count, mean and standard deviation of one column, for the two-sample
// test's summary boxes. Cells that are empty or not numbers are skipped.
struct ColumnSummary {
    std::string meanText;         // general form, e.g. "2" or ".5"; "" with no values
    std::string sdText;           // four places as fixed-point text, e.g. "1.4142", "0"
    std::string countText;        // e.g. "3"
    std::string meanShown, sdShown;  // the boxes' four-decimal forms, exactly rounded
    std::optional<SampleFigures> figures;  // exact; empty with no values
};
ColumnSummary SummariseColumn(Column column);
ColumnSummary SummariseColumn(const ColumnMoments& moments);

// The paired test and the correlation from the sums the grid store keeps.
PairedTResult PairedTTest(const PairMoments& moments);
CorrelationResult CorrelationRegression(const PairMoments& moments);

} // namespace korvanta::stats
