// The significance phrases every test shows, exactly as the user reads them.
#pragma once

#include <string_view>

namespace korvanta::stats {

inline constexpr std::string_view kPBelow005 = "P < 0.05";
inline constexpr std::string_view kPBelow001 = "P < 0.01";
inline constexpr std::string_view kPBelow0001 = "P < 0.001";
inline constexpr std::string_view kPAbove005 = "P > 0.05";
inline constexpr std::string_view kVerdictHeading = "结果判断：";

} // namespace korvanta::stats
