#include "resultsview/reportwriter.h"

#include "resultsview/plotchart.h"
#include "resultsview/threelinetable.h"
#include <QCoreApplication>

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace korvanta::ui {

namespace {
// The texts of this file, for the translation.
struct Words {
    Q_DECLARE_TR_FUNCTIONS(korvanta::ui::ReportWriter)
};
} // namespace
namespace {

const QString kPlotResource = QStringLiteral("korvanta-plot.png");
// The report is laid out in units of 1/96 inch and scaled to the device.
constexpr double kLayoutDpi = 96.0;
constexpr double kPageNumberHeight = 28.0;
const QString kCurveResource = QStringLiteral("korvanta-power.png");

QString Esc(const QString& text) { return text.toHtmlEscaped(); }

QString FirstInstalled(std::initializer_list<const char*> families)
{
    for (const char* family : families)
        if (QFontDatabase::hasFamily(QString::fromUtf8(family))) return QString::fromUtf8(family);
    return {};
}

// A proportional Latin serif face for letters, figures and χ², ±, ≤ (a CJK
// face would set them full-width), then a Song face for Chinese. The Noto
// CJK faces come last: they share one glyph between a character and its
// Kangxi radical (方 and ⽅), so text copied from the PDF would come out as
// radicals.
QFont ReportFont()
{
    QStringList families;
    for (const QString& family :
         {FirstInstalled({"Times New Roman", "Liberation Serif", "DejaVu Serif", "Noto Serif", "FreeSerif"}),
          FirstInstalled({"SimSun", "AR PL UMing CN", "AR PL SungtiL GB", "Noto Serif CJK SC", "WenQuanYi Zen Hei",
                          "Noto Sans CJK SC"})})
        if (!family.isEmpty()) families << family;
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(10.5);
    return font;
}

ThreeLineTable InputsTable(const std::vector<std::vector<QString>>& rows)
{
    ThreeLineTable table;
    if (rows.empty()) return table;
    table.heading = rows.front();
    for (std::size_t r = 1; r < rows.size(); ++r) table.rows.push_back({rows[r], ThreeLineTable::Row::Kind::Cells});
    return table;
}

ThreeLineTable ResultsTable(const std::vector<std::pair<QString, QString>>& rows)
{
    ThreeLineTable table;
    table.heading = {Words::tr("项目"), Words::tr("结果")};
    for (const auto& [caption, value] : rows)
        table.rows.push_back({{caption, value}, ThreeLineTable::Row::Kind::Cells});
    return table;
}

// The body of the report; each <h2> opens a section that is kept together.
QString ReportBody(const ReportContent& report, const QString& imageSource, const QString& curveSource, QSize imageSize)
{
    QString html =
        Words::tr(
            "<h1 align=\"center\">统计分析报告</h1>\n<p>检验方法：%1<br>\n生成时间：%2<br>\n程序：Korvanta V4.05</p>\n")
            .arg(Esc(report.testName), Esc(report.created));
    if (!report.journal.heading.empty()) html += ThreeLineTableHtml(report.journal);
    for (const QString& paragraph : {report.methods, report.findings})
        if (!paragraph.isEmpty()) html += QStringLiteral("<p>%1</p>\n").arg(Esc(paragraph));
    html += Words::tr("<h2>一、输入数据</h2>\n") + ThreeLineTableHtml(InputsTable(report.inputs));
    html += Words::tr("<h2>二、检验结果</h2>\n") + ThreeLineTableHtml(ResultsTable(report.results));
    html += Words::tr("<h2>三、详细结果</h2>\n");
    if (report.details.lines.empty()) {
        html += Words::tr("<p>（无）</p>\n");
    } else {
        ThreeLineTable details = DetailsTable(report.details, Words::tr("项目"), Words::tr("结果"));
        details.caption.clear(); // the section heading names it
        html += ThreeLineTableHtml(details);
    }
    // The plots on a page of their own.
    html += QStringLiteral("<div style=\"page-break-before:always\"></div>\n");
    html += Words::tr("<h2>四、统计图</h2>\n");
    html += Words::tr("<p align=\"center\"><img src=\"%1\" width=\"%2\" height=\"%3\" alt=\"统计图\"></p>\n")
                .arg(Esc(imageSource))
                .arg(imageSize.width())
                .arg(imageSize.height());
    if (plot::HasContent(report.powerCurve))
        html += Words::tr("<p align=\"center\"><img src=\"%1\" width=\"%2\" height=\"%3\" alt=\"检验效能曲线\"></p>\n")
                    .arg(Esc(curveSource))
                    .arg(imageSize.width())
                    .arg(imageSize.height());
    return html;
}

// The vertical extent of one item of the root frame, in layout units.
std::pair<double, double> Extent(QTextDocument& document, QTextFrame::iterator item)
{
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    const QRectF box = item.currentFrame() ? layout->frameBoundingRect(item.currentFrame())
                                           : layout->blockBoundingRect(item.currentBlock());
    return {box.top(), box.bottom()};
}

// Moves a section (a heading and what follows it up to the next heading) to
// a new page when it would straddle a page break but fits on one; a section
// longer than a page starts on a new page when less than a third of the
// current page is left, so its heading never stands alone at the foot.
void KeepSectionsTogether(QTextDocument& document)
{
    const double page = document.pageSize().height();
    std::vector<QTextBlock> headings;
    for (QTextFrame::iterator it = document.rootFrame()->begin(); !it.atEnd(); ++it)
        if (!it.currentFrame() && it.currentBlock().blockFormat().headingLevel() == 2)
            headings.push_back(it.currentBlock());
    for (std::size_t h = 0; h < headings.size(); ++h) {
        // Positions are read afresh: an earlier break has moved this section.
        double top = -1;
        double bottom = 0;
        bool inSection = false;
        for (QTextFrame::iterator it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
            const bool isHeading = !it.currentFrame() && it.currentBlock().blockFormat().headingLevel() == 2;
            if (isHeading && inSection) break;
            if (isHeading && it.currentBlock() == headings[h]) inSection = true;
            if (!inSection) continue;
            const auto [itemTop, itemBottom] = Extent(document, it);
            if (top < 0) top = itemTop;
            bottom = std::max(bottom, itemBottom);
        }
        const int firstPage = static_cast<int>(std::floor(top / page));
        const int lastPage = static_cast<int>(std::floor((bottom - 1) / page));
        const double leftOnPage = (firstPage + 1) * page - top;
        const bool fits = bottom - top <= page - kPageNumberHeight;
        const bool atPageTop = top - firstPage * page < 1.0;
        if (firstPage == lastPage || atPageTop || (!fits && leftOnPage > page / 3)) continue;
        QTextCursor cursor(headings[h]);
        QTextBlockFormat format = headings[h].blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.setBlockFormat(format);
    }
}

// QTextDocument takes no padding from the cells' style: each table's cells
// get it here, so that the columns do not run together.
void PadTableCells(QTextDocument& document)
{
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table) continue;
        for (int row = 0; row < table->rows(); ++row) {
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                QTextTableCellFormat format = cell.format().toTableCellFormat();
                format.setLeftPadding(8);
                format.setRightPadding(8);
                format.setTopPadding(2);
                format.setBottomPadding(2);
                table->cellAt(row, column).setFormat(format);
            }
        }
    }
}

} // namespace

