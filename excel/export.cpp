// The export's steps: check the table, make it fit the format, build the
// file in memory, write it beside the target, read it back and compare, and
// only then put it at the target.
#include "excel/export.h"

#include "delimited/delimitedtext.h"
#include "excel/atomic_file.h"
#include "excel/export_check.h"
#include "excel/sheets.h"

#include <algorithm>
#include <limits>
#include <new>

namespace korvanta::excel {
namespace {

constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

// What a .csv file is to hold: a NUL is left out (our own import takes
// a file with one for binary) and a text a spreadsheet program would
// evaluate gets a leading apostrophe. The workbooks hold every text as it
// is (the .xlsx writer escapes what XML cannot carry).
Columns CsvContent(const Columns& columns, std::size_t& dropped)
{
    Columns content = columns;
    for (auto& column : content) {
        for (std::string& text : column) {
            const std::size_t before = text.size();
            std::erase(text, '\0');
            dropped += before - text.size();
            if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos &&
                !detail::IsNumberCell(text))
                text.insert(text.begin(), '\'');
        }
    }
    return content;
}

std::string_view TextAt(const Columns& columns, std::size_t column, std::size_t row)
{
    return row < columns[column].size() ? std::string_view(columns[column][row]) : std::string_view();
}

std::string Place(std::size_t column, std::size_t row)
{
    return std::string(1, static_cast<char>('A' + column)) + std::to_string(row + 1);
}

// What differs between the file our import reads and the content it was
// written from, empty when nothing: the used rows and every cell. A workbook
// holds a number text a number cell keeps as that number, compared as the
// text the import shows for it, and any other text as written; .csv holds
// every text as written, its first row too. A .csv in which nothing is a
// number is refused by the import as prose is; such a file is taken as
// written when the import refuses it for that reason alone.
std::string CompareReadBack(const std::filesystem::path& file, ExportFormat format, const Columns& content)
{
    std::size_t rows = 0;
    bool number = false;
    for (std::size_t c = 0; c < content.size(); ++c)
        for (std::size_t r = 0; r < content[c].size(); ++r)
            if (!content[c][r].empty()) {
                rows = std::max(rows, r + 1);
                number = number || delimited::IsNumberField(content[c][r]);
            }
    // The whole file, past the rows and cells an import takes in.
    const ReadResult read = ReadSheet(file, 0, ReadLimits{kMaxXlsxRows, kNoLimit, kNoLimit});
    if (format == ExportFormat::Csv && rows > 0 && !number && !read.Ok())
        return read.textFault.problem == delimited::TextProblem::NoNumbers
                   ? std::string()
                   : "read back: read error " + std::to_string(static_cast<int>(read.error));
    if (!read.Ok()) return "read back: read error " + std::to_string(static_cast<int>(read.error));
    if (read.rows.size() != rows)
        return "read back " + std::to_string(read.rows.size()) + " rows, wrote " + std::to_string(rows);
    for (std::size_t r = 0; r < rows; ++r) {
        const Row& row = read.rows[r];
        for (std::size_t c = 0; c < content.size(); ++c) {
            const Cell& cell = row[c];
            const std::string_view text = TextAt(content, c, r);
            bool same = false;
            if (text.empty())
                same = cell.kind == Cell::Kind::Empty;
            else if (format != ExportFormat::Csv && IsKeptAsNumber(text))
                same = cell.kind == Cell::Kind::Number && ShowsAsNumberText(cell.number, text);
            else
                same = cell.kind == Cell::Kind::Text && cell.text == text;
            if (!same) return "cell " + Place(c, r) + " reads back otherwise";
        }
    }
    return {};
}

// The temporary file's extension: the reader of text goes by it.
std::string Extension(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Xls:
        return ".xls";
    case ExportFormat::Xlsx:
        return ".xlsx";
    case ExportFormat::Csv:
        return ".csv";
    case ExportFormat::Ods:
        return ".ods";
    case ExportFormat::Sav:
        return ".sav";
    case ExportFormat::Dta:
        return ".dta";
    }
    return {};
}

} // namespace

WriteResult ExportColumns(const std::filesystem::path& path, ExportFormat format, const Columns& columns)
try {
    if (format == ExportFormat::Sav || format == ExportFormat::Dta) {
        // Plain columns as variables v1, v2, ... without labels.
        Dataset dataset;
        for (std::size_t c = 0; c < columns.size(); ++c)
            dataset.variables.push_back({"v" + std::to_string(c + 1), {}, {}, columns[c]});
        return ExportDataset(path, format, dataset);
    }
    const std::size_t maxRows = format == ExportFormat::Xls ? kMaxXlsRows : kMaxXlsxRows;
    if (auto check = detail::CheckExport(columns, maxRows); !check.Ok()) return check;
    std::size_t dropped = 0;
    Columns changed;
    if (format == ExportFormat::Csv) changed = CsvContent(columns, dropped);
    if (format == ExportFormat::Ods) changed = detail::OdsContent(columns, dropped);
    const Columns& content = format == ExportFormat::Csv || format == ExportFormat::Ods ? changed : columns;
    detail::Bytes bytes;
    switch (format) {
    case ExportFormat::Xls:
        if (auto r = detail::EncodeXls(content, bytes); !r.Ok()) return r;
        break;
    case ExportFormat::Xlsx:
        if (auto r = detail::EncodeXlsx(content, bytes); !r.Ok()) return r;
        break;
    case ExportFormat::Csv:
        bytes = detail::EncodeCsv(content);
        break;
    case ExportFormat::Ods:
        if (auto r = detail::EncodeOds(content, bytes); !r.Ok()) return r;
    case ExportFormat::Sav:
    case ExportFormat::Dta:
        break;
    }
    WriteResult written = detail::SaveVerified(path, Extension(format), bytes, [&](const std::filesystem::path& file) {
        return CompareReadBack(file, format, content);
    });
    if (written.Ok()) written.droppedChars = dropped;
    return written;
} catch (const std::bad_alloc&) {
    // Everything built so far is freed and the temporary file removed on
    // the way out; the target was not touched.
    return detail::WriteFailure(WriteError::OutOfMemory, "out of memory");
}

WriteResult WriteXls(const std::filesystem::path& path, const std::vector<std::string>& column1,
                     const std::vector<std::string>& column2)
{
    return ExportColumns(path, ExportFormat::Xls, {column1, column2});
}

WriteResult WriteXlsx(const std::filesystem::path& path, const std::vector<std::string>& column1,
                      const std::vector<std::string>& column2)
{
    return ExportColumns(path, ExportFormat::Xlsx, {column1, column2});
}

WriteResult WriteCsv(const std::filesystem::path& path, const std::vector<std::string>& column1,
                     const std::vector<std::string>& column2)
{
    return ExportColumns(path, ExportFormat::Csv, {column1, column2});
}

} // namespace korvanta::excel
