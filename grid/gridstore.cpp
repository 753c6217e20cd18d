#include "grid/gridstore.h"

#include <algorithm>

namespace korvanta::grid {
namespace {
const std::string kEmpty;
} // namespace

const std::string& GridStore::item(Column column, int row) const
{
    const auto& list = texts(column);
    if (row < 0 || static_cast<std::size_t>(row) >= list.size())
        return kEmpty;
    return list[static_cast<std::size_t>(row)];
}

void GridStore::resizeColumn(int column, std::size_t size)
{
    texts_[column].resize(size);
    values_[column].resize(size);
}

bool GridStore::setItem(Column column, int row, std::string_view text)
{
    if (row < 0 || row >= kMaxRows)
        return false;
    const auto needed = static_cast<std::size_t>(row) + 1;
    for (int c = 0; c < 2; ++c)
        if (texts_[c].size() < needed)
            resizeColumn(c, needed);
    const int c = index(column);
    const auto k = static_cast<std::size_t>(row);
    texts_[c][k] = text;
    stats::CellValue& cell = values_[c][k];
    moments_[c].add(cell, -1);
    pairMoments_.add(values_[0][k], values_[1][k], -1);
    cell = stats::ReadCell(text);
    moments_[c].add(cell, 1);
    pairMoments_.add(values_[0][k], values_[1][k], 1);
    return true;
}

void GridStore::clear()
{
    for (int c = 0; c < 2; ++c) {
        texts_[c].clear();
        values_[c].clear();
    }
    recomputeMoments();
}

void GridStore::recomputeMoments()
{
    for (int c = 0; c < 2; ++c)
        moments_[c] = stats::MomentsOf(values_[c]);
    pairMoments_ = stats::MomentsOf(values_[0], values_[1]);
}

bool GridStore::appendEmptyRow()
{
    const std::size_t rows = std::max(texts_[0].size(), texts_[1].size());
    if (rows >= static_cast<std::size_t>(kMaxRows))
        return false;
    for (int c = 0; c < 2; ++c)
        resizeColumn(c, texts_[c].size() + 1);
    return true;
}

void GridStore::padTo(int rows)
{
    const auto size = static_cast<std::size_t>(std::clamp(rows, 0, kMaxRows));
    for (int c = 0; c < 2; ++c)
        if (texts_[c].size() < size)
            resizeColumn(c, size);
}

void GridStore::replace(std::vector<std::string> first, std::vector<std::string> second)
{
    texts_[0] = std::move(first);
    texts_[1] = std::move(second);
    for (int c = 0; c < 2; ++c) {
        if (texts_[c].size() > static_cast<std::size_t>(kMaxRows))
            texts_[c].resize(static_cast<std::size_t>(kMaxRows));
        values_[c].clear();
        values_[c].reserve(texts_[c].size());
        for (const auto& text : texts_[c])
            values_[c].push_back(stats::ReadCell(text));
    }
    recomputeMoments();
}

void GridStore::setMaximum(int maximum)
{
    maximum_ = std::max(0, maximum);
    offset_ = std::min(offset_, maximum_);
}

void GridStore::setOffset(int offset)
{
    offset_ = std::clamp(offset, 0, maximum_);
}

} // namespace korvanta::grid
