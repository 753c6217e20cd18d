#include "excel/atomic_file.h"
#include "excel/sheets.h"
#include "delimited/delimitedtext.h"

#include <algorithm>

namespace korvanta::excel {
namespace {

// Quoted also when spaces lead or trail, which a reader would drop.
std::string CsvField(std::string_view field) {
    if (!field.empty() && (field.front() == ' ' || field.back() == ' ')) {
        std::string quoted = "\"";
        for (const char c : field) {
            if (c == '"') quoted += '"';
            quoted += c;
        }
        return quoted + '"';
    }
    return delimited::QuoteField(field, ',');
}

}  // namespace

WriteResult WriteCsv(const std::filesystem::path& path, const std::vector<std::string>& column1,
                     const std::vector<std::string>& column2) {
    const auto item = [](const std::vector<std::string>& column, std::size_t row) -> std::string_view {
        return row < column.size() ? std::string_view(column[row]) : std::string_view();
    };
    std::size_t rows = std::max(column1.size(), column2.size());
    while (rows > 0 && item(column1, rows - 1).empty() && item(column2, rows - 1).empty()) --rows;

    std::string text = "\xEF\xBB\xBF";
    for (std::size_t row = 0; row < rows; ++row) {
        text += CsvField(item(column1, row));
        text += ',';
        text += CsvField(item(column2, row));
        text += "\r\n";
    }

    detail::TempFile file;
    if (WriteResult r = file.create(path); !r.ok()) return r;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (WriteResult r = file.write({bytes, text.size()}); !r.ok()) return r;
    return file.commit();
}

}  // namespace korvanta::excel
