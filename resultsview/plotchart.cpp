#include "resultsview/plotchart.h"

#include "widgetkit/twips.h"
#include <QCoreApplication>

#include <QFontDatabase>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <qcustomplot.h>
#ifdef KORVANTA_PLOT_SVG
#include <QSvgGenerator>
#endif

#include <algorithm>
#include <cmath>

namespace korvanta::ui {

namespace {
// The texts of this file, for the translation.
struct Words {
    Q_DECLARE_TR_FUNCTIONS(korvanta::ui::PlotChart)
};
} // namespace
namespace {

QString Qs(const std::string& text) { return QString::fromStdString(text); }

const QColor kPoints(31, 119, 180);
const QColor kLine(214, 39, 40);
const QColor kBand(31, 119, 180, 60);
const QColor kMean(20, 20, 20);
const QColor kGrid(220, 220, 220);
const QColor kFrame(120, 120, 120);

// A drawn mark costs little, but a full grid of them makes a file of
// megabytes and a cloud in which no mark can be told apart: past this many
// marks a plot draws every k-th value (in the grid's order) and says so.
// Fits and intervals always use every value.
constexpr std::size_t kMaxMarks = 1500;

std::size_t Stride(std::size_t count) { return count <= kMaxMarks ? 1 : (count + kMaxMarks - 1) / kMaxMarks; }

// The second line of a title that says how the marks were thinned; empty
// when every value is drawn.
QString ThinnedNote(std::size_t count)
{
    const std::size_t stride = Stride(count);
    if (stride == 1) return {};
    return QLatin1Char('\n') + Words::tr("（共%1个数据，图中每%2个画1个）").arg(count).arg(stride);
}

// The axes of a plot, with the fonts, pens and number format every plot
// shares.
struct Axes {
    QCPAxis* x;
    QCPAxis* y;
};

void StyleAxis(QCPAxis* axis, const QString& title)
{
    axis->setLabel(title);
    axis->setLabelFont(SongFont(9, true));
    axis->setTickLabelFont(SongFont(9));
    axis->setNumberFormat(QStringLiteral("g"));
    axis->setNumberPrecision(4);
    axis->setBasePen(QPen(kFrame, 1));
    axis->setTickPen(QPen(kFrame, 1));
    axis->setSubTicks(false);
    axis->setTickLength(0, 4);
    axis->grid()->setPen(QPen(kGrid, 1));
    axis->grid()->setZeroLinePen(Qt::NoPen);
}

// Ticks at every multiple of step: the frame's ends sit on ticks.
void SetFixedTicks(QCPAxis* axis, double step)
{
    QSharedPointer<QCPAxisTickerFixed> ticker(new QCPAxisTickerFixed);
    ticker->setTickStep(step);
    ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
    axis->setTicker(ticker);
}

// A round step (1, 2, 2.5 or 5 times a power of ten) that cuts span into
// about four parts.
double NiceStep(double span)
{
    const double raw = span / 4;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 2.5, 5.0})
        if (raw <= factor * power * (1 + 1e-9)) return factor * power;
    return 10 * power;
}

// Shows [low, high] out to round numbers, each end on a tick.
void SetNiceRange(QCPAxis* axis, double low, double high)
{
    if (!(high > low)) {
        // A single size on the power curve: a unit either side.
        low -= 1;
        high += 1;
    }
    const double step = NiceStep(high - low);
    const double from = std::floor(low / step + 1e-9) * step, to = std::ceil(high / step - 1e-9) * step;
    if (!std::isfinite(step) || !(step > 0) || !std::isfinite(from) || !std::isfinite(to)) {
        // Too wide to round (near the largest double): QCustomPlot's own ticks.
        axis->setRange(low, high);
        return;
    }
    axis->setRange(from, to);
    SetFixedTicks(axis, step);
}

// Shows [low, high] widened by a margin, so that no mark sits on the frame,
// then rounded out.
void SetPaddedRange(QCPAxis* axis, double low, double high)
{
    if (!(low <= high) || !std::isfinite(low) || !std::isfinite(high)) {
        low = 0;
        high = 1;
    }
    const double margin = high > low ? (high - low) * 0.06 : std::max(std::fabs(low) * 0.1, 1.0);
    SetNiceRange(axis, low - margin, high + margin);
}

QCPGraph* AddGraph(Axes axes, const QString& name, const QPen& pen)
{
    auto* graph = new QCPGraph(axes.x, axes.y);
    graph->setName(name);
    graph->setPen(pen);
    return graph;
}

