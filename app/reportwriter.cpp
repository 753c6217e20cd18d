#include "app/reportwriter.h"

#include "app/plotchart.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QUrl>

namespace korvanta::ui {
namespace {

const QString kPlotResource = QStringLiteral("korvanta-plot.png");
const QString kCurveResource = QStringLiteral("korvanta-power.png");

QString esc(const QString& text) { return text.toHtmlEscaped(); }

// Latin letters and digits from a Latin face, Chinese from a Song face. The
// Noto CJK faces come last: they share one glyph between a character and
// its Kangxi radical (方 and ⽅), so text copied from the PDF would come out
// as radicals.
QFont ReportFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif"),
                      QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Zen Hei"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSizeF(10.5);
    return font;
}

void AppendInputs(QString& html, const std::vector<std::vector<QString>>& rows)
{
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        html += QStringLiteral("<tr>");
        for (const QString& cell : rows[r])
            html += r == 0 ? QStringLiteral("<th>%1</th>").arg(esc(cell)) : QStringLiteral("<td>%1</td>").arg(esc(cell));
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n");
}

void AppendResults(QString& html, const std::vector<std::pair<QString, QString>>& rows)
{
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n");
    for (const auto& [caption, value] : rows)
        html += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>\n").arg(esc(caption), esc(value));
    html += QStringLiteral("</table>\n");
}

void AppendDetails(QString& html, const details::Report& report)
{
    if (report.lines.empty()) {
        html += QStringLiteral("<p>（无）</p>\n");
        return;
    }
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n");
    for (const details::Line& line : report.lines) {
        switch (line.kind) {
        case details::Line::Kind::Heading:
            html += QStringLiteral("<tr><td colspan=\"2\"><b>%1</b></td></tr>\n").arg(esc(line.label));
            break;
        case details::Line::Kind::Note:
            html += QStringLiteral("<tr><td colspan=\"2\"><font color=\"#c00000\">%1</font></td></tr>\n").arg(esc(line.label));
            break;
        case details::Line::Kind::Figure:
            html += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>\n").arg(esc(line.label), esc(line.value));
            break;
        }
    }
    html += QStringLiteral("</table>\n");
    if (!report.sentence.isEmpty())
        html += QStringLiteral("<p>%1</p>\n").arg(esc(report.sentence));
}

} // namespace

QString PowerCurveImagePath(const QString& imagePath)
{
    const QFileInfo image(imagePath);
    return image.dir().filePath(image.completeBaseName() + QStringLiteral("-power.png"));
}

QString ReportHtml(const ReportContent& report, const QString& imageSource, const QString& curveSource)
{
    QString html = QStringLiteral(
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>%1</title>\n"
        "<style>body { font-family: 'Times New Roman', SimSun, 'AR PL UMing CN', serif; font-size: 10.5pt; }\n"
        "table { border-collapse: collapse; } th, td { border: 1px solid #808080; padding: 3px 6px; }\n"
        "h1 { font-size: 16pt; } h2 { font-size: 12pt; }</style>\n</head>\n<body>\n")
                       .arg(esc(QStringLiteral("统计分析报告 — ") + report.testName));
    html += QStringLiteral("<h1>统计分析报告</h1>\n<p>检验方法：%1<br>\n生成时间：%2<br>\n程序：Korvanta V4.05</p>\n")
                .arg(esc(report.testName), esc(report.created));
    html += QStringLiteral("<h2>一、输入数据</h2>\n");
    AppendInputs(html, report.inputs);
    html += QStringLiteral("<h2>二、检验结果</h2>\n");
    AppendResults(html, report.results);
    html += QStringLiteral("<h2>三、详细结果</h2>\n");
    AppendDetails(html, report.details);
    html += QStringLiteral("<h2>四、统计图</h2>\n");
    html += QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\" alt=\"统计图\"></p>\n")
                .arg(esc(imageSource))
                .arg(kPlotFileSize.width() * 3 / 4)
                .arg(kPlotFileSize.height() * 3 / 4);
    if (plot::HasContent(report.powerCurve))
        html += QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\" alt=\"检验效能曲线\"></p>\n")
                    .arg(esc(curveSource))
                    .arg(kPlotFileSize.width() * 3 / 4)
                    .arg(kPlotFileSize.height() * 3 / 4);
    html += QStringLiteral("</body>\n</html>\n");
    return html;
}

bool WriteReportPdf(const QString& pdfPath, const ReportContent& report)
{
    QSaveFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("统计分析报告 — ") + report.testName);
        writer.setCreator(QStringLiteral("Korvanta V4.05"));
        QTextDocument document;
        document.setDefaultFont(ReportFont());
        document.addResource(QTextDocument::ImageResource, QUrl(kPlotResource), RenderPlot(report.plot, kPlotFileSize, 3));
        if (plot::HasContent(report.powerCurve))
            document.addResource(QTextDocument::ImageResource, QUrl(kCurveResource), RenderPlot(report.powerCurve, kPlotFileSize, 3));
        document.setHtml(ReportHtml(report, kPlotResource, kCurveResource));
        document.print(&writer);
    }
    return file.commit();
}

bool WriteReportHtml(const QString& htmlPath, const QString& imagePath, const ReportContent& report)
{
    QSaveFile image(imagePath);
    if (!image.open(QIODevice::WriteOnly) || !RenderPlot(report.plot, kPlotFileSize, 2).save(&image, "PNG") || !image.commit())
        return false;
    const QString curvePath = PowerCurveImagePath(imagePath);
    if (plot::HasContent(report.powerCurve)) {
        QSaveFile curve(curvePath);
        if (!curve.open(QIODevice::WriteOnly) || !RenderPlot(report.powerCurve, kPlotFileSize, 2).save(&curve, "PNG") || !curve.commit())
            return false;
    }
    QSaveFile page(htmlPath);
    if (!page.open(QIODevice::WriteOnly))
        return false;
    page.write(ReportHtml(report, QFileInfo(imagePath).fileName(), QFileInfo(curvePath).fileName()).toUtf8());
    return page.commit();
}

} // namespace korvanta::ui
