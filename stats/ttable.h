// The t critical-value table: its text, read line by line, the lookup of the
// three two-sided critical values by degrees of freedom, and the judgement of
// a t statistic against them.
#pragma once

#include "stats/verdict.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvanta::stats {

// The whole table text: lines separated by "\r\n", line 0 the title, lines
// 4..52 the 30-character data rows, line 53 the infinity row, line 54 a rule,
// line 55 empty.
std::string_view TTableText();

// One line of a multi-line text, without its line break ("" past the end).
std::string GetLineText(std::string_view text, int lineIndex);

struct CriticalValues {
    std::string t05; // as the table writes it, e.g. "2.101"
    std::string t01;
    std::string t001;
};

// The row of the largest tabulated df not above df (1000 for df = 1000, the
// infinity row above 1000). No row for df below 1: the table has none.
std::optional<CriticalValues> LookupCriticalT(double df);

// "P < 0.05", "P < 0.01", "P < 0.001" or "P > 0.05"; the critical values are
// read back by their leading numbers, the statistic at full precision.
Verdict JudgeTStatistic(double statistic, const CriticalValues& critical);

} // namespace korvanta::stats
