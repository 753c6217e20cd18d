// Which separator a delimited text uses. Each of tab, semicolon, comma and
// runs of spaces is tried; the one that splits the most records into the same
// number of fields (quotes respected, blank lines not counted) wins, the
// earlier in that order on a tie. So a ";" or a tab in one field of a
// comma-separated file, such as a note "约 150; 复查", does not change the
// separator. Two exceptions keep commas inside numbers:
//   - commas that all sit in numbers between runs of spaces ("1,5 2,5",
//     "1,234.5 2,000") leave the spaces to separate, when the spaces split
//     as consistently as the commas;
//   - commas that all sit in numbers with group separators under the next
//     best choice do not separate when they split the records unevenly
//     ("980", "1,234", "1,234,567" down one column) or there is one record
//     ("215,000" copied from one cell); commas that split several records
//     alike do ("141,130" on every line is two columns).
// A text that none splits is one column. Like a spreadsheet's import, the
// choice looks at a sample: the first kSeparatorSample bytes, of them the
// first maxRecords records, and of each field its first cap characters (a
// text with more records or a longer field is refused whichever separator
// it has). So the choice costs no more for a text of any length.
#pragma once

#include "delimited/delimitedtext.h"

#include <cstddef>
#include <limits>
#include <string_view>

namespace korvanta::delimited {

inline constexpr std::size_t kSeparatorSample = std::size_t{1} << 20;

Separator ChooseSeparator(std::string_view text, std::size_t maxRecords = std::numeric_limits<std::size_t>::max(),
                          std::size_t cap = std::numeric_limits<std::size_t>::max());

} // namespace korvanta::delimited
