// Form2, the t-table window: the critical values of t drawn from the same
// table text the tests read, in two halves side by side.
#pragma once

#include <QStringList>
#include <QWidget>

namespace korvanta::ui {

// The df and the three critical values of one table row (0 for df 1, 49 for
// infinity) as the window draws them.
QStringList TTableRowAsShown(int row);

class TTableWindow : public QWidget {
    Q_OBJECT
public:
    explicit TTableWindow(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool centred_ = false;
};

} // namespace korvanta::ui
