// Frame2: the five test buttons (Command1) and the tutorial link button
// (Command19) below them.
#pragma once

#include "app/testcaptions.h"

#include <QFrame>
#include <QPushButton>
#include <array>

namespace korvanta::ui {

class TestSelector : public QFrame {
    Q_OBJECT
public:
    explicit TestSelector(QWidget* parent);
    QPushButton* button(TestMode mode) const { return buttons_[static_cast<std::size_t>(stats::TestModeIndex(mode))]; }
    QPushButton* tutorialButton() const { return tutorial_; }
    // Only the current test's button is bold.
    void showCurrent(TestMode mode);

signals:
    void testClicked(korvanta::stats::TestMode mode);
    void tutorialClicked();

private:
    std::array<QPushButton*, stats::kTestCount> buttons_{};
    QPushButton* tutorial_ = nullptr;
};

} // namespace korvanta::ui
