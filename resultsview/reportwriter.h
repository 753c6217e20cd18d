// The report of the current test: its input summary, the main panel's
// results, the detailed results and the plot, laid out on A4 pages (PDF or a
// printer) with its tables as three-line tables, and optionally as an HTML
// page that Word opens with the plot beside it as a PNG file. All of them
// come from the same HTML text.
#pragma once

#include "resultsview/detailstext.h"
#include "resultsview/plotdata.h"
#include "resultsview/threelinetable.h"

#include <QString>

#include <utility>
#include <vector>

class QPagedPaintDevice;

namespace korvanta::ui {

struct ReportContent {
    QString testName; // "两样本均数t检验"
    QString created;  // "2026-12-08 15:30"
    // The journal table (caption, table, note) and the methods and results
    // paragraphs, first in the report.
    ThreeLineTable journal;
    QString methods, findings;
    // The input summary as a table whose first row is its heading.
    std::vector<std::vector<QString>> inputs;
    // The main panel's results: caption and value, as shown.
    std::vector<std::pair<QString, QString>> results;
    details::Report details;
    plot::PlotData plot;
    plot::PlotData powerCurve; // drawn after the plot when it has content
};

// The report as an HTML page; the plot's <img> refers to imageSource, the
// power curve's to curveSource.
QString ReportHtml(const ReportContent& report, const QString& imageSource, const QString& curveSource);

// "report-power.png" beside "report.png".
QString PowerCurveImagePath(const QString& imagePath);

// Lays the report out on the pages of device (a PDF writer or a printer,
// its page size and margins already set): a heading stays with what follows
// it, a table that fits on a page is not split, and a longer one repeats its
// heading row on every page. Each page carries its number.
void PaintReport(QPagedPaintDevice& device, const ReportContent& report);

// Writes the PDF to pdfPath; false when it could not be written.
bool WriteReportPdf(const QString& pdfPath, const ReportContent& report);

// Writes the HTML page to htmlPath and the plot to imagePath (a PNG file
// in the same folder, referred to by its name), the power curve beside it
// as PowerCurveImagePath(imagePath); false on failure.
bool WriteReportHtml(const QString& htmlPath, const QString& imagePath, const ReportContent& report);

} // namespace korvanta::ui