QString PowerCurveImagePath(const QString& imagePath)
{
    const QFileInfo image(imagePath);
    return image.dir().filePath(image.completeBaseName() + QStringLiteral("-power.png"));
}

QString ReportHtml(const ReportContent& report, const QString& imageSource, const QString& curveSource)
{
    QString html = QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>%1</title>\n"
                                  "<style>body { font-family: 'Times New Roman', 'Liberation Serif', SimSun, 'AR PL "
                                  "UMing CN', serif; font-size: 10.5pt; }\n"
                                  "table { border-collapse: collapse; }\n"
                                  "h1 { font-size: 16pt; } h2 { font-size: 12pt; }</style>\n</head>\n<body>\n")
                       .arg(Esc(Words::tr("统计分析报告 — ") + report.testName));
    html += ReportBody(report, imageSource, curveSource, kPlotFileSize * 3 / 4);
    html += QStringLiteral("</body>\n</html>\n");
    return html;
}

void PaintReport(QPagedPaintDevice& device, const ReportContent& report)
{
    // Laid out against a 96-dpi reference, so that the rules and the image
    // keep their sizes whatever the device's resolution.
    QImage reference(1, 1, QImage::Format_RGB32);
    reference.setDotsPerMeterX(static_cast<int>(std::lround(kLayoutDpi / 0.0254)));
    reference.setDotsPerMeterY(static_cast<int>(std::lround(kLayoutDpi / 0.0254)));
    const double scaleX = device.logicalDpiX() / kLayoutDpi;
    const double scaleY = device.logicalDpiY() / kLayoutDpi;
    const QSizeF page(device.width() / scaleX, device.height() / scaleY);

    QTextDocument document;
    document.documentLayout()->setPaintDevice(&reference);
    document.setDefaultFont(ReportFont());
    document.setPageSize(page);
    QTextFrameFormat frame = document.rootFrame()->frameFormat();
    frame.setMargin(0);
    frame.setBottomMargin(kPageNumberHeight);
    document.rootFrame()->setFrameFormat(frame);
    const QSize imageSize =
        (kPlotFileSize.scaled(QSize(static_cast<int>(page.width() * 0.85), 10000), Qt::KeepAspectRatio));
    document.addResource(QTextDocument::ImageResource, QUrl(kPlotResource), RenderPlot(report.plot, kPlotFileSize, 3));
    if (plot::HasContent(report.powerCurve))
        document.addResource(QTextDocument::ImageResource, QUrl(kCurveResource),
                             RenderPlot(report.powerCurve, kPlotFileSize, 3));
    document.setHtml(ReportBody(report, kPlotResource, kCurveResource, imageSize));
    PadTableCells(document);
    KeepSectionsTogether(document);
    // Laid out afresh: after the breaks above, the incremental relayout left
    // the plots' paragraphs without lines, so the plots were missing from
    // the pages.
    document.markContentsDirty(0, document.characterCount());

    QPainter painter(&device);
    painter.scale(scaleX, scaleY);
    const int pages = document.pageCount();
    // At the body's size: the painter draws in layout units (1/96 inch), so
    // the size is set in those, not in points of the device.
    QFont numberFont = ReportFont();
    numberFont.setPixelSize(static_cast<int>(std::lround(ReportFont().pointSizeF() * kLayoutDpi / 72)));
    for (int p = 0; p < pages; ++p) {
        if (p > 0) device.newPage();
        painter.save();
        const QRectF view(0, p * page.height(), page.width(), page.height());
        painter.translate(0, -view.top());
        QAbstractTextDocumentLayout::PaintContext context;
        // Only what lies on this page is drawn: a row ending on the line
        // between two pages would otherwise be drawn, clipped away but still
        // in the PDF's text, on the next page too.
        context.clip = view.adjusted(0, 4, 0, -4);
        painter.setClipRect(view);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        painter.setFont(numberFont);
        painter.drawText(QRectF(0, page.height() - kPageNumberHeight + 8, page.width(), kPageNumberHeight - 8),
                         Qt::AlignHCenter | Qt::AlignBottom, Words::tr("第 %1 页，共 %2 页").arg(p + 1).arg(pages));
    }
}

