// Commas inside numbers. A comma in a number is either a group separator
// ("1,234.5", "215,000", "1,234,567": groups of three digits after one to
// three leading digits) or a decimal comma ("3,5", "12,75", ",5"). Some
// numbers can be read either way ("1,234", "215,000"); the column decides:
//   - when every comma number of a column can be read with group separators,
//     the column has group separators ("215,000" is 215000);
//   - otherwise, when every one can be read with a decimal comma, the
//     column has decimal commas ("1,500" beside "2,25" is 1.5);
//   - otherwise each number that only one reading fits is read so, and a
//     number that fits both is left as it is, a text that is not a number,
//     so that no value is silently read a thousand times too large or small.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace korvanta::delimited {

bool IsGroupedNumber(std::string_view text);
bool IsDecimalCommaNumber(std::string_view text);

// Rewrites the comma numbers of one column as plain numbers ("1234.5",
// "1.5"); other fields are left alone. Returns how many comma numbers were
// left as they were because the column does not tell which reading is meant.
int ReadCommaNumbers(std::span<std::string* const> column);

} // namespace korvanta::delimited
