#include "delimited/delimitedtext.h"

#include "delimited/commanumbers.h"
#include "delimited/separator.h"
#include "delimited/splitter.h"
#include "stats/fullwidth.h"
#include "stats/numbertext.h"

#include <algorithm>
#include <limits>
#include <span>

namespace korvanta::delimited {
namespace {

bool IsEmptyRow(const std::vector<std::string>& row)
{
    return std::all_of(row.begin(), row.end(), [](const std::string& f) { return f.empty(); });
}

int UsedWidth(const std::vector<std::string>& row)
{
    for (std::size_t k = row.size(); k > 0; --k)
        if (!row[k - 1].empty()) return static_cast<int>(k);
    return 0;
}

// Full-width characters made ASCII, then the column's comma numbers read.
int MakeColumnPlain(std::span<std::string* const> column)
{
    for (std::string* field : column)
        if (field->find_first_of("\xE3\xEF") != std::string::npos) *field = stats::FoldFullWidthDigits(*field);
    return ReadCommaNumbers(column);
}

// Each column's fields gathered in one pass over the rows, so that a wide
// first row over many short ones costs its fields and not width x rows.
int MakeNumbersPlain(std::vector<std::vector<std::string>>& rows)
{
    std::vector<std::vector<std::string*>> columns;
    for (auto& row : rows) {
        if (row.size() > columns.size()) columns.resize(row.size());
        for (std::size_t k = 0; k < row.size(); ++k) columns[k].push_back(&row[k]);
    }
    int unread = 0;
    for (const auto& column : columns) unread += MakeColumnPlain(column);
    return unread;
}

} // namespace

bool IsNumberField(std::string_view text) { return !text.empty() && stats::ParseDouble(text).has_value(); }

bool LooksLikeHeading(const std::vector<std::string>& row)
{
    return !IsEmptyRow(row) &&
           std::none_of(row.begin(), row.end(), [](const std::string& f) { return IsNumberField(f); });
}

DelimitedText ParseDelimitedText(std::string_view text, const TextLimits& limits, Heading heading)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());

    DelimitedText result;
    // A heading a paste leaves out is one row more than the rows kept.
    TextLimits split = limits;
    if (heading == Heading::Skip && split.rows < std::numeric_limits<std::size_t>::max()) ++split.rows;
    result.separator = ChooseSeparator(
        text, split.rows == std::numeric_limits<std::size_t>::max() ? split.rows : split.rows + 1, split.cellChars);
    result.rows = SplitRecords(text, result.separator, split, &result.fault);
    while (!result.rows.empty() && IsEmptyRow(result.rows.back())) result.rows.pop_back();
    result.unreadCommaNumbers = MakeNumbersPlain(result.rows);
    if (heading == Heading::Skip && !result.rows.empty() && LooksLikeHeading(result.rows.front())) {
        result.rows.erase(result.rows.begin());
        result.headerSkipped = true;
    }
    if (result.fault.problem == TextProblem::None && result.rows.size() > limits.rows) {
        result.fault = {TextProblem::TooManyRows, 0, 0, limits.rows};
        result.rows.clear();
        result.unreadCommaNumbers = 0;
    }
    for (const auto& row : result.rows) result.columns = std::max(result.columns, UsedWidth(row));
    return result;
}

int ReadNumberColumn(std::vector<std::string>& column)
{
    std::vector<std::string*> fields;
    fields.reserve(column.size());
    for (std::string& field : column) fields.push_back(&field);
    return MakeColumnPlain(fields);
}

int CountCommaNumbers(const std::vector<std::string>& column)
{
    return static_cast<int>(std::count_if(column.begin(), column.end(), [](const std::string& field) {
        return IsGroupedNumber(field) || IsDecimalCommaNumber(field);
    }));
}

std::string QuoteField(std::string_view field, char separator)
{
    const bool needsQuotes = field.find_first_of(std::string{'"', '\r', '\n', separator}) != std::string_view::npos;
    if (!needsQuotes) return std::string(field);
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

} // namespace korvanta::delimited
