#include "grid/gridstore.h"

#include <algorithm>

namespace korvanta::grid {
namespace {
const std::string kEmpty;
} // namespace

const std::string& GridStore::Item(Column column, int row) const
{
    const auto& list = Texts(column);
    if (row < 0 || static_cast<std::size_t>(row) >= list.size()) return kEmpty;
    return list[static_cast<std::size_t>(row)];
}

void GridStore::ResizeColumn(int column, std::size_t size)
{
    texts_[column].resize(size);
    values_[column].resize(size);
}

bool GridStore::SetItem(Column column, int row, std::string_view text)
{
    if (row < 0 || row >= kMaxRows) return false;
    const auto needed = static_cast<std::size_t>(row) + 1;
    for (int c = 0; c < 2; ++c)
        if (texts_[c].size() < needed) ResizeColumn(c, needed);
    const int c = Index(column);
    const auto k = static_cast<std::size_t>(row);
    texts_[c][k] = text;
    stats::CellValue& cell = values_[c][k];
    moments_[c].Add(cell, -1);
    pairMoments_.Add(values_[0][k], values_[1][k], -1);
    cell = stats::ReadCell(text);
    moments_[c].Add(cell, 1);
    pairMoments_.Add(values_[0][k], values_[1][k], 1);
    return true;
}

void GridStore::Clear()
{
    for (int c = 0; c < 2; ++c) {
        texts_[c].clear();
        values_[c].clear();
    }
    RecomputeMoments();
}

void GridStore::RecomputeMoments()
{
    for (int c = 0; c < 2; ++c) moments_[c] = stats::MomentsOf(values_[c]);
    pairMoments_ = stats::MomentsOf(values_[0], values_[1]);
}

bool GridStore::AppendEmptyRow()
{
    const std::size_t rows = std::max(texts_[0].size(), texts_[1].size());
    if (rows >= static_cast<std::size_t>(kMaxRows)) return false;
    for (int c = 0; c < 2; ++c) ResizeColumn(c, texts_[c].size() + 1);
    return true;
}

void GridStore::PadTo(int rows)
{
    const auto size = static_cast<std::size_t>(std::clamp(rows, 0, kMaxRows));
    for (int c = 0; c < 2; ++c)
        if (texts_[c].size() < size) ResizeColumn(c, size);
}

void GridStore::Replace(std::vector<std::string> first, std::vector<std::string> second)
{
    texts_[0] = std::move(first);
    texts_[1] = std::move(second);
    for (int c = 0; c < 2; ++c) {
        if (texts_[c].size() > static_cast<std::size_t>(kMaxRows)) texts_[c].resize(static_cast<std::size_t>(kMaxRows));
        values_[c].clear();
        values_[c].reserve(texts_[c].size());
        for (const auto& text : texts_[c]) values_[c].push_back(stats::ReadCell(text));
    }
    RecomputeMoments();
}

void GridStore::SetMaximum(int maximum)
{
    maximum_ = std::max(0, maximum);
    offset_ = std::min(offset_, maximum_);
}

void GridStore::SetOffset(int offset) { offset_ = std::clamp(offset, 0, maximum_); }

} // namespace korvanta::grid
