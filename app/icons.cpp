#include "app/icons.h"

#include <QPainter>
#include <QPainterPath>

namespace korvanta::ui {
namespace {

// A sheet of a workbook: white page, green header band and grid lines.
void DrawSheet(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(QColor(0x21, 0x73, 0x46), r.width() / 20));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.fillRect(QRectF(r.left(), r.top(), r.width(), r.height() / 4), QColor(0x21, 0x73, 0x46));
    p.setPen(QPen(QColor(0x9b, 0xc4, 0xa8), r.width() / 30));
    for (int k = 1; k < 3; ++k) {
        const double y = r.top() + r.height() / 4 + k * r.height() * 3 / 12;
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
    p.drawLine(QPointF(r.center().x(), r.top() + r.height() / 4), QPointF(r.center().x(), r.bottom()));
}

void DrawArrow(QPainter& p, QPointF from, QPointF to, const QColor& colour, double width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::max(1.0, std::hypot((to - from).x(), (to - from).y()));
    const QPointF n(-d.y(), d.x());
    QPainterPath head;
    head.moveTo(to + d * width);
    head.lineTo(to - d * width * 1.8 + n * width * 1.8);
    head.lineTo(to - d * width * 1.8 - n * width * 1.8);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(head);
}

} // namespace

QPixmap ToolIconPixmap(ToolIcon which, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    switch (which) {
    case ToolIcon::Import:
        DrawSheet(p, QRectF(s * 0.35, s * 0.1, s * 0.55, s * 0.75));
        DrawArrow(p, QPointF(s * 0.05, s * 0.75), QPointF(s * 0.45, s * 0.5), QColor(0x1f, 0x5f, 0xc0), s / 10);
        break;
    case ToolIcon::Export:
        DrawSheet(p, QRectF(s * 0.1, s * 0.1, s * 0.55, s * 0.75));
        DrawArrow(p, QPointF(s * 0.45, s * 0.5), QPointF(s * 0.9, s * 0.8), QColor(0xc0, 0x3a, 0x1f), s / 10);
        break;
    case ToolIcon::Help: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x5f, 0xc0));
        p.drawEllipse(QRectF(s * 0.08, s * 0.08, s * 0.84, s * 0.84));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(s * 0.43, s * 0.2, s * 0.14, s * 0.14));
        p.drawRoundedRect(QRectF(s * 0.43, s * 0.42, s * 0.14, s * 0.38), s * 0.04, s * 0.04);
        break;
    }
    }
    return pixmap;
}

QImage WindowIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x00, 0x80, 0x80));
    p.drawRoundedRect(QRectF(0, 0, s, s), s * 0.15, s * 0.15);
    // Three bars of a frequency chart and a red line through them: data and
    // the statistic drawn from it.
    p.setBrush(Qt::white);
    const double heights[3] = {0.35, 0.6, 0.45};
    for (int k = 0; k < 3; ++k)
        p.drawRect(QRectF(s * (0.15 + 0.25 * k), s * (0.85 - heights[k]), s * 0.18, s * heights[k]));
    p.setPen(QPen(QColor(0xff, 0x30, 0x30), std::max(1.0, s / 14), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.12, s * 0.7), QPointF(s * 0.88, s * 0.2));
    return image;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64}) icon.addPixmap(QPixmap::fromImage(WindowIconImage(size)));
    return icon;
}

} // namespace korvanta::ui
