#include "grid/cellcleaning.h"

#include "stats/fullwidth.h"

namespace korvanta::grid {
namespace {

// Start of the last UTF-8 sequence of a non-empty text. A stray continuation
// byte is treated as a character of its own, so broken text shrinks one byte
// at a time and never loops.
std::size_t LastCharacterStart(std::string_view text)
{
    std::size_t i = text.size() - 1;
    std::size_t steps = 0;
    while (i > 0 && steps < 3 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) {
        --i;
        ++steps;
    }
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t expected = lead < 0x80           ? 1
                                 : (lead >> 5) == 0x6  ? 2
                                 : (lead >> 4) == 0xE  ? 3
                                 : (lead >> 3) == 0x1E ? 4
                                                       : 0;
    if (expected != text.size() - i) return text.size() - 1; // not one whole sequence: drop a single byte
    return i;
}

} // namespace

std::string CleanCellText(std::string_view text)
{
    std::string result = stats::FoldFullWidthDigits(text);
    // Only ASCII characters can be acceptable; anything wider is removed.
    while (!result.empty()) {
        const std::size_t start = LastCharacterStart(result);
        const bool single = start == result.size() - 1;
        if (single && IsAcceptableLastCharacter(static_cast<unsigned char>(result.back()))) break;
        result.erase(start);
    }
    return result;
}

} // namespace korvanta::grid