QCPGraph* AddPoints(Axes axes, const QString& name, const QCPScatterStyle& style, const QVector<double>& xs,
                    const QVector<double>& ys)
{
    QCPGraph* graph = AddGraph(axes, name, Qt::NoPen);
    graph->setLineStyle(QCPGraph::lsNone);
    graph->setScatterStyle(style);
    graph->setData(xs, ys);
    return graph;
}

// A line through the points in the order given (the curve may turn back).
QCPCurve* AddPath(Axes axes, const QString& name, const QPen& pen, const QVector<double>& xs, const QVector<double>& ys)
{
    auto* curve = new QCPCurve(axes.x, axes.y);
    curve->setName(name);
    curve->setPen(pen);
    curve->setData(xs, ys);
    return curve;
}

void BuildRegression(Axes axes, const plot::RegressionPlot& plot, QString& title)
{
    title = Words::tr("散点图与回归直线（95%置信带与预测带）") + ThinnedNote(plot.points.size());
    StyleAxis(axes.x, Words::tr("X（%1）").arg(Qs(plot.xName)));
    StyleAxis(axes.y, Words::tr("Y（%1）").arg(Qs(plot.yName)));

    double xLow = plot.points.front().x, xHigh = xLow, yLow = plot.points.front().y, yHigh = yLow;
    for (const plot::Point& p : plot.points) {
        xLow = std::min(xLow, p.x);
        xHigh = std::max(xHigh, p.x);
        yLow = std::min(yLow, p.y);
        yHigh = std::max(yHigh, p.y);
    }
    if (!plot.xs.empty()) {
        const QVector<double> xs(plot.xs.begin(), plot.xs.end());
        const auto values = [](const std::vector<double>& v) { return QVector<double>(v.begin(), v.end()); };
        QCPGraph* lower = AddGraph(axes, QString(), Qt::NoPen);
        lower->setData(xs, values(plot.confidenceLow), true);
        lower->removeFromLegend();
        QCPGraph* upper = AddGraph(axes, Words::tr("95%置信带"), Qt::NoPen);
        upper->setData(xs, values(plot.confidenceHigh), true);
        upper->setBrush(kBand);
        upper->setChannelFillGraph(lower);
        const QPen dashed(kPoints, 1.2, Qt::DashLine);
        AddGraph(axes, Words::tr("95%预测带"), dashed)->setData(xs, values(plot.predictionHigh), true);
        QCPGraph* predictionLower = AddGraph(axes, Words::tr("95%预测带"), dashed);
        predictionLower->setData(xs, values(plot.predictionLow), true);
        predictionLower->removeFromLegend();
        AddGraph(axes, Words::tr("回归直线"), QPen(kLine, 2))->setData(xs, values(plot.fit), true);
        for (std::size_t i = 0; i < plot.xs.size(); ++i) {
            yLow = std::min(yLow, plot.predictionLow[i]);
            yHigh = std::max(yHigh, plot.predictionHigh[i]);
        }
    }
    QVector<double> xs, ys;
    const std::size_t stride = Stride(plot.points.size());
    for (std::size_t i = 0; i < plot.points.size(); i += stride) {
        xs.append(plot.points[i].x);
        ys.append(plot.points[i].y);
    }
    AddPoints(axes, Words::tr("观察值"), QCPScatterStyle(QCPScatterStyle::ssCircle, kPoints.darker(), kPoints, 7), xs,
              ys);
    SetPaddedRange(axes.x, xLow, xHigh);
    SetPaddedRange(axes.y, yLow, yHigh);
}

