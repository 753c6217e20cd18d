// The plots of the details window as Qt Charts, and their rendering into a
// PNG image or an SVG drawing. A chart is built afresh from PlotData each
// time, so the window, the saved files and the report draw the same.
#pragma once

#include "app/plotdata.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QtCharts/QChart>

#include <memory>

class QIODevice;

namespace korvanta::ui {

// A new chart of data, with Chinese axis titles; a chart with a note and
// no series when there is nothing to draw.
std::unique_ptr<QChart> BuildChart(const plot::PlotData& data);

// The size the files and the report draw a plot at, in points.
inline constexpr QSize kPlotFileSize{720, 450};

// data's chart drawn into an image of size times scale pixels.
QImage RenderPlot(const plot::PlotData& data, QSize size, qreal scale);
// data's chart as an SVG drawing written to device; false when it failed.
bool WritePlotSvg(const plot::PlotData& data, QSize size, QIODevice* device, const QString& title);

} // namespace korvanta::ui
