// The plot of the details window (PlotView), redrawn with the figures while
// the window is open, and its "保存图形…" button (SavePlot), which writes
// the plot shown as a PNG image, a PDF page or (where Qt Svg is built) an
// SVG drawing. Two buttons choose the
// test's plot (PlotShowData) or the power curve (PlotShowPower).
#pragma once

#include "resultsview/detailstext.h"
#include "resultsview/plotdata.h"
#include "widgetkit/interaction.h"

#include <QWidget>

class QCustomPlot;
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
    // What the view shows and the save button writes.
    const plot::PlotData& Shown() const;
    // The plot drawn now; a new one each time the plot changes.
    QCustomPlot* View() const { return view_; }

    // The kinds of file the plot is saved as, in the save dialog's order.
    enum class FileKind { Png, Pdf, Svg };
    // Writes the plot to path as kind; false when the file could not be
    // written.
    bool WritePlot(const QString& path, FileKind kind) const;

public slots:
    void SavePlot();

private:
    UserInteraction& interaction_;
    void Redraw();

    plot::PlotData data_;
    plot::PlotData curve_;
    QCustomPlot* view_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* showPower_ = nullptr;
};

} // namespace korvanta::ui
