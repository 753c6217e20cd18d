// What a typed cell may end with. The data cells and the 2x2 table keep their
// text to what can form a number while the user types: the full-width digits,
// point and signs of a Chinese input method (and its "。") become ASCII, and
// characters that cannot end a number are taken off the end, one at a time,
// until the last character is a digit, "-" or ".". Characters before the last
// are never examined, so a pasted "1a2" stays as it is; the tests decide what
// such a text counts for.
#pragma once

#include <string>
#include <string_view>

namespace korvanta::grid {

// True for the twelve characters a cell may end with: 0-9, "-" and ".".
constexpr bool IsAcceptableLastCharacter(char32_t c) { return (c >= U'0' && c <= U'9') || c == U'-' || c == U'.'; }

// The cleaned text of a cell (UTF-8 in and out). Invalid UTF-8 at the end is
// removed like any other unacceptable character.
std::string CleanCellText(std::string_view text);

} // namespace korvanta::grid
