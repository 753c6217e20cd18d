// .csv and .txt files: read and split by the delimited-text rules that a
// paste follows too, so a file and the same text pasted give the same columns.
// The import's limits are passed to the splitter, which counts them as it
// reads; the heading row is kept, for the preview to decide.
#include "delimited/textfile.h"
#include "excel/sheet_choice.h"
#include "excel/sheets.h"

#include <algorithm>

namespace korvanta::excel::detail {
namespace {

ReadError ErrorOf(delimited::TextProblem problem)
{
    switch (problem) {
    case delimited::TextProblem::TooManyRows:
        return ReadError::TooManyRows;
    case delimited::TextProblem::TooManyColumns:
        return ReadError::TooManyColumns;
    case delimited::TextProblem::TooManyCells:
    case delimited::TextProblem::TooMuchText:
    case delimited::TextProblem::CellTooLong:
        return ReadError::TooLarge;
    case delimited::TextProblem::None:
    case delimited::TextProblem::UnclosedQuote:
    case delimited::TextProblem::Utf16WithoutMark:
    case delimited::TextProblem::NulCharacter:
    case delimited::TextProblem::CutCharacter:
    case delimited::TextProblem::UnknownEncoding:
    case delimited::TextProblem::Blank:
    case delimited::TextProblem::NoNumbers:
    case delimited::TextProblem::Count:
        break;
    }
    return ReadError::NotWorkbook;
}

} // namespace

ReadResult ReadTextSheet(const std::filesystem::path& path, const ReadLimits& limits)
{
    delimited::TextLimits textLimits;
    textLimits.rows = limits.rows;
    textLimits.columns = kMaxImportColumns;
    textLimits.cells = limits.cells;
    textLimits.cellChars = kMaxCellChars;
    textLimits.bytes = limits.textBytes;
    delimited::TextFile file = delimited::ReadDelimitedFile(path, kMaxTextFileBytes, textLimits);
    switch (file.error) {
    case delimited::TextFileError::None:
        break;
    case delimited::TextFileError::CannotOpen:
        return Failure(ReadError::CannotOpen);
    case delimited::TextFileError::TooLarge:
        return Failure(ReadError::TooLarge);
    case delimited::TextFileError::NotText: {
        ReadResult refused = Failure(ErrorOf(file.table.fault.problem));
        refused.textFault = file.table.fault;
        return refused;
    }
    }
    // Every column, so that the preview can offer any of them; each row's
    // fields are given up as its cells are made.
    ReadResult result;
    result.rows.reserve(file.table.rows.size());
    for (auto& row : file.table.rows) {
        std::vector<Cell> cells;
        cells.reserve(row.size());
        for (std::string& field : row) cells.push_back(field.empty() ? Cell{} : Cell::MakeText(std::move(field)));
        std::vector<std::string>().swap(row);
        result.rows.emplace_back(std::move(cells));
    }
    return result;
}

} // namespace korvanta::excel::detail
