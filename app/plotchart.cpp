#include "app/plotchart.h"

#include "widgetkit/twips.h"
#include <QCoreApplication>

#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPainter>
#include <QSvgGenerator>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

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

// Qt Charts makes a graphics item of every scatter mark, which takes
// seconds for a full grid; past this many marks a chart draws every k-th
// value (in the grid's order) and says so. Fits and intervals always use
// every value.
constexpr std::size_t kMaxMarks = 1500;

std::size_t Stride(std::size_t count) { return count <= kMaxMarks ? 1 : (count + kMaxMarks - 1) / kMaxMarks; }

QString ThinnedNote(std::size_t count)
{
    const std::size_t stride = Stride(count);
    if (stride == 1) return {};
    return Words::tr("<br>（共%1个数据，图中每%2个画1个）").arg(count).arg(stride);
}

// Widens [low, high] by a margin so that no mark sits on the frame.
void SetPaddedRange(QValueAxis* axis, double low, double high)
{
    if (!(low <= high) || !std::isfinite(low) || !std::isfinite(high)) {
        low = 0;
        high = 1;
    }
    const double margin = high > low ? (high - low) * 0.06 : std::max(std::fabs(low) * 0.1, 1.0);
    axis->setRange(low - margin, high + margin);
    axis->applyNiceNumbers();
}

void HideFromLegend(QChart* chart, QAbstractSeries* series)
{
    for (QLegendMarker* marker : chart->legend()->markers(series)) marker->setVisible(false);
}

QValueAxis* ValueAxis(const QString& title)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%.4g"));
    return axis;
}

void Attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y)
{
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

void BuildRegression(QChart* chart, const plot::RegressionPlot& plot)
{
    chart->setTitle(Words::tr("散点图与回归直线（95%置信带与预测带）") + ThinnedNote(plot.points.size()));
    auto* x = ValueAxis(Words::tr("X（%1）").arg(Qs(plot.xName)));
    auto* y = ValueAxis(Words::tr("Y（%1）").arg(Qs(plot.yName)));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    double xLow = plot.points.front().x, xHigh = xLow, yLow = plot.points.front().y, yHigh = yLow;
    for (const plot::Point& p : plot.points) {
        xLow = std::min(xLow, p.x);
        xHigh = std::max(xHigh, p.x);
        yLow = std::min(yLow, p.y);
        yHigh = std::max(yHigh, p.y);
    }
    if (!plot.xs.empty()) {
        auto* upper = new QLineSeries;
        auto* lower = new QLineSeries;
        auto* predictionUpper = new QLineSeries;
        auto* predictionLower = new QLineSeries;
        auto* line = new QLineSeries;
        for (std::size_t i = 0; i < plot.xs.size(); ++i) {
            upper->append(plot.xs[i], plot.confidenceHigh[i]);
            lower->append(plot.xs[i], plot.confidenceLow[i]);
            predictionUpper->append(plot.xs[i], plot.predictionHigh[i]);
            predictionLower->append(plot.xs[i], plot.predictionLow[i]);
            line->append(plot.xs[i], plot.fit[i]);
            yLow = std::min(yLow, plot.predictionLow[i]);
            yHigh = std::max(yHigh, plot.predictionHigh[i]);
        }
        auto* band = new QAreaSeries(upper, lower);
        // The area does not own its edges.
        upper->setParent(band);
        lower->setParent(band);
        band->setName(Words::tr("95%置信带"));
        band->setColor(kBand);
        band->setBorderColor(Qt::transparent);
        Attach(chart, band, x, y);
        for (QLineSeries* edge : {predictionUpper, predictionLower}) {
            edge->setName(Words::tr("95%预测带"));
            edge->setPen(QPen(kPoints, 1.2, Qt::DashLine));
            Attach(chart, edge, x, y);
        }
        HideFromLegend(chart, predictionLower);
        line->setName(Words::tr("回归直线"));
        line->setPen(QPen(kLine, 2));
        Attach(chart, line, x, y);
    }
    auto* points = new QScatterSeries;
    points->setName(Words::tr("观察值"));
    points->setMarkerSize(7);
    points->setColor(kPoints);
    points->setBorderColor(kPoints.darker());
    // One replace instead of an append per point: 32,767 appends each
    // signal the chart.
    QList<QPointF> marks;
    const std::size_t stride = Stride(plot.points.size());
    for (std::size_t i = 0; i < plot.points.size(); i += stride)
        marks.append(QPointF(plot.points[i].x, plot.points[i].y));
    points->replace(marks);
    Attach(chart, points, x, y);
    SetPaddedRange(x, xLow, xHigh);
    SetPaddedRange(y, yLow, yHigh);
}

void BuildGroups(QChart* chart, const plot::GroupsPlot& plot)
{
    std::size_t values = 0;
    for (const plot::Group& group : plot.groups) values += group.values.size();
    chart->setTitle(
        (plot.differences ? Words::tr("对子差值、均数及其95%可信区间") : Words::tr("各组数值、均数及其95%可信区间")) +
        ThinnedNote(values));
    const std::size_t stride = Stride(values);
    auto* x = new QCategoryAxis;
    x->setTitleText(plot.differences ? QString() : Words::tr("组别"));
    x->setStartValue(0.5);
    for (std::size_t g = 0; g < plot.groups.size(); ++g)
        x->append(Qs(plot.groups[g].name), static_cast<double>(g) + 1.5);
    x->setRange(0.5, static_cast<double>(plot.groups.size()) + 0.5);
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    x->setGridLineVisible(false);
    auto* y = ValueAxis(plot.differences ? Words::tr("差值（%1 − %2）").arg(Qs(plot.firstName), Qs(plot.secondName))
                                         : Words::tr("数值"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    double low = plot.differences ? 0 : INFINITY, high = plot.differences ? 0 : -INFINITY;
    auto* dots = new QScatterSeries;
    dots->setName(Words::tr("数值"));
    dots->setMarkerSize(6);
    dots->setColor(QColor(kPoints.red(), kPoints.green(), kPoints.blue(), 150));
    dots->setBorderColor(Qt::transparent);
    auto* means = new QScatterSeries;
    means->setName(Words::tr("均数"));
    means->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    means->setMarkerSize(11);
    means->setColor(kMean);
    std::vector<QLineSeries*> intervals;
    QList<QPointF> dotMarks;
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
            dotMarks.append(QPointF(centre + 0.3 * spread, group.values[i]));
        }
        if (group.mean) {
            means->append(centre, *group.mean);
            low = std::min(low, *group.mean);
            high = std::max(high, *group.mean);
        }
        if (group.ci) {
            auto* bar = new QLineSeries;
            bar->setName(Words::tr("95%可信区间"));
            bar->setPen(QPen(kLine, 2));
            const double cap = 0.12;
            for (const auto& [px, py] : {std::pair{centre - cap, group.ci->low},
                                         {centre + cap, group.ci->low},
                                         {centre, group.ci->low},
                                         {centre, group.ci->high},
                                         {centre - cap, group.ci->high},
                                         {centre + cap, group.ci->high}})
                bar->append(px, py);
            intervals.push_back(bar);
            low = std::min(low, group.ci->low);
            high = std::max(high, group.ci->high);
        }
    }
    dots->replace(dotMarks);
    Attach(chart, dots, x, y);
    for (QLineSeries* bar : intervals) {
        Attach(chart, bar, x, y);
        if (bar != intervals.front()) HideFromLegend(chart, bar);
    }
    Attach(chart, means, x, y);
    if (plot.differences) {
        auto* zero = new QLineSeries;
        zero->setPen(QPen(Qt::gray, 1, Qt::DashLine));
        zero->append(0.5, 0);
        zero->append(static_cast<double>(plot.groups.size()) + 0.5, 0);
        Attach(chart, zero, x, y);
        HideFromLegend(chart, zero);
    }
    SetPaddedRange(y, low, high);
}

void BuildProportions(QChart* chart, const plot::ProportionsPlot& plot)
{
    auto* set = new QBarSet(Words::tr("阳性率（%）"));
    set->setColor(kPoints);
    QStringList names;
    QStringList counts;
    for (const plot::Proportion& bar : plot.bars) {
        names << Qs(bar.name);
        if (bar.share)
            counts << QStringLiteral("%1 %2/%3")
                          .arg(Qs(bar.name), QString::number(bar.positives, 'g', 15),
                               QString::number(bar.total, 'g', 15));
        *set << (bar.share ? *bar.share * 100 : 0.0);
    }
    // The counts behind the bars: "阳性率（试验组 10/40，对照组 20/40）".
    chart->setTitle(Words::tr("阳性率<br>（%1）").arg(counts.join(Words::tr("，"))));
    auto* series = new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value%"));
    series->setLabelsPrecision(4);
    series->setLabelsPosition(QAbstractBarSeries::LabelsInsideEnd);
    set->setLabelColor(Qt::white);
    set->setLabelFont(SongFont(9, true));
    auto* x = new QBarCategoryAxis;
    x->append(names);
    x->setTitleText(Qs(plot.axisTitle));
    auto* y = ValueAxis(Words::tr("阳性率（%）"));
    y->setRange(0, 100);
    y->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    Attach(chart, series, x, y);
    chart->legend()->hide();
}

// Power against the size; the target power as a dashed line across, the
// size it needs and the size the data have as lines up to the curve.
void BuildPowerCurve(QChart* chart, const plot::PowerCurvePlot& plot)
{
    chart->setTitle(Words::tr("检验效能曲线"));
    auto* x = ValueAxis(Qs(plot.axisTitle));
    x->setLabelFormat(QStringLiteral("%.0f"));
    auto* y = ValueAxis(Words::tr("检验效能 1 − β"));
    y->setRange(0, 1);
    y->setTickCount(6); // 0, 0.2, ... 1: the usual targets sit on a line
    y->setLabelFormat(QStringLiteral("%.1f"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    auto* curve = new QLineSeries;
    curve->setName(Words::tr("检验效能"));
    curve->setPen(QPen(kPoints, 2));
    QList<QPointF> points;
    for (const plot::Point& p : plot.points) points.append(QPointF(p.x, p.y));
    curve->replace(points);
    Attach(chart, curve, x, y);
    const double low = plot.points.front().x, high = plot.points.back().x;
    if (plot.target > 0 && plot.target < 1) {
        auto* target = new QLineSeries;
        target->setName(Words::tr("目标检验效能 %1").arg(plot.target, 0, 'g', 6));
        target->setPen(QPen(kMean, 1.2, Qt::DashLine));
        target->append(low, plot.target);
        target->append(high, plot.target);
        Attach(chart, target, x, y);
    }
    const auto mark = [&](const std::optional<double>& n, const QString& name, const QColor& color) {
        if (!n || *n < low || *n > high) return;
        auto* line = new QLineSeries;
        line->setName(QStringLiteral("%1 n = %2").arg(name, QString::number(*n, 'f', 0)));
        line->setPen(QPen(color, 1.5, Qt::DotLine));
        line->append(*n, 0);
        line->append(*n, 1);
        Attach(chart, line, x, y);
    };
    mark(plot.required, Words::tr("所需"), kLine);
    mark(plot.present, Words::tr("现有"), QColor(44, 160, 44));
    x->setRange(low, high);
    x->applyNiceNumbers();
}

// Draws chart, sized to size, with painter.
void Paint(std::unique_ptr<QChart> chart, QSize size, QPainter& painter)
{
    QGraphicsScene scene;
    QChart* drawn = chart.release();
    scene.addItem(drawn); // the scene owns it from here
    drawn->resize(size);
    drawn->layout()->activate();
    scene.setSceneRect(QRectF(QPointF(0, 0), size));
    scene.render(&painter, QRectF(QPointF(0, 0), size), scene.sceneRect());
}

} // namespace

std::unique_ptr<QChart> BuildChart(const plot::PlotData& data)
{
    auto chart = std::make_unique<QChart>();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setFont(SongFont(9));
    chart->setTitleFont(SongFont(10.5, true));
    chart->legend()->setFont(SongFont(9));
    chart->legend()->setAlignment(Qt::AlignBottom);
    if (!plot::HasContent(data)) {
        chart->setTitle(Words::tr("（暂无可绘制的数据）"));
        return chart;
    }
    if (const auto* regression = std::get_if<plot::RegressionPlot>(&data))
        BuildRegression(chart.get(), *regression);
    else if (const auto* groups = std::get_if<plot::GroupsPlot>(&data))
        BuildGroups(chart.get(), *groups);
    else if (const auto* proportions = std::get_if<plot::ProportionsPlot>(&data))
        BuildProportions(chart.get(), *proportions);
    else if (const auto* power = std::get_if<plot::PowerCurvePlot>(&data))
        BuildPowerCurve(chart.get(), *power);
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setLabelsFont(SongFont(9));
        axis->setTitleFont(SongFont(9, true));
    }
    // A title of two lines is rich text: each line centred.
    if (chart->title().contains(QStringLiteral("<br>")))
        chart->setTitle(QStringLiteral("<div align=\"center\">%1</div>").arg(chart->title()));
    return chart;
}

QImage RenderPlot(const plot::PlotData& data, QSize size, qreal scale)
{
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    Paint(BuildChart(data), size, painter);
    return image;
}

bool WritePlotSvg(const plot::PlotData& data, QSize size, QIODevice* device, const QString& title)
{
    QSvgGenerator svg;
    svg.setOutputDevice(device);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    svg.setDescription(QStringLiteral("Korvanta V4.05"));
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    Paint(BuildChart(data), size, painter);
    return painter.end();
}

} // namespace korvanta::ui
