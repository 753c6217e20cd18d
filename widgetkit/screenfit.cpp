#include "widgetkit/screenfit.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWindow>

#include <algorithm>

namespace korvanta::ui {

namespace {

// The smallest a scrolling form's window may be made: enough to see where
// one is in the form.
constexpr QSize kSmallestFormWindow(240, 160);

// What a desktop's frame adds to a window at the least: a 32-pixel title
// bar and 4-pixel borders. Before a window is shown its real frame is
// unknown, and some platforms never report one; a title bar is rarely smaller.
constexpr QSize kFrameAllowance(8, 40);

// What the window's frame adds, as far as it is known, and at least the
// allowance.
QSize FrameExtra(const QWidget* window)
{
    const QSize known = window->isVisible() ? window->frameGeometry().size() - window->size() : QSize();
    return known.expandedTo(kFrameAllowance);
}

// The client size a top-level window may have on its screen: the available
// area less its frame.
QSize ClientRoom(const QWidget* window)
{
    return (AvailableArea(window).size() - FrameExtra(window)).expandedTo(QSize(0, 0));
}

} // namespace

QPoint PositionWithin(const QRect& frame, const QRect& area)
{
    const auto place = [](int at, int size, int start, int length) {
        // Too large: its start stays visible; otherwise it is moved inside.
        return size >= length ? start : std::clamp(at, start, start + length - size);
    };
    return {place(frame.x(), frame.width(), area.x(), area.width()),
            place(frame.y(), frame.height(), area.y(), area.height())};
}

FormWindowSizes FormWindowSize(QSize full, QSize room, int barExtent)
{
    bool vertical = full.height() > room.height();
    bool horizontal = full.width() > room.width();
    // One scroll bar takes room the other direction may then lack.
    if (vertical && !horizontal) horizontal = full.width() + barExtent > room.width();
    if (horizontal && !vertical) vertical = full.height() + barExtent > room.height();
    if (!vertical && !horizontal) return {true, full, full};
    const QSize largest = full + QSize(vertical ? barExtent : 0, horizontal ? barExtent : 0);
    return {false, largest, largest.boundedTo(room)};
}

QRect AvailableArea(const QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void FitToScreen(QWidget* window)
{
    const QSize room = ClientRoom(window);
    if (!room.isEmpty() && (window->width() > room.width() || window->height() > room.height()))
        window->resize(window->size().boundedTo(room));
}

void KeepOnScreen(QWidget* window)
{
    const QRect area = AvailableArea(window);
    if (area.isEmpty()) return;
    const QPoint at = PositionWithin(QRect(window->pos(), window->size() + FrameExtra(window)), area);
    if (at != window->pos()) window->move(at);
}

void CentreOnScreen(QWidget* window)
{
    const QRect area = AvailableArea(window);
    if (area.isEmpty()) return;
    const QSize frame = window->size() + FrameExtra(window);
    const QPoint centred(area.x() + (area.width() - frame.width()) / 2,
                         area.y() + (area.height() - frame.height()) / 2);
    window->move(PositionWithin(QRect(centred, frame), area));
}

FormScrollArea::FormScrollArea(QWidget* form, QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    // The form's own controls take the focus; the area is not a stop of
    // the Tab order.
    setFocusPolicy(Qt::NoFocus);
    setWidget(form);
    // Keys move the focus from control to control; the one reached is
    // brought into view (Tab does so through the area itself).
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && widget() && widget()->isAncestorOf(now)) ensureWidgetVisible(now, 0, 0);
    });
}

QSize FormScrollArea::sizeHint() const
{
    const int frame = 2 * frameWidth();
    return (widget() ? widget()->size() : QSize()) + QSize(frame, frame);
}

void FormScrollArea::showEvent(QShowEvent* event)
{
    QScrollArea::showEvent(event);
    QWindow* handle = window()->windowHandle();
    if (watchingScreen_ || !handle) return;
    watchingScreen_ = true;
    connect(handle, &QWindow::screenChanged, this, [this] {
        FitFormWindow(this);
        KeepOnScreen(window());
    });
}

void FitFormWindow(FormScrollArea* area)
{
    QWidget* window = area->window();
    const QSize full = window->sizeHint();
    const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
    const FormWindowSizes sizes = FormWindowSize(full, ClientRoom(window), bar);
    // Flags cannot change on a shown window without hiding it.
    if (!window->isVisible() && window->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint) != sizes.whole)
        window->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, sizes.whole);
    if (sizes.whole) {
        window->setFixedSize(full);
        return;
    }
    window->setMinimumSize(full.boundedTo(kSmallestFormWindow));
    window->setMaximumSize(sizes.largest);
    window->resize(sizes.initial);
}

} // namespace korvanta::ui
