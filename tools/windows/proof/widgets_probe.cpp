// Measures Chinese text and lays out a QCustomPlot on the offscreen platform,
// printing what it measured; any step that does not work ends with status 1.
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>
#include <cstdio>

#include "qcustomplot.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString text = QStringLiteral("统计数据");
    QLabel label(text);
    label.show();
    const QFontMetrics metrics(label.font());
    const int width = metrics.horizontalAdvance(text);
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("font: %s\n", qPrintable(QFontInfo(label.font()).family()));
    std::printf("width of %s: %d px\n", text.toUtf8().constData(), width);

    QCustomPlot plot;
    plot.resize(400, 300);
    plot.addGraph();
    plot.graph(0)->setData({0, 1, 2, 3}, {1, 4, 9, 16});
    plot.xAxis->setLabel(QStringLiteral("样本量"));
    plot.rescaleAxes();
    const QPixmap pixmap = plot.toPixmap(400, 300);
    const QRect axisRect = plot.axisRect()->rect();
    std::printf("plot: %dx%d pixmap, axis rect %dx%d\n", pixmap.width(), pixmap.height(), axisRect.width(),
                axisRect.height());
    std::fflush(stdout);
    const bool drawn = width > 0 && !pixmap.isNull() && axisRect.width() > 0 && axisRect.width() < 400;
    return drawn ? 0 : 1;
}
