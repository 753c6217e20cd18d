// The toolbar band (Frame1): three items (Picture14) of icon (Image7),
// caption (Label15) and a transparent mouse area (Label28) over each. A
// press gives the item a raised look; the release, wherever the pointer
// then is, makes it flat again and runs the item's action.
#pragma once

#include <QFrame>
#include <QLabel>
#include <array>
#include <functional>

namespace korvanta::ui {

class ToolbarItem : public QFrame {
    Q_OBJECT
public:
    ToolbarItem(QWidget* parent, int index, const QString& caption, const QPixmap& icon);
    QLabel* Caption() const { return caption_; }
    void SetActionEnabled(bool enabled);

signals:
    void Activated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetPressedLook(bool pressed);

    QLabel* caption_ = nullptr;
    QLabel* mouseArea_ = nullptr;
};

class Toolbar : public QFrame {
    Q_OBJECT
public:
    explicit Toolbar(QWidget* parent);
    ToolbarItem* Item(int index) const { return items_[static_cast<std::size_t>(index)]; }
    // The import and export items are for the tests on raw data only.
    void SetExchangeEnabled(bool enabled);

private:
    std::array<ToolbarItem*, 3> items_{};
};

} // namespace korvanta::ui
