// What a test's result says: a significance band, or words in its place.
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

namespace korvanta::stats {

enum class Verdict {
    None,            // nothing to judge
    PAbove005,       // "P > 0.05"
    PBelow005,       // "P < 0.05"
    PBelow001,       // "P < 0.01"
    PBelow0001,      // "P < 0.001"
    NotSuitable,     // the four-fold test with n < 40 or an expected count below 1
    PerfectPositive, // every point on a rising line: t_r is infinite
    PerfectNegative, // every point on a falling line
    Count,           // how many there are; keep it last
};

// Every verdict, for a check that each has its text.
inline constexpr Verdict kAllVerdicts[] = {
    Verdict::None,       Verdict::PAbove005,   Verdict::PBelow005,       Verdict::PBelow001,
    Verdict::PBelow0001, Verdict::NotSuitable, Verdict::PerfectPositive, Verdict::PerfectNegative,
};
static_assert(std::size(kAllVerdicts) == static_cast<std::size_t>(Verdict::Count));

// The significance band as every language writes it ("P < 0.05"); "" for a
// verdict in words, which the window words.
constexpr std::string_view PBandText(Verdict verdict)
{
    switch (verdict) {
    case Verdict::PAbove005:
        return "P > 0.05";
    case Verdict::PBelow005:
        return "P < 0.05";
    case Verdict::PBelow001:
        return "P < 0.01";
    case Verdict::PBelow0001:
        return "P < 0.001";
    case Verdict::None:
    case Verdict::NotSuitable:
    case Verdict::PerfectPositive:
    case Verdict::PerfectNegative:
    case Verdict::Count:
        break;
    }
    return {};
}

} // namespace korvanta::stats
