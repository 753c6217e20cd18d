// The plots of the details window, drawn by QCustomPlot, and their rendering
// into a PNG image, a PDF page or (where Qt Svg is built) an SVG drawing. A
// plot is built afresh from PlotData each time and every output paints
// through the same QPainter code, so the window, the saved files and the
// report draw the same.
#pragma once

#include "resultsview/plotdata.h"

#include <QImage>
#include <QSize>
#include <QString>

class QCustomPlot;
class QIODevice;

namespace korvanta::ui {

// Fills plot, a QCustomPlot that holds nothing of ours yet, with data's plot
// and Chinese axis titles; a plot with a note and nothing drawn when there
// is nothing to draw.
void BuildPlot(QCustomPlot& plot, const plot::PlotData& data);

// The size the files and the report draw a plot at, in pixels at 96 dpi.
inline constexpr QSize kPlotFileSize{720, 450};
// A saved PNG's resolution.
inline constexpr int kPlotPngDpi = 300;

// data's plot drawn into an image of size times scale pixels.
QImage RenderPlot(const plot::PlotData& data, QSize size, qreal scale);
// data's plot as a PNG image at kPlotPngDpi written to device; false when
// it failed.
bool WritePlotPng(const plot::PlotData& data, QSize size, QIODevice* device);
// data's plot as a one-page PDF of size (at 96 dpi) written to device.
bool WritePlotPdf(const plot::PlotData& data, QSize size, QIODevice* device, const QString& title);
#ifdef KORVANTA_PLOT_SVG
// data's plot as an SVG drawing written to device; false when it failed.
bool WritePlotSvg(const plot::PlotData& data, QSize size, QIODevice* device, const QString& title);
#endif

} // namespace korvanta::ui
