// The context menu of a data cell: the edit commands of a text box, with
// 粘贴 running the block paste of the grid or the table instead of the
// box's own.
#pragma once

#include <functional>

class QLineEdit;
class QPoint;

namespace korvanta::ui {

// Shows the menu at `at` (the box's coordinates) and runs the chosen command.
void ShowCellMenu(QLineEdit* box, const QPoint& at, const std::function<void()>& paste);

} // namespace korvanta::ui
