// Collects the cells of one worksheet while a reader walks it: the values of
// columns A and B, the shared-string indices still to be looked up, and the
// last used row over all columns.
#pragma once

#include "excel/workbook.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvanta::excel::detail {

class SheetBuilder {
public:
    // Rows and columns count from 0 here. Any cell, in any column and with
    // or without a value, makes its row used.
    // A hint of the row count (the file's own, untrusted): capacity only.
    void reserve(std::size_t rows) {
        rows_.reserve(rows);
        shared_.reserve(2 * rows);
    }
    void touch(std::size_t row) {
        if (row + 1 > used_) used_ = row + 1;
    }
    void set(std::size_t row, std::size_t column, Cell cell);
    // A cell whose text is entry `index` of the shared-string table.
    void setShared(std::size_t row, std::size_t column, std::uint32_t index);

    // The shared-string indices the kept cells refer to, ascending, no repeats.
    std::vector<std::uint32_t> neededShared() const;
    // Fills the shared-string cells; texts[i] belongs to needed[i].
    void resolveShared(const std::vector<std::uint32_t>& needed, std::vector<std::string>& texts);

    std::vector<Row> take();

private:
    Cell* slot(std::size_t row, std::size_t column);

    static constexpr std::uint32_t kNone = 0xFFFFFFFF;
    std::vector<Row> rows_;
    std::vector<std::uint32_t> shared_;  // two per row, kNone where not a shared string
    std::size_t used_ = 0;
};

}  // namespace korvanta::excel::detail
