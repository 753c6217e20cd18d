#include "delimited/delimitedtext.h"

#include "delimited/commanumbers.h"
#include "delimited/separator.h"
#include "delimited/splitter.h"
#include "stats/fullwidth.h"
#include "stats/numbertext.h"

#include <algorithm>
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

int MakeNumbersPlain(std::vector<std::vector<std::string>>& rows)
{
    std::size_t width = 0;
    for (const auto& row : rows) width = std::max(width, row.size());
    int unread = 0;
    std::vector<std::string*> column;
    for (std::size_t k = 0; k < width; ++k) {
        column.clear();
        for (auto& row : rows)
            if (k < row.size()) column.push_back(&row[k]);
        unread += MakeColumnPlain(column);
    }
    return unread;
}

} // namespace

bool IsNumberField(std::string_view text) { return !text.empty() && stats::ParseDouble(text).has_value(); }

DelimitedText ParseDelimitedText(std::string_view text)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());

    DelimitedText result;
    result.separator = ChooseSeparator(text);
    result.rows = SplitRecords(text, result.separator);
    while (!result.rows.empty() && IsEmptyRow(result.rows.back())) result.rows.pop_back();
    result.unreadCommaNumbers = MakeNumbersPlain(result.rows);

    if (!result.rows.empty()) {
        const auto& first = result.rows.front();
        const bool header = !IsEmptyRow(first) && std::none_of(first.begin(), first.end(),
                                                               [](const std::string& f) { return IsNumberField(f); });
        if (header) {
            result.rows.erase(result.rows.begin());
            result.headerSkipped = true;
        }
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
