#include "stats/panel.h"

namespace korvanta::stats::detail {

std::string TResultLine(const Rational& tSquared, const CriticalValues& critical)
{
    std::string line = "T = " + FourDecimalsOfRoot(tSquared);
    line += "  ";
    // The nearest double of an exact t equals the table's value when t does.
    line += PBandText(JudgeTStatistic(RootToDouble(tSquared), critical));
    return line;
}

} // namespace korvanta::stats::detail