void BuildGroups(Axes axes, const plot::GroupsPlot& plot, QString& title)
{
    std::size_t values = 0;
    for (const plot::Group& group : plot.groups) values += group.values.size();
    title =
        (plot.differences ? Words::tr("对子差值、均数及其95%可信区间") : Words::tr("各组数值、均数及其95%可信区间")) +
        ThinnedNote(values);
    const std::size_t stride = Stride(values);
    StyleAxis(axes.x, plot.differences ? QString() : Words::tr("组别"));
    QSharedPointer<QCPAxisTickerText> names(new QCPAxisTickerText);
    for (std::size_t g = 0; g < plot.groups.size(); ++g)
        names->addTick(static_cast<double>(g) + 1, Qs(plot.groups[g].name));
    axes.x->setTicker(names);
    axes.x->setRange(0.5, static_cast<double>(plot.groups.size()) + 0.5);
    axes.x->grid()->setVisible(false);
    StyleAxis(axes.y, plot.differences ? Words::tr("差值（%1 − %2）").arg(Qs(plot.firstName), Qs(plot.secondName))
                                       : Words::tr("数值"));

    double low = plot.differences ? 0 : INFINITY, high = plot.differences ? 0 : -INFINITY;
    QVector<double> dotX, dotY, meanX, meanY;
    struct Bar {
        QVector<double> xs, ys;
    };
    std::vector<Bar> intervals;
    for (std::size_t g = 0; g < plot.groups.size(); ++g) {
        const plot::Group& group = plot.groups[g];
        const double centre = static_cast<double>(g) + 1;
        // Spread the dots sideways by a fixed low-discrepancy sequence so
        // that ties stay visible and every drawing is the same.
        for (std::size_t i = 0; i < group.values.size(); ++i) {
            low = std::min(low, group.values[i]);
            high = std::max(high, group.values[i]);
            if (i % stride != 0) continue;
            const double spread = std::fmod(static_cast<double>(i / stride) * 0.6180339887, 1.0) - 0.5;
            dotX.append(centre + 0.3 * spread);
            dotY.append(group.values[i]);
        }
        if (group.mean) {
            meanX.append(centre);
            meanY.append(*group.mean);
            low = std::min(low, *group.mean);
            high = std::max(high, *group.mean);
        }
        if (group.ci) {
            // Across at the lower end, up the middle, across at the upper.
            const double cap = 0.12;
            intervals.push_back(
                {{centre - cap, centre + cap, centre, centre, centre - cap, centre + cap},
                 {group.ci->low, group.ci->low, group.ci->low, group.ci->high, group.ci->high, group.ci->high}});
            low = std::min(low, group.ci->low);
            high = std::max(high, group.ci->high);
        }
    }
    if (plot.differences) {
        QCPGraph* zero = AddGraph(axes, QString(), QPen(Qt::gray, 1, Qt::DashLine));
        zero->setData(QVector<double>{0.5, static_cast<double>(plot.groups.size()) + 0.5}, QVector<double>{0, 0});
        zero->removeFromLegend();
    }
    const QColor dot(kPoints.red(), kPoints.green(), kPoints.blue(), 150);
    AddPoints(axes, Words::tr("数值"), QCPScatterStyle(QCPScatterStyle::ssDisc, dot, 6), dotX, dotY);
    for (const Bar& bar : intervals) {
        QCPCurve* curve = AddPath(axes, Words::tr("95%可信区间"), QPen(kLine, 2), bar.xs, bar.ys);
        if (&bar != &intervals.front()) curve->removeFromLegend();
    }
    AddPoints(axes, Words::tr("均数"), QCPScatterStyle(QCPScatterStyle::ssSquare, kMean, kMean, 11), meanX, meanY);
    SetPaddedRange(axes.y, low, high);
}

void BuildProportions(QCustomPlot& chart, Axes axes, const plot::ProportionsPlot& plot, QString& title)
{
    auto* bars = new QCPBars(axes.x, axes.y);
    bars->setName(Words::tr("阳性率（%）"));
    bars->setBrush(kPoints);
    bars->setPen(QPen(kPoints.darker(), 1));
    bars->setWidth(0.5);
    QSharedPointer<QCPAxisTickerText> names(new QCPAxisTickerText);
    QStringList counts;
    for (std::size_t b = 0; b < plot.bars.size(); ++b) {
        const plot::Proportion& bar = plot.bars[b];
        const double at = static_cast<double>(b) + 1;
        names->addTick(at, Qs(bar.name));
        if (!bar.share) continue;
        counts << QStringLiteral("%1 %2/%3")
                      .arg(Qs(bar.name), QString::number(bar.positives, 'g', 15), QString::number(bar.total, 'g', 15));
        const double percent = *bar.share * 100;
        bars->addData(at, percent);
        // The value inside the bar's top; above a bar too short to hold it.
        auto* label = new QCPItemText(&chart);
        label->setClipToAxisRect(false);
        label->position->setAxes(axes.x, axes.y);
        label->position->setType(QCPItemPosition::ptPlotCoords);
        label->position->setCoords(at, percent);
        const bool inside = percent >= 12;
        label->setPositionAlignment(Qt::AlignHCenter | (inside ? Qt::AlignTop : Qt::AlignBottom));
        label->setPadding(QMargins(2, 4, 2, 4));
        label->setColor(inside ? Qt::white : kMean);
        label->setFont(SongFont(9, true));
        label->setText(QString::number(percent, 'g', 4) + QLatin1Char('%'));
    }
    // The counts behind the bars: "阳性率（试验组 10/40，对照组 20/40）".
    title = Words::tr("阳性率\n（%1）").arg(counts.join(Words::tr("，")));
    StyleAxis(axes.x, Qs(plot.axisTitle));
    axes.x->setTicker(names);
    axes.x->setRange(0.5, static_cast<double>(plot.bars.size()) + 0.5);
    axes.x->grid()->setVisible(false);
    StyleAxis(axes.y, Words::tr("阳性率（%）"));
    axes.y->setRange(0, 100);
    SetFixedTicks(axes.y, 25);
    axes.y->setNumberFormat(QStringLiteral("f"));
    axes.y->setNumberPrecision(0);
    bars->removeFromLegend();
}

