// Delimited text cut into records and fields by one separator. A field in
// double quotes may hold separators and line ends, and "" in it stands for
// one quote; whatever follows the closing quote belongs to the field too.
// Lines end with CR LF, LF or a lone CR. With Spaces, runs of spaces separate
// and spaces at a line's start or end do not.
#pragma once

#include "delimited/delimitedtext.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvanta::delimited {

// Every record's fields, spaces around them dropped (not inside quotes).
std::vector<std::vector<std::string>> SplitRecords(std::string_view text, Separator separator);

// How many fields each record has, by the same rules, without keeping them;
// lines with nothing but spaces are left out.
std::vector<int> CountFields(std::string_view text, Separator separator);

// True when pred holds for every field (stops at the first that fails).
bool EveryField(std::string_view text, Separator separator, const std::function<bool(const std::string&)>& pred);

char SeparatorChar(Separator separator);

} // namespace korvanta::delimited
