// Internal to the statistics library: how the t-based panels write a value.
#pragma once

#include "stats/ttable.h"

#include <string>

namespace korvanta::stats::detail {

// A computed value as a result label shows it: its general text, then four
// decimals ("2.23606797749979" -> "2.2361").
std::string ShowFourDecimals(double value);

// The result line of the t-tests: "T = 2.2361  P < 0.05" (two spaces).
std::string TResultLine(double t, const CriticalValues& critical);

} // namespace korvanta::stats::detail
