// "导出报告…" and "打印…": the current test's report, read from the window
// as it stands, written as a PDF (with an HTML page and the plot beside it
// when asked for) or printed after a preview.
#include "app/detailswindow.h"
#include "app/mainwindow.h"
#include "app/powerpanel.h"
#include "app/reportwriter.h"
#include "app/tablepanel.h"
#include "stats/numbertext.h"
#include "stats/ttests.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>

namespace korvanta::ui {
namespace {

struct Shown {
    const char* caption;
    const char* control; // the label that shows the value
};

// The main panel's values of each test, in the panel's order.
const std::vector<Shown>& ResultLabels(TestMode mode)
{
    static const std::vector<Shown> twoSample = {
        {"t(0.05)", "Label5(3)"},
        {"t(0.01)", "Label5(4)"},
        {"t(0.001)", "Label5(5)"},
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "结果判断"), "Label5(6)"}};
    static const std::vector<Shown> pairedT = {
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "对子数(N)"), "Label13(5)"},
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "对子差值均数(d)"), "Label13(4)"},
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "对子差值均数标准差(Sd)"), "Label13(3)"},
        {"t(0.05)", "Label5(10)"},
        {"t(0.01)", "Label5(9)"},
        {"t(0.001)", "Label5(8)"},
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "结果判断"), "Label5(7)"}};
    static const std::vector<Shown> correlation = {
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "例数(N)"), "Label13(6)"},
        {"r", "Label13(7)"},
        {"tr", "Label13(12)"},
        {"tr(0.05)", "Label5(13)"},
        {"tr(0.01)", "Label5(14)"},
        {"tr(0.001)", "Label5(15)"},
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "结果判断"), "Label5(16)"},
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "回归方程"), "Label5(17)"}};
    static const std::vector<Shown> fourFold = {
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "a 的理论数(T)"), "Label20(1)"},
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "b 的理论数(T)"), "Label20(2)"},
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "c 的理论数(T)"), "Label20(3)"},
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "d 的理论数(T)"), "Label20(4)"},
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "例数(n)"), "Label20(5)"},
        {"χ²(0.05)", "Label5(20)"},
        {"χ²(0.01)", "Label5(19)"},
        {"χ²", "Label20(6)"},
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "结果判断"), "Label5(21)"}};
    static const std::vector<Shown> pairedChi = {
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "例数(n)"), "Label20(8)"},
        {"χ²(0.05)", "Label5(24)"},
        {"χ²(0.01)", "Label5(25)"},
        {"χ²", "Label20(7)"},
        {QT_TRANSLATE_NOOP("korvanta::ui::MainWindow", "结果判断"), "Label5(23)"}};
    switch (mode) {
    case TestMode::TwoSample:
        return twoSample;
    case TestMode::PairedT:
        return pairedT;
    case TestMode::Correlation:
        return correlation;
    case TestMode::FourFold:
        return fourFold;
    case TestMode::PairedChiSquare:
        break;
    }
    return pairedChi;
}

QString Qs(const std::string& text) { return QString::fromStdString(text); }

std::vector<QString> ColumnRow(const QString& name, stats::Column column)
{
    const stats::ColumnSummary summary = stats::SummariseColumn(column);
    return {name, Qs(summary.countText), Qs(summary.meanShown), Qs(summary.sdShown)};
}

} // namespace

