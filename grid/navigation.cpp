#include "grid/navigation.h"

#include "grid/gridstore.h"

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
        if (key != GridKey::Down || offset >= maximum)
            return step;
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

} // namespace korvanta::grid
