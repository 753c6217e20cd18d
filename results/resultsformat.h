// The number forms of the journal table and the results text: Chinese
// journals' "P = 0.023" and three-decimal statistics, APA 7's "p = .023" and
// two decimals, the minus sign U+2212 throughout.
#pragma once

#include "stats/detailed.h"

#include <string>

namespace korvanta::results {

enum class Language { Chinese, English };

// value with `decimals` places, correctly rounded; a negative value that
// rounds to zero loses its sign.
std::string Fixed(double value, int decimals);
// APA: no zero before the point for a figure that cannot exceed 1 (p, r).
std::string NoLeadingZero(const std::string& text);

// A test statistic: three decimals in Chinese, two in English.
std::string Statistic(double value, Language language);
// A P value as a table cell: "0.023" or "<0.001"; ".023" or "<.001".
std::string PCell(const stats::Figure& p, Language language);
// A P value in a sentence: "P = 0.023", "P < 0.001"; "p = .023", "p < .001".
std::string PPhrase(const stats::Figure& p, Language language);
// Degrees of freedom: whole numbers as such, Welch's to two decimals.
std::string Df(double df);
// An estimate with as many decimals as its size needs: two from 1 upward,
// three significant digits below (at most six decimals).
int DecimalsFor(double estimate);
// "(95%CI：1.10 ~ 3.60)" or ", 95% CI [1.10, 3.60]"; empty without both limits.
std::string CiText(const stats::Interval& ci, int decimals, Language language);

// The most decimals among the numbers of a column.
int MostDecimals(stats::Column column);
// The decimals of a typed number ("12.50": 2).
int TypedDecimals(std::string_view text);

} // namespace korvanta::results
