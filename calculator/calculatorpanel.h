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

    const CalculatorEngine& engine() const { return engine_; }
    QString displayText() const;

private:
    QPushButton* addButton(const QString& name, const QString& caption, int left, int top);
    void press(std::string_view caption);
    static QString shownText(const std::string& display);

    CalculatorEngine engine_;
    QLineEdit* display_ = nullptr;
};

} // namespace korvanta::calculator
