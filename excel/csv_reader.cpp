// .csv and .txt files: read and split by the delimited-text rules that a
// paste follows too, so a file and the same text pasted give the same columns.
#include "delimited/textfile.h"
#include "excel/sheet_choice.h"
#include "excel/sheets.h"
#include "excel/text.h"

#include <algorithm>

namespace korvanta::excel::detail {
namespace {

Cell FieldCell(const std::vector<std::string>& row, std::size_t column)
{
    if (column >= row.size() || row[column].empty()) return {};
    std::string text = row[column];
    TruncateChars(text, kMaxCellChars);
    return Cell::MakeText(std::move(text));
}

} // namespace

ReadResult ReadTextSheet(const std::filesystem::path& path)
{
    const delimited::TextFile file = delimited::ReadDelimitedFile(path, kMaxTextFileBytes);
    switch (file.error) {
    case delimited::TextFileError::None:
        break;
    case delimited::TextFileError::CannotOpen:
        return Failure(ReadError::CannotOpen);
    case delimited::TextFileError::TooLarge:
        return Failure(ReadError::TooLarge);
    case delimited::TextFileError::NotText:
        return Failure(ReadError::NotWorkbook);
    }
    // Prose, or a header alone, is not a data file.
    if (file.table.columns == 0) return Failure(ReadError::NotWorkbook);
    // Every column, so that the preview can offer any of them, within the
    // limits a worksheet has.
    if (file.table.rows.size() > kMaxImportRows) return Failure(ReadError::TooManyRows);
    if (static_cast<std::size_t>(file.table.columns) > kMaxImportColumns) return Failure(ReadError::TooManyColumns);
    ReadResult result;
    result.rows.reserve(file.table.rows.size());
    std::size_t cells = 0;
    for (const auto& row : file.table.rows) {
        const std::size_t width = std::min(row.size(), kMaxImportColumns);
        cells += width;
        if (cells > kMaxImportCells) return Failure(ReadError::TooLarge);
        std::vector<Cell> rowCells;
        rowCells.reserve(width);
        for (std::size_t column = 0; column < width; ++column) rowCells.push_back(FieldCell(row, column));
        result.rows.emplace_back(std::move(rowCells));
    }
    return result;
}

} // namespace korvanta::excel::detail
