// What Enter, Down and Up do in the grid's cells. The decision depends only
// on the cell's visible row and the scroll state; the window carries it out.
#pragma once

namespace korvanta::grid {

enum class GridKey { Enter, Down, Up };
enum class CellKind { Data, RowNumber };

struct NavigationStep {
    enum class Kind { Nothing, MoveFocus, ScrollDown, ScrollUp, Append };
    Kind kind = Kind::Nothing;
    int targetRow = -1; // for MoveFocus: the visible row in the same column
    bool consumeKey = false;
};

// row: the visible row of the focused cell (0..8).
NavigationStep Navigate(GridKey key, CellKind cell, int row, int offset, int maximum);

// Keys that move the window by more than a row: PageUp/PageDown (nine rows)
// and Ctrl+Home/Ctrl+End (the first and the last stored row).
enum class PageKey { PageUp, PageDown, FirstRow, LastRow };

struct PageStep {
    int offset = 0;   // the window's new offset
    int focusRow = 0; // the visible row that takes the focus, same column
};

// row: the visible row of the focused cell; lastRow: the last stored row
// (0-based). The focus follows the store row it was on by a page, as far as
// the store reaches, so a page at either end lands on the first or last row.
PageStep Page(PageKey key, int row, int offset, int maximum, int lastRow);

// The offset after the mouse wheel turned by `rows` (positive: down).
int WheelOffset(int offset, int maximum, int rows);

} // namespace korvanta::grid
