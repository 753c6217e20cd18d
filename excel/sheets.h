// Import from any data file the program reads: .xls, .xlsx and .ods
// workbooks with the choice of a worksheet, and .csv/.txt text. A workbook
// is known by its content, so one saved under another workbook's name still
// reads; text is read only from a file named .csv or .txt, so a page or a
// text saved as "data.xls" is refused as before. ReadFirstSheet
// (workbook.h) stays the reader of the first sheet.
#pragma once

#include "excel/workbook.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korvanta::excel {

enum class FileFormat {
    Unknown, // neither a workbook nor text (also an empty file)
    Xls,     // a compound file or a bare BIFF stream
    Xlsx,    // a zip package that is not OpenDocument
    Ods,     // an OpenDocument spreadsheet
    Text,    // delimited text: UTF-8, UTF-16 with its mark, or GB18030
    Sav,     // SPSS system file (.sav, and .zsav compressed)
    Por,     // SPSS portable file
    Dta,     // Stata
    Sas,     // SAS data set (.sas7bdat)
    Xpt,     // SAS transport file
};

// The statistics packages' formats: one sheet, named after the file, whose
// columns are the file's variables.
bool IsStatisticsFormat(FileFormat format);
// Whether this build reads (and writes) them; the file dialogs offer them
// only then.
bool ReadsStatisticsFiles();

// The format by the first bytes (and, for a zip, its mimetype entry).
// Text is a file named .csv or .txt (any case, spaces after it allowed) that
// is no workbook and does not start with markup; the text reader refuses the
// unreadable ones, each with its reason (ReadResult::textFault). The
// statistics formats are known by their signatures; an old Stata file (before
// version 117) has none to speak of and is taken only when named .dta.
FileFormat DetectFormat(const std::filesystem::path& path);

struct SheetList {
    ReadError error = ReadError::None;
    // Names of the worksheets, in the workbook's order; chart sheets are not
    // listed. A text file is one sheet named after the file.
    std::vector<std::string> names;

    bool Ok() const { return error == ReadError::None; }
};

SheetList ListSheets(const std::filesystem::path& path);

// Worksheet `index` (counted from 0 among the listed ones) as ReadFirstSheet
// reads the first: rows 1 to the last used row, every column. A text
// file has only sheet 0; its cells are texts as written (decimal commas made
// points), a heading line included, as a worksheet's. A text file with
// nothing in it is NotWorkbook, with the reason in textFault.
ReadResult ReadSheet(const std::filesystem::path& path, std::size_t index, const ReadLimits& limits = {});

namespace detail {
class SheetSource;
}

// A data file opened once for import: its format found and its sheets
// listed when it is opened, and then any sheet read by its index, as often
// as the user switches between them. ListSheets and ReadSheet are this in
// one call.
class DataFile {
public:
    explicit DataFile(const std::filesystem::path& path);
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    bool Ok() const { return error_ == ReadError::None; }
    ReadError Error() const { return error_; }
    FileFormat Format() const { return format_; }
    // The worksheets' names; empty when the file could not be opened.
    const std::vector<std::string>& SheetNames() const;
    ReadResult ReadSheet(std::size_t index, const ReadLimits& limits = {}) const;

private:
    FileFormat format_ = FileFormat::Unknown;
    ReadError error_ = ReadError::None;
    std::unique_ptr<detail::SheetSource> source_;
};

// What an import takes from a read sheet: two of its columns, below row 1
// when row 1 is their heading, for a grid of at most maxRows rows.
struct ColumnChoice {
    std::size_t first = 0;
    std::size_t second = 1;
    bool heading = false;
    std::size_t maxRows = 0;
};

struct TakenColumns {
    // The sheet's data rows (without the heading). More than the grid
    // holds, and nothing is taken.
    std::size_t rows = 0;
    bool tooManyRows = false;
    // The cells as ImportText gives them, row by row.
    std::vector<std::string> first, second;
    // Row 1's two cells when it is the heading (the groups' names).
    std::string firstHeading, secondHeading;
    // Formula cells of the two columns below the heading saved without a
    // result: imported as empty cells.
    std::size_t uncalculated = 0;
};

TakenColumns TakeColumns(const ReadResult& sheet, const ColumnChoice& choice, const NumberFormatter& formatNumber);

// Limits of the text reader.
inline constexpr std::size_t kMaxTextFileBytes = std::size_t{64} << 20;

// Writes column1 and column2 as comma-separated UTF-8 text with a byte order
// mark (so that Excel reads Chinese text right), CR LF line ends, fields
// quoted where needed, no heading, rows up to the last one with anything in
// it. Like the workbook writers it writes beside path and renames.
WriteResult WriteCsv(const std::filesystem::path& path, const std::vector<std::string>& column1,
                     const std::vector<std::string>& column2);

} // namespace korvanta::excel
