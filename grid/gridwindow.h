// The operations that keep the nine visible rows and the store consistent:
// reset, refresh, storing a cell, appending a row and scrolling by one row.
// The window itself (text boxes, scrollbar) is behind GridView, so the same
// operations drive the real widgets and the unit tests. The store is written
// by explicit calls only: StoreCell for the user's edit of a cell, the
// store's own setters for everything else; showing a cell never writes it.
#pragma once

#include "grid/gridstore.h"

#include <string>

namespace korvanta::grid {

class GridView {
public:
    virtual ~GridView() = default;
    // Shows a store item in a visible data cell (the cell may show it
    // cleaned). Display only: the store is not written back.
    virtual void AssignCell(Column column, int visibleRow, const std::string& text) = 0;
    virtual void AssignRowNumber(int visibleRow, const std::string& text) = 0;
    // Mirrors the store's scroll state into the scrollbar without running
    // a refresh of its own.
    virtual void ShowScrollState(int value, int maximum, bool enabled) = 0;
};

// Store back to nine empty rows, window at row 1, scroll range 0..0 disabled,
// row numbers 1..9, every data cell emptied.
void ResetGrid(GridStore& store, GridView& view);

// Fills the visible rows and row numbers from the store at the current
// offset without writing to the store.
void RefreshGrid(const GridStore& store, GridView& view);

// The user's edit of a visible cell: item offset + visibleRow of the column
// <- text (already cleaned).
void StoreCell(GridStore& store, Column column, int visibleRow, const std::string& text);

// One empty row at the end, window moved onto it. False when the store is full.
bool AppendRow(GridStore& store, GridView& view);

// Offset +1 / -1, then refresh; nothing when the new offset is out of range.
void ScrollDown(GridStore& store, GridView& view);
void ScrollUp(GridStore& store, GridView& view);

// The user moved the scrollbar (arrow, trough or thumb) to value.
void ScrollTo(GridStore& store, GridView& view, int value);

} // namespace korvanta::grid
