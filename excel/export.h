// Export of a table of texts to a new workbook or text file. The texts are
// stored as the writers' documentation in workbook.h says; a text a format
// cannot hold is escaped where the format allows it (.xlsx's _xHHHH_) and
// left out otherwise, and the count of what was left out is returned. In
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
#include <string>
#include <vector>

namespace korvanta::excel {

enum class ExportFormat { Xls, Xlsx, Csv };

// Column by column, each from row 1; columns may differ in length.
using Columns = std::vector<std::vector<std::string>>;

// At most this many columns: the grid's two, or a 2x2 table with its
// headings.
inline constexpr std::size_t kMaxExportColumns = 3;

WriteResult ExportColumns(const std::filesystem::path& path, ExportFormat format, const Columns& columns);

} // namespace korvanta::excel
