// Names for screen readers. A control that says what it is (a button, a
// label with text, a window) is announced by its caption; every other named
// control of ours gets the caption it stands beside, or the job it does.
#pragma once

class QWidget;

namespace korvanta::ui {

// Gives every control under window (and window itself) that would be
// announced without a name the name of its caption or its job. Controls
// whose caption changes (labels with text, buttons) keep Qt's own naming
// from their text, so they are announced as they read.
void NameControls(QWidget* window);

} // namespace korvanta::ui
