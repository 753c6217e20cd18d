// A block of pasted text into the grid's store, and the store's two columns
// out as text for the clipboard.
#pragma once

#include "delimited/delimitedtext.h"
#include "grid/gridstore.h"

#include <cstddef>
#include <string>

namespace korvanta::grid {

enum class PasteProblem {
    None,
    NoData,         // nothing but a header, or only empty rows
    TooManyColumns, // the grid has two columns
    TooManyRows,    // the block would reach past kMaxRows
    NoSecondColumn, // two columns from the second: nothing lies right of it
};

// A pasted text longer than this (in UTF-16 units, as the clipboard holds
// it) is refused before it is read: a block the grid can hold is far
// shorter.
inline constexpr std::size_t kMaxPasteChars = std::size_t{16} << 20;

// The limits a pasted block is read within: the grid's rows, and the
// columns, cells and cell length a worksheet is imported with.
delimited::TextLimits PasteLimits();

struct PasteOutcome {
    PasteProblem problem = PasteProblem::None;
    int rows = 0;              // rows written
    bool firstChanged = false; // which columns were written
    bool secondChanged = false;
};

// Writes the block down from store row `row`: a one-column block into
// `column` only, a two-column block into both columns, only from the first
// (from the second it would not fit, as in a spreadsheet's last column). Every field is
// cleaned as a typed cell is. The store grows as needed; on any problem
// nothing is written.
PasteOutcome PasteBlock(GridStore& store, const delimited::DelimitedText& block, Column column, int row);

// Both columns, tab-separated, one line per row from row 1 to the last row
// with anything in it; "" when the store is empty.
std::string CopyText(const GridStore& store);

} // namespace korvanta::grid
