// The program's pictures, drawn in code so that no image files need to be
// shipped: the window icon and the three toolbar icons.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace korvanta::ui {

enum class ToolIcon { Import, Export, Help };

QPixmap ToolIconPixmap(ToolIcon which, int size = 30);
// The window icon at 16, 32, 48 and 64 pixels; also written out as the
// desktop entry's icon at install time.
QIcon ProgramIcon();
QImage WindowIconImage(int size);

} // namespace korvanta::ui
