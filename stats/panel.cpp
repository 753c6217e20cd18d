#include "stats/panel.h"

#include "stats/numbertext.h"

namespace korvanta::stats::detail {

std::string ShowFourDecimals(double value) { return FormatFourDecimals(GeneralNumberText(value)); }

std::string TResultLine(double t, const CriticalValues& critical) {
    std::string line = "T = " + ShowFourDecimals(t);
    line += "  ";
    line += JudgeTStatistic(t, critical);
    return line;
}

} // namespace korvanta::stats::detail
