// "导出报告…" and "打印…": the current test's report, read from the window
// as it stands, written as a PDF (with an HTML page and the plot beside it
// when asked for) or printed after a preview.
#include "app/reportactions.h"
#include "app/busypointer.h"
#include "app/currentinputs.h"
#include "app/mainwindow.h"
#include "app/resultpanels.h"
#include "app/tablepanel.h"
#include "results/resultstext.h"
#include "resultsview/detailswindow.h"
#include "resultsview/powerpanel.h"
#include "resultsview/reportwriter.h"
#include "stats/numbertext.h"
#include "stats/ttests.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QPrinter>

namespace korvanta::ui {
namespace {

QString Qs(const std::string& text) { return QString::fromStdString(text); }

std::vector<QString> ColumnRow(const QString& name, stats::Column column)
{
    const stats::ColumnSummary summary = stats::SummariseColumn(column);
    return {name, Qs(summary.countText), Qs(summary.meanShown), Qs(summary.sdShown)};
}

} // namespace

ReportActions::ReportActions(MainWindow& window) : QObject(&window), window_(window) {}

ReportContent ReportActions::CurrentReport() const
{
    ReportContent report;
    report.testName = TestCaption(window_.mode_);
    report.created = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));

    const auto box = [this](int index) { return window_.twoSample_->Box(index)->text(); };
    const details::GroupNames names = window_.Details()->GroupNames();
    const QString first = details::GroupName(names, 0);
    const QString second = details::GroupName(names, 1);
    switch (window_.mode_) {
    case TestMode::TwoSample:
        report.inputs = {{tr("组别"), tr("均数"), tr("标准差"), tr("例数")},
                         {first, box(0), box(1), box(2)},
                         {second, box(3), box(4), box(5)}};
        break;
    case TestMode::PairedT:
    case TestMode::Correlation: {
        const bool xy = window_.mode_ == TestMode::Correlation;
        report.inputs = {
            {QString(), tr("数值个数"), tr("均数"), tr("标准差")},
            ColumnRow(xy ? tr("X（%1）").arg(first) : first, window_.store_.Values(grid::Column::First)),
            ColumnRow(xy ? tr("Y（%1）").arg(second) : second, window_.store_.Values(grid::Column::Second))};
        break;
    }
    case TestMode::FourFold:
    case TestMode::PairedChiSquare: {
        const TablePanel::Texts cells = window_.table_->CellTexts();
        const stats::TableTotals totals = stats::ComputeTableTotals(cells.View());
        const bool paired = window_.mode_ == TestMode::PairedChiSquare;
        report.inputs = {{paired ? tr("治疗后＼治疗前") : tr("组别"), paired ? tr("（+）") : tr("阳性（+）"),
                          paired ? tr("（-）") : tr("阴性（-）"), tr("合计")},
                         {paired ? tr("（+）") : tr("试验组"), Qs(cells.cells[0]), Qs(cells.cells[1]), Qs(totals.row1)},
                         {paired ? tr("（-）") : tr("对照组"), Qs(cells.cells[2]), Qs(cells.cells[3]), Qs(totals.row2)},
                         {tr("合计"), Qs(totals.positive), Qs(totals.negative), Qs(totals.grand)}};
        break;
    }
    }

    const ResultPanel* panel = nullptr;
    switch (window_.mode_) {
    case TestMode::TwoSample:
        panel = window_.twoSample_;
        break;
    case TestMode::PairedT:
        panel = window_.pairedT_;
        break;
    case TestMode::Correlation:
        panel = window_.correlation_;
        break;
    case TestMode::FourFold:
        panel = window_.fourFold_;
        break;
    case TestMode::PairedChiSquare:
        panel = window_.pairedChi_;
        break;
    }
    for (const ShownFigure& figure : panel->ShownFigures()) report.results.emplace_back(figure.caption, figure.value);
    {
        const CurrentInputs now = window_.Inputs();
        const TestMode mode = now.mode;
        const stats::DetailsInput& input = now.input;
        // The details window brought up to date, with what the user typed
        // into its power section.
        window_.Details()->ShowFigures(mode, input);
        report.details = window_.Details()->ReportWithPower();
        report.plot = plot::MakePlotData(mode, input, first.toStdString(), second.toStdString());
        report.powerCurve = window_.Details()->Power()->Curve();
        const results::Language language =
            InterfaceLanguage() == Language::English ? results::Language::English : results::Language::Chinese;
        report.journal = JournalThreeLineTable(results::MakeJournalTable(mode, input, ResultNames(), language));
        const results::ResultsText text = results::MakeResultsText(mode, input, ResultNames(), language);
        report.methods = QString::fromStdString(text.methods);
        report.findings = QString::fromStdString(text.results);
    }
    return report;
}

void ReportActions::ExportReport()
{
    // The web page and the plot image beside the PDF are written only when
    // the second file type is chosen; they would overwrite files of the same
    // names, which the save dialog only asks about for the PDF.
    const std::optional<FileChoice> chosen = window_.interaction_.ChooseFileToSaveAs(
        &window_, {tr("导出报告"), QCoreApplication::applicationDirPath(),
                   tr("PDF 文件(*.pdf);;PDF 文件，另存网页(.html)和统计图(.png)(*.pdf)")});
    if (!chosen) return;
    QString pdf = chosen->path;
    if (!pdf.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) pdf += QStringLiteral(".pdf");
    const bool sideFiles = chosen->filter == 1;
    const QString stem = pdf.chopped(4);
    const QString html = stem + QStringLiteral(".html");
    const QString png = stem + QStringLiteral(".png");

    bool written = false;
    ReportContent report;
    {
        const BusyPointer busy(&window_);
        report = CurrentReport();
        written = WriteReportPdf(pdf, report) && (!sideFiles || WriteReportHtml(html, png, report));
    }
    const QString notice = tr("提示");
    if (!written)
        window_.interaction_.ShowMessage(&window_, notice,
                                         tr("报告导出失败，请检查文件夹是否存在以及是否有写入权限。"));
    else if (sideFiles) {
        QStringList images{QFileInfo(png).fileName()};
        if (plot::HasContent(report.powerCurve)) images << QFileInfo(PowerCurveImagePath(png)).fileName();
        window_.interaction_.ShowMessage(
            &window_, notice,
            tr("报告导出成功！另外写出了网页 %1 和统计图 %2。").arg(QFileInfo(html).fileName(), images.join(tr("、"))));
    } else
        window_.interaction_.ShowMessage(&window_, notice, tr("报告导出成功！"));
}

void ReportActions::PrintReport()
{
    const ReportContent report = CurrentReport();
    window_.interaction_.PreviewAndPrint(&window_, tr("统计分析报告 — ") + report.testName,
                                         [&report](QPrinter& printer) { PaintReport(printer, report); });
}

} // namespace korvanta::ui
