// The workbook layer: reads the cells of a workbook's worksheet and writes
// two columns of texts to a new workbook. Excel files
// are read and written here directly (.xls as BIFF8 in a compound file, .xlsx
// as Office Open XML), so nothing outside the program is needed.
//
// The calls mirror the steps the window takes: open a workbook, take its
// first worksheet, its used rows and the values of columns 1 and 2; or make a
// workbook, set the cells and save it. Paths are file-system paths; all texts
// are UTF-8.
#pragma once

#include "delimited/delimitedtext.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvanta::excel {

// One cell's value as the workbook stores it. A formula cell holds its cached
// result; a number shown as a date or a time holds the text it is shown as
// ("2023-03-15", "08:30"), as it is not a measurement.
struct Cell {
    enum class Kind : unsigned char { Empty, Number, Text, Bool, Error };
    Kind kind = Kind::Empty;
    double number = 0.0; // Number; Bool as 1 or 0
    std::string text;    // Text; Error as its display text, e.g. "#DIV/0!"

    static Cell MakeNumber(double value) { return {Kind::Number, value, {}}; }
    static Cell MakeText(std::string value) { return {Kind::Text, 0.0, std::move(value)}; }
    static Cell MakeBool(bool value) { return {Kind::Bool, value ? 1.0 : 0.0, {}}; }
    static Cell MakeError(std::string display) { return {Kind::Error, 0.0, std::move(display)}; }

    bool operator==(const Cell&) const = default;
};

// One worksheet row: its cells from column A up to the last one present;
// a column past the end reads as an empty cell.
struct Row {
    Row() = default;
    Row(Cell a, Cell b) : cells{std::move(a), std::move(b)} { Trim(); }
    explicit Row(std::vector<Cell> all) : cells(std::move(all)) { Trim(); }

    const Cell& operator[](std::size_t column) const
    {
        static const Cell kEmpty;
        return column < cells.size() ? cells[column] : kEmpty;
    }
    // Drops trailing empty cells, so that equal rows compare equal.
    void Trim()
    {
        while (!cells.empty() && cells.back().kind == Cell::Kind::Empty) cells.pop_back();
    }

    std::vector<Cell> cells;
    bool operator==(const Row&) const = default;
};

// Where a cell lies, counted from 0.
struct CellPosition {
    std::uint32_t row = 0;
    std::uint32_t column = 0;
    bool operator==(const CellPosition&) const = default;
};

enum class ReadError {
    None,
    CannotOpen,     // missing, unreadable, a folder
    NotWorkbook,    // some other kind of file (also an empty file)
    OldFormat,      // Excel 5/95 or earlier
    Encrypted,      // opening needs a password
    Corrupt,        // a workbook, but broken or truncated
    TooLarge,       // past the limits below, or a compressed part that expands too far
    NoWorksheet,    // a workbook without any worksheet (only chart sheets, say)
    TooManyRows,    // a sheet with rows past kMaxImportRows
    TooManyColumns, // a sheet with a value past column kMaxImportColumns
    OutOfMemory,    // too little memory to read the sheet
    Count,          // how many there are; keep it last
};

// Every error, for a check that each has its text.
inline constexpr ReadError kAllReadErrors[] = {
    ReadError::None,        ReadError::CannotOpen,     ReadError::NotWorkbook, ReadError::OldFormat,
    ReadError::Encrypted,   ReadError::Corrupt,        ReadError::TooLarge,    ReadError::NoWorksheet,
    ReadError::TooManyRows, ReadError::TooManyColumns, ReadError::OutOfMemory,
};
static_assert(std::size(kAllReadErrors) == static_cast<std::size_t>(ReadError::Count));

// A column of a statistics package's data file (SPSS, Stata, SAS): its
// name, label and value labels, and the values read as empty cells.
struct Variable {
    std::string name;
    std::string label;
    bool text = false; // a string variable
    bool date = false; // dates or times, imported as the text they show
    // Values and the labels the file gives them, as the preview shows them.
    std::vector<std::pair<Cell, std::string>> valueLabels;
    // Values that read as empty cells: system-missing (Stata's and SAS's
    // lettered ones too) and user-defined missing values.
    std::size_t missing = 0;
    // The user-defined missing values met, each once, in the order met.
    std::vector<Cell> userMissing;

    bool operator==(const Variable&) const = default;
};

struct ReadResult {
    // The window words the message; the error is None on success.
    ReadError error = ReadError::None;
    // A text file's own reason, when it has one (worded in place of the
    // error's general one): its encoding, a NUL, a limit and where.
    delimited::TextFault textFault;
    // Rows 1 to the last used row of the worksheet: rows.size() is that row
    // number. A row is used when any of its cells is present in the file, as
    // Excel's UsedRange counts it (a formatted blank cell counts too).
    std::vector<Row> rows;
    // Formula cells saved without a result (as openpyxl and pandas write
    // them): they read as empty cells.
    std::vector<CellPosition> uncalculated;
    // A statistics package's file: one entry per column, and every case a
    // row (a file has no heading row). Empty for workbooks and text.
    std::vector<Variable> variables;

    bool Ok() const { return error == ReadError::None; }
};

// Opens the workbook at path and reads its first worksheet (chart sheets and
// macro sheets do not count). The format comes from the file's content, so a
// .xlsx named .xls reads as well. Never throws for anything about the file;
// only std::bad_alloc can escape.
ReadResult ReadFirstSheet(const std::filesystem::path& path);

