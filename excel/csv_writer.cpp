// .csv export: UTF-8 with a byte order mark (so that Excel reads Chinese
// text right), comma-separated, CR LF line ends, no heading.
#include "excel/export_check.h"

#include <algorithm>

namespace korvanta::excel::detail {
namespace {

// Quoted where a reader would otherwise split or trim it: a quote, a line
// end, the comma, and also a semicolon or a tab (either would make our own
// import take the whole file for one separated by it), and spaces that lead
// or trail.
void AppendField(std::string& out, std::string_view field)
{
    const bool quoted = field.find_first_of("\",;\t\r\n") != std::string_view::npos ||
                        (!field.empty() && (field.front() == ' ' || field.back() == ' '));
    if (!quoted) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

Bytes EncodeCsv(const Columns& columns)
{
    const auto item = [&](std::size_t column, std::size_t row) -> std::string_view {
        return row < columns[column].size() ? std::string_view(columns[column][row]) : std::string_view();
    };
    const auto emptyRow = [&](std::size_t row) {
        for (std::size_t c = 0; c < columns.size(); ++c)
            if (!item(c, row).empty()) return false;
        return true;
    };
    std::size_t rows = 0;
    for (const auto& column : columns) rows = std::max(rows, column.size());
    while (rows > 0 && emptyRow(rows - 1)) --rows;

    std::string text = "\xEF\xBB\xBF";
    for (std::size_t row = 0; row < rows; ++row) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c > 0) text += ',';
            AppendField(text, item(c, row));
        }
        text += "\r\n";
    }
    return Bytes(text.begin(), text.end());
}

} // namespace korvanta::excel::detail
