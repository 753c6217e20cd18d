// The checks every writer makes before building a file, and the writers'
// encoders: each turns a checked table into the bytes of its format, in
// memory. export.cpp puts them on the disk.
#pragma once

#include "excel/bytes.h"
#include "excel/export.h"

#include <string>

namespace korvanta::excel::detail {

// At most maxRows rows and kMaxExportColumns columns; every text valid UTF-8
// of at most kMaxCellChars UTF-16 units (the unit Excel counts in).
WriteResult CheckExport(const Columns& columns, std::size_t maxRows);

WriteResult EncodeXls(const Columns& columns, Bytes& out);
WriteResult EncodeXlsx(const Columns& columns, Bytes& out);
// Texts as a spreadsheet program should read them back (Sanitized below).
Bytes EncodeCsv(const Columns& columns);

// Whether a text stands for a number in the written file: the writers'
// own rule (IsNumberText).
bool IsNumberCell(std::string_view text, double* value = nullptr);

} // namespace korvanta::excel::detail
