#include "excel/export_check.h"

#include "excel/atomic_file.h"
#include "excel/text.h"

#include <algorithm>

namespace korvanta::excel::detail {

WriteResult CheckExport(const std::vector<std::string>& column1, const std::vector<std::string>& column2,
                        std::size_t maxRows) {
    const std::size_t rows = std::max(column1.size(), column2.size());
    if (rows > maxRows)
        return WriteFailure(WriteError::TooManyRows, std::to_string(rows) + " rows, at most " + std::to_string(maxRows));
    std::u16string units;
    for (int c = 0; c < 2; ++c) {
        const auto& column = c == 0 ? column1 : column2;
        for (std::size_t r = 0; r < column.size(); ++r) {
            const auto where = [&] { return "column " + std::to_string(c + 1) + ", row " + std::to_string(r + 1); };
            if (!Utf8ToUtf16(column[r], units)) return WriteFailure(WriteError::InvalidText, where());
            if (units.size() > kMaxCellChars) return WriteFailure(WriteError::TextTooLong, where());
        }
    }
    return {};
}

}  // namespace korvanta::excel::detail
