#include "banner/bannerwidget.h"

#include "widgetkit/twips.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <array>

namespace korvanta::banner {

namespace {

using ui::Px;

struct LineStyle {
    const char* text; // UTF-8
    int x;            // twips
    QRgb background;
    QRgb foreground;
};

constexpr int kLineTop = 80; // twips, every line

// Each line must fit the 182-pixel box at bold 11 pt from its x; the tests
// measure them.
constexpr std::array<LineStyle, BannerWidget::kLineCount> kLines = {{
    {QT_TRANSLATE_NOOP("korvanta::banner::BannerWidget", "两样本与配对t检验"), 400, qRgb(255, 0, 0),
     qRgb(255, 255, 255)},
    {QT_TRANSLATE_NOOP("korvanta::banner::BannerWidget", "直线相关与回归分析"), 300, qRgb(0, 128, 128),
     qRgb(255, 255, 192)},
    {QT_TRANSLATE_NOOP("korvanta::banner::BannerWidget", "四格表与配对卡方检验"), 150, qRgb(255, 0, 0),
     qRgb(255, 255, 255)},
    {QT_TRANSLATE_NOOP("korvanta::banner::BannerWidget", "Excel·计算器·t界值表"), 50, qRgb(0, 128, 128),
     qRgb(255, 255, 192)},
    {QT_TRANSLATE_NOOP("korvanta::banner::BannerWidget", "欢迎使用 Korvanta！"), 150, qRgb(0, 128, 0),
     qRgb(255, 255, 255)},
}};

constexpr int kWelcomeLeft = 140; // the load step prints a little further left
constexpr QRgb kWelcomeBackground = qRgb(0, 128, 0);
constexpr QRgb kWelcomeText = qRgb(255, 255, 255);

const LineStyle& StyleOf(int line) { return kLines[std::size_t(line - 1)]; }

} // namespace

BannerWidget::BannerWidget(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture3"));
    setFixedSize(Px(2730), Px(390));
    setCursor(Qt::PointingHandCursor);
    // Everything is painted from state; nothing below needs to show through.
    setAttribute(Qt::WA_OpaquePaintEvent);
    background_ = ui::Bgr(0x0000C000); // the designed green, until the load step
    textColor_ = QColor(255, 255, 255);
    setFont(ui::SongFont(11, true));

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(kTickMilliseconds);
    connect(timer_, &QTimer::timeout, this, &BannerWidget::Tick);
}

QString BannerWidget::LineText(int line)
{
    if (line < 1 || line > kLineCount) return {};
    return tr(StyleOf(line).text);
}

QPoint BannerWidget::LinePositionTwips(int line)
{
    if (line < 1 || line > kLineCount) return {};
    return {StyleOf(line).x, kLineTop};
}

QPoint BannerWidget::WelcomePositionTwips() { return {kWelcomeLeft, kLineTop}; }

void BannerWidget::PrintWelcome()
{
    Present(kWelcomeLine, WelcomePositionTwips(), QColor(kWelcomeBackground), QColor(kWelcomeText));
}

void BannerWidget::Tick()
{
    counter_ = counter_ >= kLineCount ? 1 : counter_ + 1;
    const LineStyle& style = StyleOf(counter_);
    Present(counter_, LinePositionTwips(counter_), QColor(style.background), QColor(style.foreground));
}

void BannerWidget::StartAnimation() { timer_->start(); }

void BannerWidget::StopAnimation() { timer_->stop(); }

void BannerWidget::Present(int line, QPoint positionTwips, QColor background, QColor text)
{
    setFont(ui::SongFont(11, true));
    line_ = LineText(line);
    positionTwips_ = positionTwips;
    background_ = background;
    textColor_ = text;
    update();
}

void BannerWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), background_);
    if (line_.isEmpty()) return;
    painter.setFont(font());
    painter.setPen(textColor_);
    // The position is the top-left of the text, as the line was designed.
    const QPoint topLeft(Px(positionTwips_.x()), Px(positionTwips_.y()));
    painter.drawText(QRect(topLeft, size()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line_);
}

void BannerWidget::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void BannerWidget::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a left press and release both on the banner.
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click) emit Clicked();
}

} // namespace korvanta::banner
