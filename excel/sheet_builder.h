// Collects the cells of one worksheet while a reader walks it: the values of
// every column up to kMaxImportColumns, the shared-string indices still to
// be looked up, and the last used row. The import limits are counted here,
// as each cell arrives, so no reader spends memory on a sheet it must refuse.
#pragma once

#include "excel/workbook.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvanta::excel::detail {

class SheetBuilder {
public:
    explicit SheetBuilder(const ReadLimits& limits = {}) : limits_(limits) {}

    // Rows and columns count from 0 here. Each call answers false once a
    // limit is reached; Error() then says which, and the reader stops.
    // A hint of the row count (the file's own, untrusted): capacity only.
    void Reserve(std::size_t rows);
    // Any cell, in any column and with or without a value, makes its row used.
    bool Touch(std::size_t row);
    // A later cell for the same place replaces an earlier one. An empty
    // cell only makes its row used.
    bool Set(std::size_t row, std::size_t column, Cell cell);
    // `count` copies of one cell from `column` on (a repeated cell).
    bool SetRepeated(std::size_t row, std::size_t column, std::size_t count, const Cell& cell);
    // A cell whose text is entry `index` of the shared-string table.
    bool SetShared(std::size_t row, std::size_t column, std::uint32_t index);
    // A formula saved without its result: an empty cell, remembered.
    bool SetUncalculated(std::size_t row, std::size_t column);

    ReadError Error() const { return error_; }

    // The shared-string indices the kept cells refer to, ascending, no
    // repeats; a cell replaced by a later one for its place needs none.
    std::vector<std::uint32_t> NeededShared();
    // Fills the shared-string cells; texts[i] belongs to needed[i]. False
    // when the copies would pass the text limit.
    bool ResolveShared(const std::vector<std::uint32_t>& needed, const std::vector<std::string>& texts);

    // Rows 1 to the last used one, each cell as last set, and the
    // uncalculated formulas.
    ReadResult Take();

private:
    // The cells are kept as a list in reading order and laid out as rows
    // only once, at the end: a sheet's rows are never moved while it grows,
    // and a sheet refused part-way never had rows made for its gaps.
    struct Entry {
        std::uint32_t row;
        std::uint16_t column;
        Cell::Kind kind;
        bool shared;         // index is a shared-string index still to look up
        std::uint32_t index; // into texts_ for a text or an error
        double number;
    };
    static constexpr std::uint32_t kNoText = 0xFFFFFFFF;

    bool Fail(ReadError error);
    bool Admit(std::size_t row, std::size_t column, std::size_t textBytes);
    void DropReplaced();

    ReadLimits limits_;
    std::vector<Entry> cells_;
    std::vector<std::string> texts_;
    std::vector<CellPosition> uncalculated_;
    std::size_t used_ = 0;
    std::size_t textBytes_ = 0;
    ReadError error_ = ReadError::None;
};

} // namespace korvanta::excel::detail
