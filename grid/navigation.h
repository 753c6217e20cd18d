// What Enter, Down and Up do in the grid's cells. The decision depends only
// on the cell's visible row and the scroll state; the window carries it out.
#pragma once

namespace korvanta::grid {

enum class GridKey { Enter, Down, Up };
enum class CellKind { Data, RowNumber };

struct NavigationStep {
    enum class Kind { Nothing, MoveFocus, ScrollDown, ScrollUp, Append };
    Kind kind = Kind::Nothing;
    int targetRow = -1;     // for MoveFocus: the visible row in the same column
    bool consumeKey = false;
};

// row: the visible row of the focused cell (0..8).
NavigationStep Navigate(GridKey key, CellKind cell, int row, int offset, int maximum);

} // namespace korvanta::grid
