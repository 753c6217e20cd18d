#include "excel/sheet_builder.h"

#include <algorithm>

namespace korvanta::excel::detail {

void SheetBuilder::Reserve(std::size_t rows)
{
    cells_.reserve(std::min(rows, std::min(limits_.rows, kMaxImportRows)) * 2);
}

bool SheetBuilder::Fail(ReadError error)
{
    if (error_ == ReadError::None) error_ = error;
    return false;
}

bool SheetBuilder::Touch(std::size_t row)
{
    if (error_ != ReadError::None) return false;
    if (row >= limits_.rows) return Fail(ReadError::TooManyRows);
    if (row + 1 > used_) used_ = row + 1;
    return true;
}

bool SheetBuilder::Admit(std::size_t row, std::size_t column, std::size_t textBytes)
{
    if (!Touch(row)) return false;
    if (column >= kMaxImportColumns) return Fail(ReadError::TooManyColumns);
    if (cells_.size() + uncalculated_.size() >= limits_.cells) return Fail(ReadError::TooLarge);
    if (textBytes > limits_.textBytes - textBytes_) return Fail(ReadError::TooLarge);
    textBytes_ += textBytes;
    return true;
}

bool SheetBuilder::Set(std::size_t row, std::size_t column, Cell cell)
{
    if (cell.kind == Cell::Kind::Empty) return Touch(row);
    if (!Admit(row, column, cell.text.size())) return false;
    std::uint32_t index = kNoText;
    if (cell.kind == Cell::Kind::Text || cell.kind == Cell::Kind::Error) {
        index = static_cast<std::uint32_t>(texts_.size());
        texts_.push_back(std::move(cell.text));
    }
    cells_.push_back(
        {static_cast<std::uint32_t>(row), static_cast<std::uint16_t>(column), cell.kind, false, index, cell.number});
    return true;
}

bool SheetBuilder::SetRepeated(std::size_t row, std::size_t column, std::size_t count, const Cell& cell)
{
    if (cell.kind == Cell::Kind::Empty) return Touch(row);
    for (std::size_t k = 0; k < count; ++k)
        if (!Set(row, column + k, cell)) return false;
    return true;
}

bool SheetBuilder::SetShared(std::size_t row, std::size_t column, std::uint32_t index)
{
    if (!Admit(row, column, 0)) return false;
    cells_.push_back(
        {static_cast<std::uint32_t>(row), static_cast<std::uint16_t>(column), Cell::Kind::Text, true, index, 0.0});
    return true;
}

bool SheetBuilder::SetUncalculated(std::size_t row, std::size_t column)
{
    if (!Admit(row, column, 0)) return false;
    uncalculated_.push_back({static_cast<std::uint32_t>(row), static_cast<std::uint32_t>(column)});
    return true;
}

void SheetBuilder::DropReplaced()
{
    const auto place = [](const Entry& e) { return std::uint64_t{e.row} * kMaxImportColumns + e.column; };
    // Writers put cells in row and column order: then no place repeats.
    const bool ordered = std::adjacent_find(cells_.begin(), cells_.end(), [&](const Entry& a, const Entry& b) {
                             return place(a) >= place(b);
                         }) == cells_.end();
    if (ordered) return;
    std::vector<std::uint32_t> order(cells_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return place(cells_[a]) < place(cells_[b]); });
    std::vector<bool> keep(cells_.size(), false);
    for (std::size_t i = 0; i < order.size(); ++i)
        if (i + 1 == order.size() || place(cells_[order[i]]) != place(cells_[order[i + 1]])) keep[order[i]] = true;
    std::size_t out = 0;
    for (std::size_t i = 0; i < cells_.size(); ++i)
        if (keep[i]) cells_[out++] = cells_[i];
    cells_.resize(out);
}

std::vector<std::uint32_t> SheetBuilder::NeededShared()
{
    DropReplaced();
    std::vector<std::uint32_t> needed;
    for (const Entry& e : cells_)
        if (e.shared) needed.push_back(e.index);
    std::sort(needed.begin(), needed.end());
    needed.erase(std::unique(needed.begin(), needed.end()), needed.end());
    return needed;
}

bool SheetBuilder::ResolveShared(const std::vector<std::uint32_t>& needed, const std::vector<std::string>& texts)
{
    // Each cell gets its own copy of the text: counted before any is made,
    // as a thousand rows may point at one long entry.
    std::size_t bytes = 0;
    for (const Entry& e : cells_) {
        if (!e.shared) continue;
        const auto it = std::lower_bound(needed.begin(), needed.end(), e.index);
        if (it != needed.end() && *it == e.index) bytes += texts[static_cast<std::size_t>(it - needed.begin())].size();
        if (bytes > limits_.textBytes - textBytes_) return Fail(ReadError::TooLarge);
    }
    textBytes_ += bytes;
    for (Entry& e : cells_) {
        if (!e.shared) continue;
        e.shared = false;
        const auto it = std::lower_bound(needed.begin(), needed.end(), e.index);
        if (it == needed.end() || *it != e.index) {
            e.index = kNoText; // an empty text, as before the lookup
            continue;
        }
        e.index = static_cast<std::uint32_t>(texts_.size());
        texts_.push_back(texts[static_cast<std::size_t>(it - needed.begin())]);
    }
    return true;
}

ReadResult SheetBuilder::Take()
{
    DropReplaced();
    ReadResult result;
    result.rows.resize(used_);
    // Each row's width first, so that its cells are allocated once.
    std::vector<std::uint16_t> width(used_, 0);
    for (const Entry& e : cells_)
        width[e.row] = std::max<std::uint16_t>(width[e.row], static_cast<std::uint16_t>(e.column + 1));
    for (std::size_t r = 0; r < used_; ++r) result.rows[r].cells.resize(width[r]);
    width.clear();
    width.shrink_to_fit();
    for (const Entry& e : cells_) {
        Cell& cell = result.rows[e.row].cells[e.column];
        cell.kind = e.kind;
        cell.number = e.number;
        // Each text belongs to one entry, so it can be moved out.
        if (e.index != kNoText && !e.shared)
            cell.text = std::move(texts_[e.index]);
        else
            cell.text.clear();
    }
    for (Row& row : result.rows) row.Trim();
    result.uncalculated = std::move(uncalculated_);
    cells_.clear();
    texts_.clear();
    used_ = 0;
    return result;
}

} // namespace korvanta::excel::detail
