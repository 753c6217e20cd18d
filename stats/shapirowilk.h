// The Shapiro-Wilk W test of normality, n from 3 to 5000.
#pragma once

#include "stats/detailed.h"

#include <span>

namespace korvanta::stats {

// W and its P (the upper tail of Royston's normalising transformation).
// Too few (below 3) or too many (above 5000) values, or all values equal,
// leave both figures without a value.
NormalityFigures ShapiroWilk(std::span<const double> values);

} // namespace korvanta::stats
