#include "grid/gridwindow.h"

namespace korvanta::grid {

void ResetGrid(GridStore& store, GridView& view)
{
    store.clear();
    store.setMaximum(0);
    store.setOffset(0);
    store.setScrollEnabled(false);
    view.showScrollState(0, 0, false);
    for (int i = 0; i < kVisibleRows; ++i) {
        store.appendEmptyRow();
        view.assignRowNumber(i, std::to_string(i + 1));
    }
    for (int i = 0; i < kVisibleRows; ++i) {
        view.assignCell(Column::First, i, std::string());
        view.assignCell(Column::Second, i, std::string());
    }
}

void RefreshGrid(const GridStore& store, GridView& view)
{
    // Cleaning may alter what a cell shows, never what is stored: the view
    // only shows the items.
    const int offset = store.offset();
    for (int i = 0; i < kVisibleRows; ++i) {
        view.assignCell(Column::First, i, store.item(Column::First, offset + i));
        view.assignCell(Column::Second, i, store.item(Column::Second, offset + i));
        view.assignRowNumber(i, std::to_string(offset + i + 1));
    }
}

void StoreCell(GridStore& store, Column column, int visibleRow, const std::string& text)
{
    store.setItem(column, store.offset() + visibleRow, text);
}

bool AppendRow(GridStore& store, GridView& view)
{
    // After a short import the visible rows run past the store: they get
    // their items first, so the new row is the one below the window.
    store.padTo(kVisibleRows);
    if (!store.appendEmptyRow())
        return false;
    store.setScrollEnabled(true);
    store.setMaximum(store.rowCount() - kVisibleRows);
    store.setOffset(store.offset() + 1);
    view.showScrollState(store.offset(), store.maximum(), true);
    RefreshGrid(store, view);
    return true;
}

void ScrollDown(GridStore& store, GridView& view)
{
    if (store.offset() >= store.maximum())
        return;
    ScrollTo(store, view, store.offset() + 1);
}

void ScrollUp(GridStore& store, GridView& view)
{
    if (store.offset() <= 0)
        return;
    ScrollTo(store, view, store.offset() - 1);
}

void ScrollTo(GridStore& store, GridView& view, int value)
{
    store.setOffset(value);
    view.showScrollState(store.offset(), store.maximum(), store.scrollEnabled());
    RefreshGrid(store, view);
}

} // namespace korvanta::grid
