// Export of a table of texts to a new workbook or text file. The texts are
// stored as the writers' documentation in workbook.h says; a text a format
// cannot hold is escaped where the format allows it (.xlsx's _xHHHH_) and
// left out otherwise (a NUL in .csv, a control character in .ods), and the
// count of what was left out is returned. A number text a number cell would
// not give back digit for digit is written as text (IsKeptAsNumber). In
// .csv a text that a spreadsheet program would take for a formula (one
// starting with =, +, -, @, a tab or a carriage return, and not a number)
// gets a leading apostrophe.
//
// The file is built in memory, written under a temporary name in the
// target's folder with the target's permissions and owner, read back by our
// own reader and compared, and only then put at the target. A symbolic link
// stays and its target receives the data; a file with further hard links
// (or an owner this user cannot give a new file) is written over in place,
// after the space for it has been reserved. A folder, a missing folder, a
// name too long, a read-only file and a full disk each fail with their own
// reason, and the target is then as it was.
#pragma once

#include "excel/workbook.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace korvanta::excel {

// Sav and Dta are the statistics packages' files (ExportDataset).
enum class ExportFormat { Xls, Xlsx, Csv, Ods, Sav, Dta };

// Column by column, each from row 1; columns may differ in length.
using Columns = std::vector<std::vector<std::string>>;

// At most this many columns: the grid's two, or a 2x2 table with its
// headings.
inline constexpr std::size_t kMaxExportColumns = 3;

WriteResult ExportColumns(const std::filesystem::path& path, ExportFormat format, const Columns& columns);

// A variable of a .sav or .dta export: an ASCII name both packages accept,
// a label, value labels, and its column of texts as the grid holds them. A
// variable whose texts are all numbers (or empty) is numeric, an empty text
// system-missing; any other is a string variable.
struct DataVariable {
    std::string name;
    std::string label;
    std::vector<std::pair<double, std::string>> valueLabels;
    std::vector<std::string> values;
};

struct Dataset {
    std::vector<DataVariable> variables;
    // The frequency weight of a table written as weighted cases.
    std::optional<std::size_t> weight;
};

// Writes a .sav (Sav) or a .dta of Stata 14 and later (Dta, version 118,
// UTF-8), read back and compared like the other exports: every value, name,
// label and value label.
WriteResult ExportDataset(const std::filesystem::path& path, ExportFormat format, const Dataset& dataset);

} // namespace korvanta::excel
