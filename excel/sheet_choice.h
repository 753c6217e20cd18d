// The readers behind ListSheets and ReadSheet, one pair per format.
#pragma once

#include "excel/readers.h"
#include "excel/sheets.h"

namespace korvanta::excel::detail {

SheetList ListFailure(ReadError error);

// .xls: worksheet `index` is read by the BIFF reader from a copy of the
// workbook stream in which the worksheets before it are marked as other
// kinds of sheet, so the reader's "first worksheet" is the one chosen.
SheetList ListXlsSheets(const std::filesystem::path& path);
ReadResult ReadXlsSheet(const std::filesystem::path& path, std::size_t index);

// .xlsx: worksheet `index` is read from a temporary copy of the package
// whose workbook part lists that sheet first.
SheetList ListXlsxSheets(const std::filesystem::path& path);
ReadResult ReadXlsxSheet(const std::filesystem::path& path, std::size_t index);

SheetList ListOdsSheets(const std::filesystem::path& path);
ReadResult ReadOdsSheet(const std::filesystem::path& path, std::size_t index);

ReadResult ReadTextSheet(const std::filesystem::path& path);

}  // namespace korvanta::excel::detail
