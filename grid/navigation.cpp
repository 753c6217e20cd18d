#include "grid/navigation.h"

#include "grid/gridstore.h"

#include <algorithm>

namespace korvanta::grid {

NavigationStep Navigate(GridKey key, CellKind cell, int row, int offset, int maximum)
{
    using Kind = NavigationStep::Kind;
    constexpr int last = kVisibleRows - 1;
    NavigationStep step;

    if (key == GridKey::Up) {
        if (row == 0 && offset > 0)
            step.kind = Kind::ScrollUp;
        else if (row > 0)
            step = {Kind::MoveFocus, row - 1, false};
        return step;
    }

    if (cell == CellKind::RowNumber) {
        // Row numbers have no Enter handling, and Down moves only while the
        // store goes on below the window; it never appends.
        if (key != GridKey::Down || offset >= maximum) return step;
        if (row == last)
            step.kind = Kind::ScrollDown;
        else
            step = {Kind::MoveFocus, row + 1, false};
        return step;
    }

    step.consumeKey = key == GridKey::Enter;
    if (row == last && offset >= maximum)
        step.kind = Kind::Append;
    else if (row == last)
        step.kind = Kind::ScrollDown;
    else {
        step.kind = Kind::MoveFocus;
        step.targetRow = row + 1;
    }
    return step;
}

PageStep Page(PageKey key, int row, int offset, int maximum, int lastRow)
{
    constexpr int last = kVisibleRows - 1;
    maximum = std::max(0, maximum);
    lastRow = std::max(0, lastRow);
    int target = offset + row; // the store row that ends up focused
    PageStep step{offset, row};
    switch (key) {
    case PageKey::PageDown:
        step.offset = std::min(offset + kVisibleRows, maximum);
        target = std::min(target + kVisibleRows, lastRow);
        break;
    case PageKey::PageUp:
        step.offset = std::max(offset - kVisibleRows, 0);
        target = std::max(target - kVisibleRows, 0);
        break;
    case PageKey::FirstRow:
        step.offset = 0;
        target = 0;
        break;
    case PageKey::LastRow:
        step.offset = maximum;
        target = lastRow;
        break;
    }
    step.focusRow = std::clamp(target - step.offset, 0, last);
    return step;
}

int WheelOffset(int offset, int maximum, int rows) { return std::clamp(offset + rows, 0, std::max(0, maximum)); }

} // namespace korvanta::grid
