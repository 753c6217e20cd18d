// Picture2: the data grid. Nine visible rows of a row-number cell (Text3)
// and two data cells (Text1, Text2) over the GridStore, scrolled by VS1.
// A change of a data cell's text from outside the panel (the user's typing,
// a program's assignment) is cleaned, stored and announced; the window then
// reruns the current test. When the panel itself refills the cells from the
// store, the cells' change handling is kept out (their signals are blocked)
// and nothing is stored back; the changed columns are gathered and announced
// once, since the results depend only on the store. Ctrl+V and Ctrl+C are
// handed to the window, which owns the clipboard and the messages.
#pragma once

#include "app/cellbatch.h"
#include "grid/gridstore.h"
#include "grid/gridwindow.h"
#include "grid/navigation.h"

#include <QFrame>
#include <QLineEdit>
#include <QScrollBar>
#include <array>

class QKeyEvent;
class QWheelEvent;

namespace korvanta::ui {

class GridPanel : public QFrame, public grid::GridView, public BatchedAnnouncer {
    Q_OBJECT
public:
    GridPanel(grid::GridStore& store, QWidget* parent);

    QLineEdit* Cell(grid::Column column, int row) const;
    QLineEdit* RowNumber(int row) const { return rowNumbers_[static_cast<std::size_t>(row)]; }
    QScrollBar* ScrollBar() const { return scrollBar_; }

    void ResetGrid();
    // Shows the store after a paste wrote into it: VS1 over the grown store,
    // the window refreshed where it is, and the written columns announced
    // once.
    void ShowPasted(bool firstChanged, bool secondChanged);
    // Shows an imported store: the window back at row 1, VS1 by the import's
    // rule, and the first rows assigned as if typed, so that they are cleaned,
    // stored back and recomputed.
    void ShowImported();
    // Shows a store given back by undo or redo: VS1 over its rows, the
    // window at offset, nothing stored back.
    void ShowRestored(int offset);

    // Both columns count as changed (after an import, whose rows may equal
    // what the cells showed before).
    void MarkColumnsChanged()
    {
        Announce(grid::Column::First);
        Announce(grid::Column::Second);
    }

signals:
    // One or both columns changed; a CellBatch announces both at once, so a
    // test on both columns runs once.
    void ColumnsChanged(bool first, bool second);
    // Ctrl+V (or the context menu's paste) in a data cell at visible row.
    void PasteRequested(korvanta::grid::Column column, int row);
    // Ctrl+C in a grid cell with nothing selected.
    void CopyRequested();
    // Enter or Down in the last row the store can hold: no row was added.
    void GridFull();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The wheel over the cells scrolls the window as VS1 does.
    void wheelEvent(QWheelEvent* event) override;

private:
    // GridView
    void AssignCell(grid::Column column, int row, const std::string& text) override;
    void AssignRowNumber(int row, const std::string& text) override;
    void ShowScrollState(int value, int maximum, bool enabled) override;

    void OnCellChanged(grid::Column column, int row);
    // Shows a store item in a cell, cleaned, without storing it; a changed
    // text announces its column. False when the cell already showed item.
    bool ShowItem(grid::Column column, int row, const std::string& item);
    void Announce(grid::Column column);
    void SendGathered() override;
    bool Navigate(QObject* watched, grid::GridKey key);
    bool Page(QObject* watched, grid::PageKey key);
    // The focused cell's column of cells (data or row numbers) and visible row.
    const std::array<QLineEdit*, grid::kVisibleRows>* CellsOf(const QObject* watched, int& row) const;
    // The data cell's column and visible row; false for any other widget.
    bool Locate(const QObject* watched, grid::Column& column, int& row) const;
    bool ClipboardKey(QObject* watched, const QKeyEvent& key);
    void ShowContextMenu(grid::Column column, int row, const QPoint& at);
    void PlaceCaretAtEnd(QLineEdit* box);

    grid::GridStore& store_;
    std::array<QLineEdit*, grid::kVisibleRows> first_{};
    std::array<QLineEdit*, grid::kVisibleRows> second_{};
    std::array<QLineEdit*, grid::kVisibleRows> rowNumbers_{};
    QScrollBar* scrollBar_ = nullptr;
    bool syncingScrollBar_ = false;
    int wheelRemainder_ = 0; // eighths of a degree short of a notch
    std::array<bool, 2> pending_{};
};

} // namespace korvanta::ui
