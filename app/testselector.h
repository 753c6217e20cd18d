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
    QPushButton* Button(TestMode mode) const { return buttons_[static_cast<std::size_t>(stats::TestModeIndex(mode))]; }
    // Only the current test's button is bold.
    void ShowCurrent(TestMode mode);

signals:
    void TestClicked(korvanta::stats::TestMode mode);
    void TutorialClicked();

private:
    std::array<QPushButton*, stats::kTestCount> buttons_{};
    QPushButton* tutorial_ = nullptr;
};

} // namespace korvanta::ui