// Power against the size; the target power as a dashed line across, the
// size it needs and the size the data have as lines up to the curve.
void BuildPowerCurve(Axes axes, const plot::PowerCurvePlot& plot, QString& title)
{
    title = Words::tr("检验效能曲线");
    StyleAxis(axes.x, Qs(plot.axisTitle));
    StyleAxis(axes.y, Words::tr("检验效能 1 − β"));
    axes.y->setRange(0, 1);
    SetFixedTicks(axes.y, 0.2); // 0, 0.2, ... 1: the usual targets sit on a line
    axes.y->setNumberFormat(QStringLiteral("f"));
    axes.y->setNumberPrecision(1);
    QVector<double> xs, ys;
    for (const plot::Point& p : plot.points) {
        xs.append(p.x);
        ys.append(p.y);
    }
    AddGraph(axes, Words::tr("检验效能"), QPen(kPoints, 2))->setData(xs, ys, true);
    const double low = plot.points.front().x, high = plot.points.back().x;
    if (plot.target > 0 && plot.target < 1)
        AddGraph(axes, Words::tr("目标检验效能 %1").arg(plot.target, 0, 'g', 6), QPen(kMean, 1.2, Qt::DashLine))
            ->setData(QVector<double>{low, high}, QVector<double>{plot.target, plot.target}, true);
    const auto mark = [&](const std::optional<double>& n, const QString& name, const QColor& color) {
        if (!n || *n < low || *n > high) return;
        AddPath(axes, QStringLiteral("%1 n = %2").arg(name, QString::number(*n, 'f', 0)), QPen(color, 1.5, Qt::DotLine),
                {*n, *n}, {0, 1});
    };
    mark(plot.required, Words::tr("所需"), kLine);
    mark(plot.present, Words::tr("现有"), QColor(44, 160, 44));
    SetNiceRange(axes.x, low, high);
    axes.x->setNumberFormat(QStringLiteral("f"));
    axes.x->setNumberPrecision(0);
}

// The legend in a row of its own below the axes, centred, its entries side
// by side.
void PlaceLegend(QCustomPlot& chart)
{
    QCPLegend* legend = chart.legend;
    auto* row = new QCPLayoutGrid;
    chart.plotLayout()->addElement(2, 0, row);
    chart.plotLayout()->setRowStretchFactor(2, 0.001);
    row->setMargins(QMargins(0, 0, 0, 6));
    row->addElement(0, 0, new QCPLayoutElement(&chart));
    row->addElement(0, 1, legend);
    row->addElement(0, 2, new QCPLayoutElement(&chart));
    row->setColumnStretchFactors({1, 0.001, 1});
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setWrap(4);
    legend->setColumnSpacing(12);
    legend->setBorderPen(Qt::NoPen);
    legend->setBrush(Qt::NoBrush);
    legend->setFont(SongFont(9));
    legend->setIconSize(18, 10);
    legend->setVisible(legend->itemCount() > 0);
}

// The installed Chinese Song faces that give every character a glyph of
// its own, best first. The Noto CJK faces share one glyph between a
// character and its Kangxi radical (二 and ⼆), so that text copied from a
// PDF set in them comes out as radicals.
QStringList CopyableFaces()
{
    QStringList faces;
    for (const char* face : {"SimSun", "AR PL UMing CN", "AR PL SungtiL GB"})
        if (QFontDatabase::hasFamily(QString::fromUtf8(face))) faces << QString::fromUtf8(face);
    return faces;
}

QFont WithFaces(QFont font, const QStringList& faces)
{
    font.setFamilies(faces + font.families());
    return font;
}

