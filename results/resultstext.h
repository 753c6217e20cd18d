// The methods paragraph and the results sentence of the current test, as a
// paper words them, in Chinese or in APA 7 English: the test actually used
// (Welch's t on unequal variances, the rank test beside a small non-normal
// sample, the 2x2 table's method), the statistic with its degrees of
// freedom, the exact P and the effect with the interval that agrees with
// that P. A result that is not significant is never worded as a difference.
#pragma once

#include "results/journaltable.h"

#include <string>

namespace korvanta::results {

struct ResultsText {
    std::string methods; // "统计学方法：…" / "Statistical analysis. …"
    std::string results; // "结果：…" / "Results. …"; empty without a result
};

ResultsText MakeResultsText(stats::TestMode mode, const stats::DetailsInput& input, const Names& names,
                            Language language);

// Both paragraphs, separated by an empty line.
std::string ResultsTextPlain(const ResultsText& text);

} // namespace korvanta::results