ReportContent MainWindow::CurrentReport() const
{
    ReportContent report;
    report.testName = TestCaption(mode_);
    report.created = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));

    const auto box = [this](const QString& name) {
        const auto* edit = findChild<const QLineEdit*>(name);
        return edit ? edit->text() : QString();
    };
    const details::GroupNames names = Details()->GroupNames();
    const QString first = details::GroupName(names, 0);
    const QString second = details::GroupName(names, 1);
    switch (mode_) {
    case TestMode::TwoSample:
        report.inputs = {
            {tr("组别"), tr("均数"), tr("标准差"), tr("例数")},
            {first, box(QStringLiteral("Text4(0)")), box(QStringLiteral("Text4(1)")), box(QStringLiteral("Text4(2)"))},
            {second, box(QStringLiteral("Text4(3)")), box(QStringLiteral("Text4(4)")),
             box(QStringLiteral("Text4(5)"))}};
        break;
    case TestMode::PairedT:
    case TestMode::Correlation: {
        const bool xy = mode_ == TestMode::Correlation;
        report.inputs = {{QString(), tr("数值个数"), tr("均数"), tr("标准差")},
                         ColumnRow(xy ? tr("X（%1）").arg(first) : first, store_.Values(grid::Column::First)),
                         ColumnRow(xy ? tr("Y（%1）").arg(second) : second, store_.Values(grid::Column::Second))};
        break;
    }
    case TestMode::FourFold:
    case TestMode::PairedChiSquare: {
        const TablePanel::Texts cells = table_->CellTexts();
        const stats::TableTotals totals = stats::ComputeTableTotals(cells.View());
        const bool paired = mode_ == TestMode::PairedChiSquare;
        report.inputs = {{paired ? tr("治疗后＼治疗前") : tr("组别"), paired ? tr("（+）") : tr("阳性（+）"),
                          paired ? tr("（-）") : tr("阴性（-）"), tr("合计")},
                         {paired ? tr("（+）") : tr("试验组"), Qs(cells.cells[0]), Qs(cells.cells[1]), Qs(totals.row1)},
                         {paired ? tr("（-）") : tr("对照组"), Qs(cells.cells[2]), Qs(cells.cells[3]), Qs(totals.row2)},
                         {tr("合计"), Qs(totals.positive), Qs(totals.negative), Qs(totals.grand)}};
        break;
    }
    }

    for (const Shown& shown : ResultLabels(mode_)) {
        const auto* label = findChild<const QLabel*>(QString::fromUtf8(shown.control));
        report.results.emplace_back(tr(shown.caption), label ? label->text() : QString());
    }
    WithDetails([this, &report, &first, &second](TestMode mode, const stats::DetailsInput& input) {
        // The details window brought up to date, with what the user typed
        // into its power section.
        Details()->ShowFigures(mode, input);
        report.details = Details()->ReportWithPower();
        report.plot = plot::MakePlotData(mode, input, first.toStdString(), second.toStdString());
        report.powerCurve = Details()->Power()->Curve();
    });
    return report;
}

void MainWindow::ExportReport()
{
    // The web page and the plot image beside the PDF are written only when
    // the second file type is chosen; they would overwrite files of the same
    // names, which the save dialog only asks about for the PDF.
    const std::optional<FileChoice> chosen =
        interaction_.ChooseFileToSaveAs(this, {tr("导出报告"), ProgramDirectory(),
                                               tr("PDF 文件(*.pdf);;PDF 文件，另存网页(.html)和统计图(.png)(*.pdf)")});
    if (!chosen) return;
    QString pdf = chosen->path;
    if (!pdf.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) pdf += QStringLiteral(".pdf");
    const bool sideFiles = chosen->filter == 1;
    const QString stem = pdf.chopped(4);
    const QString html = stem + QStringLiteral(".html");
    const QString png = stem + QStringLiteral(".png");

    setCursor(Qt::WaitCursor);
    const ReportContent report = CurrentReport();
    const bool written = WriteReportPdf(pdf, report) && (!sideFiles || WriteReportHtml(html, png, report));
    unsetCursor();
    const QString notice = tr("提示");
    if (!written)
        interaction_.ShowMessage(this, notice, tr("报告导出失败，请检查文件夹是否存在以及是否有写入权限。"));
    else if (sideFiles) {
        QStringList images{QFileInfo(png).fileName()};
        if (plot::HasContent(report.powerCurve)) images << QFileInfo(PowerCurveImagePath(png)).fileName();
        interaction_.ShowMessage(
            this, notice,
            tr("报告导出成功！另外写出了网页 %1 和统计图 %2。").arg(QFileInfo(html).fileName(), images.join(tr("、"))));
    } else
        interaction_.ShowMessage(this, notice, tr("报告导出成功！"));
}

void MainWindow::PrintReport()
{
    const ReportContent report = CurrentReport();
    interaction_.PreviewAndPrint(this, tr("统计分析报告 — ") + report.testName,
                                 [&report](QPrinter& printer) { PaintReport(printer, report); });
}

} // namespace korvanta::ui
