// Delimited text cut into records and fields by one separator. A field in
// double quotes may hold separators and line ends, and "" in it stands for
// one quote; whatever follows the closing quote belongs to the field too.
// Lines end with CR LF, LF or a lone CR. With Spaces, runs of spaces separate
// and spaces at a line's start or end do not. Every walk is one pass over the
// text; the ones that only count stop after a given number of records.
#pragma once

#include "delimited/delimitedtext.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace korvanta::delimited {

// Every record's fields, spaces around them dropped (not inside quotes),
// within the limits: past any of them, or at a quote that is never closed,
// *fault says which and where and nothing is returned. Empty fields past
// limits.columns are not kept; a row with anything there is refused.
std::vector<std::vector<std::string>> SplitRecords(std::string_view text, Separator separator, const TextLimits& limits,
                                                   TextFault* fault);

// How many records of the first maxRecords (lines with nothing but spaces
// left out) have each number of fields; *records is how many were counted.
std::map<int, int> FieldCountRecords(std::string_view text, Separator separator, std::size_t maxRecords, int* records);

// True when pred holds for every field of the first maxRecords records
// (stops at the first that fails). A field is handed at most cap bytes long.
bool EveryField(std::string_view text, Separator separator, std::size_t maxRecords, std::size_t cap,
                const std::function<bool(const std::string&)>& pred);

char SeparatorChar(Separator separator);

// The line (from 1) of a byte offset in the text.
std::size_t LineAt(std::string_view text, std::size_t offset);

} // namespace korvanta::delimited