// Limits of the readers. A cell text longer than kMaxCellChars characters
// (Excel's own limit) is cut there. The import limits are counted while a
// sheet is read, before its cells are made, so a file whose repeats or
// shared texts expand past them is refused without the memory being spent:
// the grid holds 32,767 data rows (one more row for a heading), and the
// cells and texts of a sheet stay well under 200 MB.
inline constexpr std::size_t kMaxXlsFileBytes = std::size_t{256} << 20;
inline constexpr std::size_t kMaxXlsxPartBytes = std::size_t{512} << 20; // one part, uncompressed
inline constexpr std::size_t kMaxXlsxRatio = 250;                        // uncompressed / compressed, once past 8 MiB
inline constexpr std::size_t kMaxCellChars = 32767;
inline constexpr std::size_t kMaxXlsxRows = 1048576;
inline constexpr std::size_t kMaxXlsRows = 65536;
inline constexpr std::size_t kMaxImportRows = 32768;
inline constexpr std::size_t kMaxImportColumns = 256;
inline constexpr std::size_t kMaxImportCells = 1000000;
inline constexpr std::size_t kMaxImportTextBytes = std::size_t{48} << 20;
// A workbook listing more worksheets than this is refused (TooLarge) while
// its list is read: the names of millions of sheets would take gigabytes.
inline constexpr std::size_t kMaxSheets = 4096;

// How much of a sheet one read takes in before it refuses the sheet: the
// import's limits unless told otherwise. An export reads its own file back
// whole, up to the rows the format holds.
struct ReadLimits {
    std::size_t rows = kMaxImportRows;
    std::size_t cells = kMaxImportCells;
    std::size_t textBytes = kMaxImportTextBytes;
};

// Turns a number into the text the grid shows; the window supplies its own
// general-number conversion.
using NumberFormatter = std::function<std::string(double)>;

// The text one cell imports as: numbers through formatNumber, texts as they
// are, booleans "TRUE"/"FALSE", empty and error cells "" (an error still
// takes its row, so the two columns stay aligned).
std::string ImportText(const Cell& cell, const NumberFormatter& formatNumber);

enum class WriteError {
    None,
    TooManyRows,   // more rows than the format holds
    TextTooLong,   // a text past kMaxCellChars characters
    TooLarge,      // the whole workbook past kMaxXlsFileBytes (.xls only)
    InvalidText,   // a text that is not valid UTF-8
    CannotCreate,  // no temporary file in the target's folder (no permission there)
    WriteFailed,   // writing or finishing the file failed
    CannotReplace, // the finished file could not take the target's name
    NameTooLong,   // a file name past what the file system takes
    IsFolder,      // the name is a folder's
    FolderMissing, // the folder of the name does not exist
    DiskFull,      // no space left (or over quota)
    ReadOnly,      // the target, or the disk it is on, cannot be written
    NotVerified,   // the written file read back differs from the data
    PartlyWritten, // writing in place failed part-way: the target may be incomplete
    OutOfMemory,   // too little memory to build the file
    Count,         // how many there are; keep it last
};

// Every error, for a check that each has its text.
inline constexpr WriteError kAllWriteErrors[] = {
    WriteError::None,        WriteError::TooManyRows,  WriteError::TextTooLong,   WriteError::TooLarge,
    WriteError::InvalidText, WriteError::CannotCreate, WriteError::WriteFailed,   WriteError::CannotReplace,
    WriteError::NameTooLong, WriteError::IsFolder,     WriteError::FolderMissing, WriteError::DiskFull,
    WriteError::ReadOnly,    WriteError::NotVerified,  WriteError::PartlyWritten, WriteError::OutOfMemory,
};
static_assert(std::size(kAllWriteErrors) == static_cast<std::size_t>(WriteError::Count));

struct WriteResult {
    // The window words the message; the error is None on success.
    WriteError error = WriteError::None;
    std::string detail; // the system's reason, for a log; may be empty
    // Characters the format cannot hold that were left out (a NUL in .csv).
    std::size_t droppedChars = 0;
    // TextTooLong: the first cell past the limit (from 0) and its length in
    // UTF-16 units, as the message names them.
    CellPosition cell;
    std::size_t cellChars = 0;

    bool Ok() const { return error == WriteError::None; }
};

// Writes column1 to column A and column2 to column B of the only worksheet
// ("Sheet1") of a new workbook, both from row 1, without a heading. A text
// that a number cell keeps (IsKeptAsNumber) becomes a number cell, the empty
// text no cell, any other text a text cell. The file is written beside path under a
// temporary name, read back and compared, and put at path only then, so a
// failed write leaves whatever was at path untouched (export.h tells how an
// existing file's permissions, owner and links are kept).
WriteResult WriteXls(const std::filesystem::path& path, const std::vector<std::string>& column1,
                     const std::vector<std::string>& column2);
WriteResult WriteXlsx(const std::filesystem::path& path, const std::vector<std::string>& column1,
                      const std::vector<std::string>& column2);

// A text the writers store as a number: an optional sign, digits with an
// optional decimal point (".5" and "5." included), an optional exponent, and
// a finite value. No spaces, thousands separators, "inf" or hexadecimal.
bool IsNumberText(std::string_view text, double* value = nullptr);

// Whether a number text comes back as the same number from a number cell:
// the nearest double, shown to 15 significant digits as every reader and
// our import show it, is the decimal number the text writes ("1.50", "1e3",
// "+5"). A text with more digits than that ("922337203685477.5807",
// "1.0000000000000001") or below the doubles' full precision ("1e-320")
// is not, and the writers store it as text, exactly as typed.
bool IsKeptAsNumber(std::string_view text, double* value = nullptr);

// Whether value, shown to 15 significant digits, is the decimal number of
// the number text (IsNumberText); zero has no sign.
bool ShowsAsNumberText(double value, std::string_view text);

} // namespace korvanta::excel
