// The data grid's model: the two-column store and the window of nine
// visible rows over it, offset by the scrollbar.
//
// The store holds each cell's text exactly as it stood after cleaning; the
// converted value of every item is kept beside it so that a keystroke
// recomputes from the whole store without parsing 32,767 texts again. The
// value is always the conversion of the text next to it, so results equal a
// fresh recomputation. The exact sums the tests start from are kept up to
// date the same way: a changed cell takes its old value out of them and puts
// its new one in, so a keystroke costs the same at any store size.
#pragma once

#include "stats/cellvalue.h"
#include "stats/exactfigures.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvanta::grid {

inline constexpr int kVisibleRows = 9;
// Row numbers, item indices and the scroll offset are 16-bit in the file
// formats and in the user's habits: the store never grows past this.
inline constexpr int kMaxRows = 32767;

enum class Column { First = 0, Second = 1 };

class GridStore {
public:
    GridStore() = default;

    // Rows of a column; the two columns have the same count except after an
    // import of columns of different lengths.
    int Count(Column column) const { return static_cast<int>(Texts(column).size()); }
    int RowCount() const { return Count(Column::First); }

    // Item of a column; the empty text at or past the end.
    const std::string& Item(Column column, int row) const;
    std::span<const std::string> Items(Column column) const { return Texts(column); }
    std::span<const stats::CellValue> Values(Column column) const { return values_[Index(column)]; }
    // Exact sums of a column's numbers, and over the rows where both cells
    // are numbers; always those of the values above.
    const stats::ColumnMoments& Moments(Column column) const { return moments_[Index(column)]; }
    const stats::PairMoments& PairMoments() const { return pairMoments_; }

    // Replaces one item. A row past the end grows both columns with empty
    // items, so a value typed below a short import is never dropped.
    // Returns false only for a row outside 0..kMaxRows-1.
    bool SetItem(Column column, int row, std::string_view text);

    // Removes every item of both columns.
    void Clear();
    // Appends one empty row to both columns; false when the store is full.
    bool AppendEmptyRow();
    // Grows both columns with empty items to at least rows items.
    void PadTo(int rows);
    // Replaces the store by imported columns (each at most kMaxRows items).
    void Replace(std::vector<std::string> first, std::vector<std::string> second);

    // The scroll window: the scrollbar's value, maximum and enabled state.
    int Offset() const { return offset_; }
    int Maximum() const { return maximum_; }
    bool ScrollEnabled() const { return scrollEnabled_; }
    void SetMaximum(int maximum);
    void SetOffset(int offset);
    void SetScrollEnabled(bool enabled) { scrollEnabled_ = enabled; }

private:
    static int Index(Column column) { return column == Column::First ? 0 : 1; }
    const std::vector<std::string>& Texts(Column column) const { return texts_[Index(column)]; }
    void ResizeColumn(int column, std::size_t size);
    void RecomputeMoments();

    std::vector<std::string> texts_[2];
    std::vector<stats::CellValue> values_[2];
    stats::ColumnMoments moments_[2];
    stats::PairMoments pairMoments_;
    int offset_ = 0;
    int maximum_ = 0;
    bool scrollEnabled_ = false;
};

} // namespace korvanta::grid
