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
};

// The format by the first bytes (and, for a zip, its mimetype entry).
// Text is a file named .csv or .txt (any case) that is no workbook, has no
// NUL bytes (but UTF-16 with its mark) and does not start with markup.
FileFormat DetectFormat(const std::filesystem::path& path);

struct SheetList {
    ReadError error = ReadError::None;
    std::string message;
    // Names of the worksheets, in the workbook's order; chart sheets are not
    // listed. A text file is one sheet named after the file.
    std::vector<std::string> names;

    bool Ok() const { return error == ReadError::None; }
};

SheetList ListSheets(const std::filesystem::path& path);

// Worksheet `index` (counted from 0 among the listed ones) as ReadFirstSheet
// reads the first: rows 1 to the last used row, every column. A text
// file has only sheet 0; its cells are texts as written (decimal commas made
// points) and a header line is skipped, as in a paste. A text file without
// any data row is NotWorkbook.
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
    std::string_view Message() const { return ReadErrorMessage(error_); }
    FileFormat Format() const { return format_; }
    // The worksheets' names; empty when the file could not be opened.
    const std::vector<std::string>& SheetNames() const;
    ReadResult ReadSheet(std::size_t index, const ReadLimits& limits = {}) const;

private:
    FileFormat format_ = FileFormat::Unknown;
    ReadError error_ = ReadError::None;
    std::unique_ptr<detail::SheetSource> source_;
};

// Limits of the text reader.
inline constexpr std::size_t kMaxTextFileBytes = std::size_t{64} << 20;

// Writes column1 and column2 as comma-separated UTF-8 text with a byte order
// mark (so that Excel reads Chinese text right), CR LF line ends, fields
// quoted where needed, no heading, rows up to the last one with anything in
// it. Like the workbook writers it writes beside path and renames.
WriteResult WriteCsv(const std::filesystem::path& path, const std::vector<std::string>& column1,
                     const std::vector<std::string>& column2);

} // namespace korvanta::excel
