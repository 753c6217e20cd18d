// The checks every writer makes before building a file, and the writers'
// encoders: each turns a checked table into the bytes of its format, in
// memory. export.cpp puts them on the disk.
#pragma once

#include "excel/bytes.h"
#include "excel/export.h"

#include <string>
#include <vector>

namespace korvanta::excel::detail {

// At most maxRows rows and kMaxExportColumns columns; every text valid UTF-8
// of at most kMaxCellChars UTF-16 units (the unit Excel counts in).
WriteResult CheckExport(const Columns& columns, std::size_t maxRows);

WriteResult EncodeXls(const Columns& columns, Bytes& out);
WriteResult EncodeXlsx(const Columns& columns, Bytes& out);
// The columns as an OpenDocument spreadsheet; every text must be one XML
// can carry (OdsContent).
WriteResult EncodeOds(const Columns& columns, Bytes& out);
// The texts as an .ods file holds them: the characters XML cannot carry
// (controls other than tab and line ends, U+FFFE, U+FFFF) are left out and
// counted in dropped.
Columns OdsContent(const Columns& columns, std::size_t& dropped);

// A zip package built in memory from its parts, in their order.
struct PackagePart {
    enum Compression { Store, Fast, Default };
    std::string name;
    std::string data;
    Compression compression = Default;
};
WriteResult ZipParts(const std::vector<PackagePart>& parts, Bytes& out);
// Texts as a spreadsheet program should read them back (Sanitized below).
Bytes EncodeCsv(const Columns& columns);

// Whether a text is a number (IsNumberText), with the common plain case
// read quickly. A workbook stores it as a number only when the number cell
// keeps it (IsKeptAsNumber).
bool IsNumberCell(std::string_view text, double* value = nullptr);

} // namespace korvanta::excel::detail
