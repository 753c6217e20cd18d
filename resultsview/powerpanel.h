// The section "样本量与检验效能" of the details window (PowerSection): the
// level α (PowerAlpha), the target power (PowerTarget) and the effect of the
// current test, prefilled from the data on screen; then the size the target
// needs, the power the present data achieve and the method. An effect value
// the user has changed stays until "用当前数据" (PowerUseData) takes the
// data's values again, or the test changes.
#pragma once

#include "resultsview/detailstext.h"
#include "resultsview/plotdata.h"
#include "stats/power.h"

#include <QGroupBox>

#include <array>
#include <optional>

class QGridLayout;
class QLabel;
class QLineEdit;

namespace korvanta::ui {

class PowerPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit PowerPanel(QWidget* parent = nullptr);

    // Takes the effect of the test from its inputs (read during the call)
    // into the fields the user has not changed, and recomputes.
    void ShowData(stats::TestMode mode, const stats::DetailsInput& input);

    const stats::power::Plan& Plan() const { return plan_; }
    // The section as lines for the copy and the report.
    std::vector<details::Line> Lines() const;
    // The figures for the driver's `print details`.
    stats::FigureList Figures() const;
    // The power curve for the plot area.
    plot::PlotData Curve() const;

signals:
    // The plan changed: the curve is to be drawn again.
    void Recomputed();

public slots:
    // Every effect field takes the data's value again.
    void UseData();

private:
    enum Field { Difference, Sd, Ratio, R, P1, P2, P10, P01, FieldCount };
    struct EffectField {
        QLabel* caption = nullptr;
        QLineEdit* edit = nullptr;
        std::optional<double> fromData;
        bool edited = false;
    };

    void LayOutFields();
    void Prefill();
    void Recompute();
    std::optional<double> ValueOf(Field field) const;
    std::vector<Field> FieldsOfTest() const;

    std::optional<stats::TestMode> mode_; // none until the first data
    stats::power::Test test_ = stats::power::Test::TwoSample;
    stats::power::Effect data_;
    stats::power::Plan plan_;
    bool prefilling_ = false;

    QLineEdit* alpha_ = nullptr;  // PowerAlpha
    QLineEdit* target_ = nullptr; // PowerTarget
    std::array<EffectField, FieldCount> fields_;
    QGridLayout* effectGrid_ = nullptr;
    QLabel* required_ = nullptr;          // PowerRequired
    QLabel* requiredCorrected_ = nullptr; // PowerRequiredCc
    QLabel* requiredCorrectedCaption_ = nullptr;
    QLabel* achieved_ = nullptr; // PowerAchieved
    QLabel* method_ = nullptr;   // PowerMethod
};

} // namespace korvanta::ui
