#include "excel/export_check.h"

#include "excel/atomic_file.h"
#include "excel/plain_number.h"
#include "excel/text.h"

#include <algorithm>

namespace korvanta::excel::detail {

WriteResult CheckExport(const Columns& columns, std::size_t maxRows)
{
    if (columns.size() > kMaxExportColumns)
        return WriteFailure(WriteError::WriteFailed, std::to_string(columns.size()) + " columns");
    std::size_t rows = 0;
    for (const auto& column : columns) rows = std::max(rows, column.size());
    if (rows > maxRows)
        return WriteFailure(WriteError::TooManyRows,
                            std::to_string(rows) + " rows, at most " + std::to_string(maxRows));
    std::u16string units;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        for (std::size_t r = 0; r < columns[c].size(); ++r) {
            const auto where = [&] { return "column " + std::to_string(c + 1) + ", row " + std::to_string(r + 1); };
            if (!Utf8ToUtf16(columns[c][r], units)) return WriteFailure(WriteError::InvalidText, where());
            if (units.size() > kMaxCellChars) {
                WriteResult tooLong = WriteFailure(WriteError::TextTooLong, where());
                tooLong.cell = {static_cast<std::uint32_t>(r), static_cast<std::uint32_t>(c)};
                tooLong.cellChars = units.size();
                return tooLong;
            }
        }
    }
    return {};
}

bool IsNumberCell(std::string_view text, double* value)
{
    if (IsPlainNumberText(text)) {
        if (value) *value = PlainNumberValue(text);
        return true;
    }
    return IsNumberText(text, value);
}

} // namespace korvanta::excel::detail
