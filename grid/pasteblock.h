// A block of pasted text into the grid's store, and the store's two columns
// out as text for the clipboard.
#pragma once

#include "delimited/delimitedtext.h"
#include "grid/gridstore.h"

#include <string>

namespace korvanta::grid {

enum class PasteProblem {
    None,
    NoData,         // nothing but a header, or only empty rows
    TooManyColumns, // the grid has two columns
    TooManyRows,    // the block would reach past kMaxRows
};

struct PasteOutcome {
    PasteProblem problem = PasteProblem::None;
    int rows = 0;              // rows written
    bool firstChanged = false; // which columns were written
    bool secondChanged = false;
};

// Writes the block down from store row `row`: a one-column block into
// `column` only, a two-column block into both columns. Every field is
// cleaned as a typed cell is. The store grows as needed; on any problem
// nothing is written.
PasteOutcome PasteBlock(GridStore& store, const delimited::DelimitedText& block, Column column, int row);

// Both columns, tab-separated, one line per row from row 1 to the last row
// with anything in it; "" when the store is empty.
std::string CopyText(const GridStore& store);

} // namespace korvanta::grid
