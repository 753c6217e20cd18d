#include "checks.h"

#include "delimited/delimitedtext.h"
#include "excel/sheets.h"
#include "excel/statfile.h"
#include "excel/workbook.h"
#include "grid/cellcleaning.h"
#include "grid/pasteblock.h"
#include "stats/numbertext.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <vector>

namespace korvanta::fuzz {

namespace {

// This process's scratch file for one extension: the readers open files by
// path. Removed at exit.
class ScratchFiles {
public:
    ~ScratchFiles()
    {
        std::error_code ec;
        for (const auto& [extension, path] : paths_) std::filesystem::remove(path, ec);
    }
    const std::filesystem::path& Write(const std::string& extension, std::string_view bytes)
    {
        auto [it, added] = paths_.try_emplace(extension);
        if (added) {
            std::random_device random;
            it->second = std::filesystem::temp_directory_path() /
                         ("korvanta-fuzz-" + std::to_string(random()) + std::to_string(random()) + extension);
        }
        std::ofstream out(it->second, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", it->second.string().c_str());
            std::abort();
        }
        return it->second;
    }

private:
    std::map<std::string, std::filesystem::path> paths_;
};

ScratchFiles& Scratch()
{
    static ScratchFiles files;
    return files;
}

// What any read must satisfy: an error the window can word, or none,
// and what is accepted within the import's limits.
std::string CheckRead(const excel::ReadResult& result)
{
    if (result.error >= excel::ReadError::Count) return "an error without a message";
    if (result.rows.size() > excel::kMaxImportRows) return "more rows than the import takes";
    std::size_t cells = 0;
    for (const auto& row : result.rows) {
        if (row.cells.size() > excel::kMaxImportColumns) return "more columns than the import takes";
        cells += row.cells.size();
        for (const auto& cellValue : row.cells)
            if (cellValue.text.size() > 4 * excel::kMaxCellChars) return "a cell text past the cut";
    }
    if (cells > excel::kMaxImportRows * excel::kMaxImportColumns) return "more cells than the limits allow";
    return {};
}

// Any bytes as a workbook: an answer, never a crash, for the first sheets
// the file lists, each read from the one opened file.
std::string CheckReader(std::string_view input, const std::string& extension)
{
    const excel::DataFile file(Scratch().Write(extension, input));
    if (file.Ok() == file.SheetNames().empty()) return "an opened file without sheets, or sheets of a refused one";
    if (!file.Ok()) return file.Error() >= excel::ReadError::Count ? "a refused file without a message" : std::string();
    for (std::size_t k = 0; k < std::min<std::size_t>(file.SheetNames().size(), 3); ++k)
        if (std::string finding = CheckRead(file.ReadSheet(k)); !finding.empty()) return finding;
    return {};
}

bool Matches(const excel::Cell& cell, const std::string& text)
{
    if (text.empty()) return cell.kind == excel::Cell::Kind::Empty;
    double value = 0;
    if (excel::IsKeptAsNumber(text, &value)) return cell.kind == excel::Cell::Kind::Number && cell.number == value;
    return cell.kind == excel::Cell::Kind::Text && cell.text == text;
}

} // namespace

// Any text either fails or gives a value whose own text reads back to it.
std::string CheckParseFixed4(std::string_view input)
{
    const auto value = stats::ParseFixed4(input);
    if (!value) return {};
    const auto again = stats::ParseFixed4(stats::FixedText(*value));
    if (!again || again->Units() != value->Units()) return "FixedText does not read back as the same value";
    return {};
}

// A suffix that cannot continue a number leaves the leading number alone.
std::string CheckLeadingNumber(std::string_view input)
{
    const double value = stats::LeadingNumber(input);
    const double withTail = stats::LeadingNumber(std::string(input) + " x");
    if (!(value == withTail || (std::isnan(value) && std::isnan(withTail))))
        return "a trailing \" x\" changed the leading number";
    return {};
}

// A number's display is its own display.
std::string CheckFormatFourDecimals(std::string_view input)
{
    const std::string shown = stats::FormatFourDecimals(input);
    if (stats::ParseDouble(input) && stats::FormatFourDecimals(shown) != shown)
        return "a number's display changes when shown again: " + shown;
    return {};
}

// The cleaned text is no longer, ends with a character a cell may end
// with (or is empty), and cleaning it again changes nothing.
std::string CheckCleanCellText(std::string_view input)
{
    const std::string cleaned = grid::CleanCellText(input);
    if (cleaned.size() > input.size()) return "cleaning made the text longer";
    if (!cleaned.empty() && !grid::IsAcceptableLastCharacter(static_cast<unsigned char>(cleaned.back())))
        return "the cleaned text ends with a character a cell may not end with";
    if (grid::CleanCellText(cleaned) != cleaned) return "cleaning twice differs from cleaning once";
    return {};
}

std::string CheckXlsReader(std::string_view input) { return CheckReader(input, ".xls"); }
std::string CheckXlsxReader(std::string_view input) { return CheckReader(input, ".xlsx"); }
std::string CheckOdsReader(std::string_view input) { return CheckReader(input, ".ods"); }

// A text file's one sheet: read or refused, within the limits.
std::string CheckDelimitedFile(std::string_view input)
{
    return CheckRead(excel::ReadSheet(Scratch().Write(".csv", input), 0));
}

// The first byte picks a statistics format, the rest is the file. It is
// parsed here, in this process (the window parses in a child process,
// which would hide a crash from the fuzzer): an answer within the limits,
// no cell past the variables, and the answer crosses the pipe from the
// child unchanged.
std::string CheckStatReader(std::string_view input)
{
    if (input.empty() || !excel::ReadsStatisticsFiles()) return {};
    static constexpr excel::FileFormat kFormats[] = {excel::FileFormat::Sav, excel::FileFormat::Por,
                                                     excel::FileFormat::Dta, excel::FileFormat::Sas,
                                                     excel::FileFormat::Xpt};
    const excel::FileFormat format = kFormats[static_cast<unsigned char>(input[0]) % std::size(kFormats)];
    input.remove_prefix(1);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    const excel::ReadResult result = excel::detail::ParseStatistics(format, bytes, {});
    if (std::string finding = CheckRead(result); !finding.empty()) return finding;
    for (const auto& row : result.rows)
        if (row.cells.size() > result.variables.size()) return "a cell past the variables";
    excel::ReadResult back;
    if (!excel::detail::DecodeReadResult(excel::detail::EncodeReadResult(result), back))
        return "the result does not decode";
    if (back.error != result.error || back.rows != result.rows || back.variables != result.variables)
        return "the result changes on its way from the child";
    return {};
}

// Pasted text: every row within the widest, the widest counted right, and
// no field holding a line end unless it was quoted.
std::string CheckPaste(std::string_view input)
{
    const delimited::DelimitedText table = delimited::ParseDelimitedText(input, grid::PasteLimits());
    if (table.fault.problem != delimited::TextProblem::None) {
        if (!table.rows.empty()) return "a refused paste kept rows";
        return {};
    }
    if (table.rows.size() > static_cast<std::size_t>(grid::kMaxRows)) return "more rows than the grid holds";
    int widest = 0;
    for (const auto& row : table.rows) {
        int width = static_cast<int>(row.size());
        while (width > 0 && row[static_cast<std::size_t>(width) - 1].empty()) --width;
        widest = std::max(widest, width);
    }
    if (widest != table.columns) return "the widest row is not the column count";
    if (input.find('"') == std::string_view::npos)
        for (const auto& row : table.rows)
            for (const auto& field : row)
                if (field.find('\n') != std::string::npos) return "an unquoted field holds a line end";
    return {};
}

// The first byte picks the kind of file the rest is; its sheet list reads
// the same through ListSheets and an opened file.
std::string CheckSheetListing(std::string_view input)
{
    static const char* const kExtensions[] = {".xls", ".xlsx", ".ods", ".csv"};
    const std::string extension = input.empty() ? ".xlsx" : kExtensions[static_cast<unsigned char>(input[0]) % 4];
    const auto& path = Scratch().Write(extension, input.empty() ? input : input.substr(1));
    const excel::SheetList list = excel::ListSheets(path);
    if (list.error >= excel::ReadError::Count) return "an error without a message";
    const excel::DataFile file(path);
    if (file.Ok() != list.Ok() || file.SheetNames() != list.names) return "listing and opening disagree";
    if (list.Ok() && list.names.empty()) return "a listed file without sheets";
    return {};
}

// The input as two columns of texts (lines; a NUL byte moves on to the
// second column) written by our writer and read back: each number text as
// its number, any other text as itself, an empty text as no cell.
static std::string CheckRoundTrip(std::string_view input, const std::string& extension,
                                  excel::WriteResult (*write)(const std::filesystem::path&,
                                                              const std::vector<std::string>&,
                                                              const std::vector<std::string>&))
{
    std::vector<std::string> columns[2];
    int column = 0;
    std::string current;
    for (std::size_t i = 0; i <= input.size(); ++i) {
        const char c = i < input.size() ? input[i] : '\n';
        if (c == '\n' || c == '\0') {
            columns[column].push_back(current);
            current.clear();
            if (c == '\0') column = 1;
        } else {
            current.push_back(c);
        }
    }
    const auto& path = Scratch().Write(extension, {});
    const auto written = write(path, columns[0], columns[1]);
    if (!written.Ok()) {
        // Only texts the format cannot hold are refused.
        using excel::WriteError;
        const bool expected = written.error == WriteError::InvalidText || written.error == WriteError::TextTooLong ||
                              written.error == WriteError::TooManyRows || written.error == WriteError::TooLarge;
        return expected ? std::string() : "the writer refused texts it should hold: " + written.detail;
    }
    const auto read = excel::ReadFirstSheet(path);
    if (!read.Ok())
        return "our own " + extension + " does not read back: read error " +
               std::to_string(static_cast<int>(read.error));
    std::size_t used = 0;
    for (const auto& c : columns)
        for (std::size_t r = 0; r < c.size(); ++r)
            if (!c[r].empty()) used = std::max(used, r + 1);
    if (read.rows.size() != used) return "the read-back has another number of rows";
    for (std::size_t r = 0; r < used; ++r) {
        const auto text = [&](int c) { return r < columns[c].size() ? columns[c][r] : std::string(); };
        if (!Matches(read.rows[r][0], text(0))) return "column A reads back different in row " + std::to_string(r + 1);
        if (!Matches(read.rows[r][1], text(1))) return "column B reads back different in row " + std::to_string(r + 1);
    }
    return {};
}

std::string CheckXlsRoundTrip(std::string_view input) { return CheckRoundTrip(input, ".xls", excel::WriteXls); }
std::string CheckXlsxRoundTrip(std::string_view input) { return CheckRoundTrip(input, ".xlsx", excel::WriteXlsx); }

Check CheckFor(std::string_view target)
{
    static const std::map<std::string_view, Check> checks = {
        {"parse_fixed4", CheckParseFixed4},
        {"leading_number", CheckLeadingNumber},
        {"format_four_decimals", CheckFormatFourDecimals},
        {"clean_cell_text", CheckCleanCellText},
        {"xls_reader", CheckXlsReader},
        {"xlsx_reader", CheckXlsxReader},
        {"xls_roundtrip", CheckXlsRoundTrip},
        {"xlsx_roundtrip", CheckXlsxRoundTrip},
        {"ods_reader", CheckOdsReader},
        {"delimited_file", CheckDelimitedFile},
        {"paste", CheckPaste},
        {"sheet_listing", CheckSheetListing},
        {"stat_reader", CheckStatReader},
    };
    const auto it = checks.find(target);
    return it == checks.end() ? nullptr : it->second;
}

int Run(Check check, const unsigned char* data, unsigned long size)
{
    const std::string finding = check(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!finding.empty()) {
        std::fprintf(stderr, "fuzz check failed: %s\n", finding.c_str());
        std::abort();
    }
    return 0;
}

} // namespace korvanta::fuzz
