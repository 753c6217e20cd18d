#include "excel/sheet_builder.h"

#include <algorithm>

namespace korvanta::excel::detail {

Cell* SheetBuilder::slot(std::size_t row, std::size_t column) {
    touch(row);
    if (column > 1) return nullptr;
    if (row >= rows_.size()) {
        // Grown a block at a time (the vector doubles its capacity when it
        // must); take() trims the rows past the last used one.
        const std::size_t size = std::max(row + 1, rows_.size() + 1024);
        rows_.resize(size);
        shared_.resize(2 * size, kNone);
    }
    shared_[2 * row + column] = kNone;
    return column == 0 ? &rows_[row].first : &rows_[row].second;
}

void SheetBuilder::set(std::size_t row, std::size_t column, Cell cell) {
    if (Cell* c = slot(row, column)) *c = std::move(cell);
}

void SheetBuilder::setShared(std::size_t row, std::size_t column, std::uint32_t index) {
    if (Cell* c = slot(row, column)) {
        *c = Cell::MakeText({});
        shared_[2 * row + column] = index;
    }
}

std::vector<std::uint32_t> SheetBuilder::neededShared() const {
    std::vector<std::uint32_t> needed;
    for (std::uint32_t index : shared_)
        if (index != kNone) needed.push_back(index);
    std::sort(needed.begin(), needed.end());
    needed.erase(std::unique(needed.begin(), needed.end()), needed.end());
    return needed;
}

void SheetBuilder::resolveShared(const std::vector<std::uint32_t>& needed, std::vector<std::string>& texts) {
    for (std::size_t i = 0; i < shared_.size(); ++i) {
        if (shared_[i] == kNone) continue;
        const auto it = std::lower_bound(needed.begin(), needed.end(), shared_[i]);
        if (it == needed.end() || *it != shared_[i]) continue;
        Row& row = rows_[i / 2];
        (i % 2 == 0 ? row.first : row.second).text = texts[static_cast<std::size_t>(it - needed.begin())];
    }
}

std::vector<Row> SheetBuilder::take() {
    rows_.resize(used_);
    shared_.clear();
    return std::move(rows_);
}

}  // namespace korvanta::excel::detail
