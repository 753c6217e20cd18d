// The checks both writers make before touching the disk, so a refused
// export never leaves anything behind.
#pragma once

#include "excel/workbook.h"

#include <string>
#include <vector>

namespace korvanta::excel::detail {

// Rows within maxRows; every text valid UTF-8 of at most kMaxCellChars
// UTF-16 units (the unit Excel counts in).
WriteResult CheckExport(const std::vector<std::string>& column1, const std::vector<std::string>& column2,
                        std::size_t maxRows);

}  // namespace korvanta::excel::detail