// Sets every text of chart in faces first.
void UseFaces(QCustomPlot& chart, const QStringList& faces)
{
    if (faces.isEmpty()) return;
    for (QCPAxisRect* rect : chart.axisRects())
        for (QCPAxis* axis : rect->axes()) {
            axis->setLabelFont(WithFaces(axis->labelFont(), faces));
            axis->setTickLabelFont(WithFaces(axis->tickLabelFont(), faces));
        }
    for (QCPLayoutElement* element : chart.plotLayout()->elements(true))
        if (auto* text = qobject_cast<QCPTextElement*>(element)) text->setFont(WithFaces(text->font(), faces));
    chart.legend->setFont(WithFaces(chart.legend->font(), faces));
    for (int i = 0; i < chart.legend->itemCount(); ++i)
        chart.legend->item(i)->setFont(WithFaces(chart.legend->item(i)->font(), faces));
    for (int i = 0; i < chart.itemCount(); ++i)
        if (auto* text = qobject_cast<QCPItemText*>(chart.item(i))) text->setFont(WithFaces(text->font(), faces));
}

// Draws data's plot with painter, an active QCPPainter, into (0, 0, size),
// its texts in faces first.
void Draw(const plot::PlotData& data, QSize size, QCPPainter& painter, const QStringList& faces = {})
{
    QCustomPlot chart;
    chart.resize(size);
    BuildPlot(chart, data);
    UseFaces(chart, faces);
    chart.toPainter(&painter, size.width(), size.height());
}

} // namespace

void BuildPlot(QCustomPlot& plot, const plot::PlotData& data)
{
    plot.setLocale(QLocale::c()); // the figures as everywhere else in the program
    plot.setAutoAddPlottableToLegend(true);
    plot.setBackground(Qt::white);
    const Axes axes{plot.xAxis, plot.yAxis};
    QString title;
    if (!plot::HasContent(data)) {
        title = Words::tr("（暂无可绘制的数据）");
        plot.axisRect()->setVisible(false);
    } else if (const auto* regression = std::get_if<plot::RegressionPlot>(&data)) {
        BuildRegression(axes, *regression, title);
    } else if (const auto* groups = std::get_if<plot::GroupsPlot>(&data)) {
        BuildGroups(axes, *groups, title);
    } else if (const auto* proportions = std::get_if<plot::ProportionsPlot>(&data)) {
        BuildProportions(plot, axes, *proportions, title);
    } else if (const auto* power = std::get_if<plot::PowerCurvePlot>(&data)) {
        BuildPowerCurve(axes, *power, title);
    }
    // Room around the drawing, as on a printed figure.
    plot.plotLayout()->setMargins(QMargins(10, 0, 14, 0));
    plot.plotLayout()->insertRow(0);
    auto* heading = new QCPTextElement(&plot, title, SongFont(10.5, true));
    heading->setMargins(QMargins(8, 10, 8, 4));
    plot.plotLayout()->addElement(0, 0, heading);
    plot.plotLayout()->setRowStretchFactor(0, 0.001);
    if (!plot::HasContent(data)) {
        // The note alone, at the top, as on an empty sheet.
        plot.plotLayout()->setRowStretchFactor(1, 1);
        plot.legend->setVisible(false);
        return;
    }
    PlaceLegend(plot);
}

QImage RenderPlot(const plot::PlotData& data, QSize size, qreal scale)
{
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QCPPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    Draw(data, size, painter);
    painter.end();
    return image;
}

bool WritePlotPng(const plot::PlotData& data, QSize size, QIODevice* device)
{
    QImage image = RenderPlot(data, size, kPlotPngDpi / 96.0);
    const int dotsPerMeter = static_cast<int>(std::lround(kPlotPngDpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image.save(device, "PNG");
}

bool WritePlotPdf(const plot::PlotData& data, QSize size, QIODevice* device, const QString& title)
{
    QPdfWriter writer(device);
    // At 96 dpi the page's coordinates are the plot's pixels.
    writer.setResolution(96);
    writer.setPageLayout(QPageLayout(QPageSize(QSizeF(size) * 72.0 / 96.0, QPageSize::Point), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Point));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Korvanta V4.05"));
    QCPPainter painter;
    if (!painter.begin(&writer)) return false;
    painter.setMode(QCPPainter::pmVectorized);
    Draw(data, size, painter, CopyableFaces());
    return painter.end();
}

#ifdef KORVANTA_PLOT_SVG
bool WritePlotSvg(const plot::PlotData& data, QSize size, QIODevice* device, const QString& title)
{
    QSvgGenerator svg;
    svg.setOutputDevice(device);
    svg.setResolution(96);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    svg.setDescription(QStringLiteral("Korvanta V4.05"));
    QCPPainter painter;
    if (!painter.begin(&svg)) return false;
    painter.setMode(QCPPainter::pmVectorized);
    Draw(data, size, painter);
    return painter.end();
}
#endif

} // namespace korvanta::ui
