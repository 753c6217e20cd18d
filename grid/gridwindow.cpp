#include "grid/gridwindow.h"

namespace korvanta::grid {

void ResetGrid(GridStore& store, GridView& view)
{
    store.Clear();
    store.SetMaximum(0);
    store.SetOffset(0);
    store.SetScrollEnabled(false);
    view.ShowScrollState(0, 0, false);
    for (int i = 0; i < kVisibleRows; ++i) {
        store.AppendEmptyRow();
        view.AssignRowNumber(i, std::to_string(i + 1));
    }
    for (int i = 0; i < kVisibleRows; ++i) {
        view.AssignCell(Column::First, i, std::string());
        view.AssignCell(Column::Second, i, std::string());
    }
}

void RefreshGrid(const GridStore& store, GridView& view)
{
    // Cleaning may alter what a cell shows, never what is stored: the view
    // only shows the items.
    const int offset = store.Offset();
    for (int i = 0; i < kVisibleRows; ++i) {
        view.AssignCell(Column::First, i, store.Item(Column::First, offset + i));
        view.AssignCell(Column::Second, i, store.Item(Column::Second, offset + i));
        view.AssignRowNumber(i, std::to_string(offset + i + 1));
    }
}

void StoreCell(GridStore& store, Column column, int visibleRow, const std::string& text)
{
    store.SetItem(column, store.Offset() + visibleRow, text);
}

bool AppendRow(GridStore& store, GridView& view)
{
    // After a short import the visible rows run past the store: they get
    // their items first, so the new row is the one below the window.
    store.PadTo(kVisibleRows);
    if (!store.AppendEmptyRow()) return false;
    store.SetScrollEnabled(true);
    store.SetMaximum(store.RowCount() - kVisibleRows);
    store.SetOffset(store.Offset() + 1);
    view.ShowScrollState(store.Offset(), store.Maximum(), true);
    RefreshGrid(store, view);
    return true;
}

void ScrollDown(GridStore& store, GridView& view)
{
    if (store.Offset() >= store.Maximum()) return;
    ScrollTo(store, view, store.Offset() + 1);
}

void ScrollUp(GridStore& store, GridView& view)
{
    if (store.Offset() <= 0) return;
    ScrollTo(store, view, store.Offset() - 1);
}

void ScrollTo(GridStore& store, GridView& view, int value)
{
    store.SetOffset(value);
    view.ShowScrollState(store.Offset(), store.Maximum(), store.ScrollEnabled());
    RefreshGrid(store, view);
}

} // namespace korvanta::grid