bool WriteReportPdf(const QString& pdfPath, const ReportContent& report)
{
    QSaveFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly)) return false;
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 18, 20, 15),
                                         QPageLayout::Millimeter));
        writer.setTitle(Words::tr("统计分析报告 — ") + report.testName);
        writer.setCreator(QStringLiteral("Korvanta V4.05"));
        PaintReport(writer, report);
    }
    return file.commit();
}

bool WriteReportHtml(const QString& htmlPath, const QString& imagePath, const ReportContent& report)
{
    QSaveFile image(imagePath);
    if (!image.open(QIODevice::WriteOnly) || !RenderPlot(report.plot, kPlotFileSize, 2).save(&image, "PNG") ||
        !image.commit())
        return false;
    const QString curvePath = PowerCurveImagePath(imagePath);
    if (plot::HasContent(report.powerCurve)) {
        QSaveFile curve(curvePath);
        if (!curve.open(QIODevice::WriteOnly) || !RenderPlot(report.powerCurve, kPlotFileSize, 2).save(&curve, "PNG") ||
            !curve.commit())
            return false;
    }
    QSaveFile page(htmlPath);
    if (!page.open(QIODevice::WriteOnly)) return false;
    page.write(ReportHtml(report, QFileInfo(imagePath).fileName(), QFileInfo(curvePath).fileName()).toUtf8());
    return page.commit();
}

} // namespace korvanta::ui
