// Windows on small screens and at high scale factors (125%, 150%, 200% of a
// 1366x768 laptop leave 1093x614, 911x512 and 683x384 logical pixels): each
// window is sized to the part of its screen that windows may use and kept on
// it, and a form drawn at a fixed size scrolls when the window cannot show it
// whole. Where the screen has room, every window keeps its designed size.
#pragma once

#include <QPoint>
#include <QRect>
#include <QScrollArea>
#include <QSize>

namespace korvanta::ui {

// Where a frame at `frame` goes so that it lies inside `area`: moved as
// little as it can be, its top-left corner kept inside when it is larger.
QPoint PositionWithin(const QRect& frame, const QRect& area);

// The size of a window showing a form of `full` size with scroll bars of
// `barExtent` in a room of `room`: the form whole when it fits, otherwise
// what fits, with room for the scroll bars the form then needs.
struct FormWindowSizes {
    bool whole = true; // the form fits: the window keeps its designed size
    QSize largest;     // the form and the scroll bars it needs
    QSize initial;     // what the window opens at
};
FormWindowSizes FormWindowSize(QSize full, QSize room, int barExtent);

// The area of the window's screen (the primary screen before it has one)
// that windows may use, without task bars and docks.
QRect AvailableArea(const QWidget* window);

// Shrinks a top-level window to what its screen can show, when it is larger.
void FitToScreen(QWidget* window);
// Moves a top-level window, with its frame, inside its screen's available area.
void KeepOnScreen(QWidget* window);
// Centres a top-level window in its screen's available area.
void CentreOnScreen(QWidget* window);

// A form laid out at a fixed size, without a frame of its own: while the
// window shows it whole it looks and behaves exactly as the bare form. When
// the window is smaller, scroll bars appear, and a control that takes the
// keyboard focus is scrolled into view.
class FormScrollArea final : public QScrollArea {
    Q_OBJECT
public:
    explicit FormScrollArea(QWidget* form, QWidget* parent = nullptr);
    // The whole form (QScrollArea's own hint stops at a few dozen lines).
    QSize sizeHint() const override;

protected:
    // The window is fitted again when it is moved to another screen.
    void showEvent(QShowEvent* event) override;

private:
    bool watchingScreen_ = false;
};

// Sizes the window whose content is `area` (with a menu bar or margins
// around it): at its designed size, fixed, when its screen can show the
// form whole; otherwise resizable from a small minimum up to the form with
// its scroll bars, and opened at what the screen can show.
void FitFormWindow(FormScrollArea* area);

} // namespace korvanta::ui
