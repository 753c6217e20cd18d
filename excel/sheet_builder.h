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
    void reserve(std::size_t rows) { cells_.reserve(2 * rows); }
    void touch(std::size_t row) {
        if (row + 1 > used_) used_ = row + 1;
    }
    // A later cell for the same place replaces an earlier one.
    void set(std::size_t row, std::size_t column, Cell cell);
    // A cell whose text is entry `index` of the shared-string table.
    void setShared(std::size_t row, std::size_t column, std::uint32_t index);

    // The shared-string indices the kept cells refer to, ascending, no
    // repeats; a cell replaced by a later one for its place needs none.
    std::vector<std::uint32_t> neededShared();
    // Fills the shared-string cells; texts[i] belongs to needed[i].
    void resolveShared(const std::vector<std::uint32_t>& needed, std::vector<std::string>& texts);

    // Rows 1 to the last used one, each cell as last set.
    std::vector<Row> take();

private:
    // The cells are kept as a list in reading order, 24 bytes each, and
    // laid out as rows only once, at the end: a sheet's rows are never
    // moved while it grows, and a sheet refused part-way (too large) or one
    // with a far-off last row never had rows made for its gaps.
    struct Entry {
        std::uint32_t row;
        std::uint8_t column;
        Cell::Kind kind;
        bool shared;          // index is a shared-string index still to look up
        std::uint32_t index;  // into texts_ for a text or an error
        double number;
    };
    static constexpr std::uint32_t kNoText = 0xFFFFFFFF;

    // Leaves only the last entry for each place.
    void dropReplaced();

    std::vector<Entry> cells_;
    std::vector<std::string> texts_;
    std::size_t used_ = 0;
};

}  // namespace korvanta::excel::detail
