// Digits as a Chinese input method types them. Full-width digits "０".."９",
// the full-width point "．", minus "－" and plus "＋", and the ideographic
// full stop "。" (which such input methods give for the "." key) are the
// ASCII characters they stand for wherever a number is entered.
#pragma once

#include <string>
#include <string_view>

namespace korvanta::stats {

// The text (UTF-8) with those characters made ASCII; everything else,
// invalid UTF-8 included, is kept byte for byte.
std::string FoldFullWidthDigits(std::string_view text);

} // namespace korvanta::stats
