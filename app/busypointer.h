// The hourglass over a window while it reads, writes or computes something
// long; the pointer it had before comes back when the work ends, however it
// ends.
#pragma once

#include <QCursor>
#include <QWidget>

namespace korvanta::ui {

class BusyPointer {
public:
    explicit BusyPointer(QWidget* window)
        : window_(window), hadOwn_(window->testAttribute(Qt::WA_SetCursor)), was_(window->cursor())
    {
        window_->setCursor(Qt::WaitCursor);
    }
    ~BusyPointer()
    {
        if (hadOwn_)
            window_->setCursor(was_);
        else
            window_->unsetCursor();
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    QWidget* window_;
    bool hadOwn_;
    QCursor was_;
};

} // namespace korvanta::ui
