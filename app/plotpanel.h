// The plot of the details window (PlotView), redrawn with the figures while
// the window is open, and its "保存图形…" button (SavePlot), which writes
// the plot shown as a PNG image or an SVG drawing. Two buttons choose the
// test's plot (PlotShowData) or the power curve (PlotShowPower).
#pragma once

#include "app/detailstext.h"
#include "app/interaction.h"
#include "app/plotdata.h"

#include <QWidget>

class QChartView;
class QPushButton;

namespace korvanta::ui {

class PlotPanel : public QWidget {
    Q_OBJECT
public:
    PlotPanel(UserInteraction& interaction, QWidget* parent);

    // Draws the plot of the test from its inputs (read during the call).
    void ShowPlot(stats::TestMode mode, const stats::DetailsInput& input, const details::GroupNames& names = {});
    // Keeps the power curve, drawn while its button is down.
    void ShowPowerCurve(const plot::PlotData& curve);
    const plot::PlotData& data() const { return data_; }
    const plot::PlotData& PowerCurve() const { return curve_; }
    // What the view shows and the save button writes.
    const plot::PlotData& Shown() const;
    QChartView* View() const { return view_; }

    // Writes the plot to path as SVG when svg is true, otherwise as PNG;
    // false when the file could not be written.
    bool WritePlot(const QString& path, bool svg) const;

public slots:
    void SavePlot();

private:
    UserInteraction& interaction_;
    void Redraw();

    plot::PlotData data_;
    plot::PlotData curve_;
    QChartView* view_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* showPower_ = nullptr;
};

} // namespace korvanta::ui
