// Internal to the statistics library: how the t-based panels write a value.
#pragma once

#include "stats/exact.h"
#include "stats/ttable.h"

#include <string>

namespace korvanta::stats::detail {

// The result line of the t-tests from the exact square of t:
// "T = 2.2361  P < 0.05" (two spaces).
std::string TResultLine(const Rational& tSquared, const CriticalValues& critical);

} // namespace korvanta::stats::detail
