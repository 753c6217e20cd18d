// The calculator frame "计算器" of the main window: the display Text5 and the
// 18 buttons, laid out in twips as designed. Only clicks drive it; the buttons
// never take the focus, so no key reaches the calculator.
#pragma once

#include "calculator/calculatorengine.h"

#include <QGroupBox>

class QLineEdit;
class QPushButton;

namespace korvanta::calculator {

class CalculatorPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit CalculatorPanel(QWidget* parent = nullptr);

    const CalculatorEngine& Engine() const { return engine_; }
    QString DisplayText() const;

private:
    // ownFace: drawn in its palette's button colour, unshaded.
    QPushButton* AddButton(const QString& name, const QString& caption, int left, int top, bool ownFace = false);
    void Press(std::string_view caption);
    static QString ShownText(const std::string& display);

    CalculatorEngine engine_;
    QLineEdit* display_ = nullptr;
};

} // namespace korvanta::calculator
