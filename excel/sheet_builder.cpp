#include "excel/sheet_builder.h"

#include <algorithm>

namespace korvanta::excel::detail {

void SheetBuilder::set(std::size_t row, std::size_t column, Cell cell) {
    touch(row);
    if (column > 1) return;
    std::uint32_t index = kNoText;
    if (cell.kind == Cell::Kind::Text || cell.kind == Cell::Kind::Error) {
        index = static_cast<std::uint32_t>(texts_.size());
        texts_.push_back(std::move(cell.text));
    }
    cells_.push_back({static_cast<std::uint32_t>(row), static_cast<std::uint8_t>(column), cell.kind, false, index, cell.number});
}

void SheetBuilder::setShared(std::size_t row, std::size_t column, std::uint32_t index) {
    touch(row);
    if (column > 1) return;
    cells_.push_back({static_cast<std::uint32_t>(row), static_cast<std::uint8_t>(column), Cell::Kind::Text, true, index, 0.0});
}

void SheetBuilder::dropReplaced() {
    const auto place = [](const Entry& e) { return std::uint64_t{e.row} * 2 + e.column; };
    // Writers put cells in row and column order: then no place repeats.
    const bool ordered = std::adjacent_find(cells_.begin(), cells_.end(), [&](const Entry& a, const Entry& b) {
                             return place(a) >= place(b);
                         }) == cells_.end();
    if (ordered) return;
    std::vector<std::uint32_t> order(cells_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return place(cells_[a]) < place(cells_[b]); });
    std::vector<bool> keep(cells_.size(), false);
    for (std::size_t i = 0; i < order.size(); ++i)
        if (i + 1 == order.size() || place(cells_[order[i]]) != place(cells_[order[i + 1]])) keep[order[i]] = true;
    std::size_t out = 0;
    for (std::size_t i = 0; i < cells_.size(); ++i)
        if (keep[i]) cells_[out++] = cells_[i];
    cells_.resize(out);
}

std::vector<std::uint32_t> SheetBuilder::neededShared() {
    dropReplaced();
    std::vector<std::uint32_t> needed;
    for (const Entry& e : cells_)
        if (e.shared) needed.push_back(e.index);
    std::sort(needed.begin(), needed.end());
    needed.erase(std::unique(needed.begin(), needed.end()), needed.end());
    return needed;
}

void SheetBuilder::resolveShared(const std::vector<std::uint32_t>& needed, std::vector<std::string>& texts) {
    for (Entry& e : cells_) {
        if (!e.shared) continue;
        e.shared = false;
        const auto it = std::lower_bound(needed.begin(), needed.end(), e.index);
        if (it == needed.end() || *it != e.index) {
            e.index = kNoText;  // an empty text, as before the lookup
            continue;
        }
        e.index = static_cast<std::uint32_t>(texts_.size());
        texts_.push_back(texts[static_cast<std::size_t>(it - needed.begin())]);
    }
}

std::vector<Row> SheetBuilder::take() {
    std::vector<Row> rows(used_);
    for (const Entry& e : cells_) {
        Cell& cell = e.column == 0 ? rows[e.row].first : rows[e.row].second;
        cell.kind = e.kind;
        cell.number = e.number;
        // Each text belongs to one entry, so it can be moved out.
        if (e.index != kNoText && !e.shared) cell.text = std::move(texts_[e.index]);
        else cell.text.clear();
    }
    cells_.clear();
    texts_.clear();
    used_ = 0;
    return rows;
}

}  // namespace korvanta::excel::detail
