#include "banner/bannerwidget.h"
#include "widgetkit/twips.h"

#include <QFontMetrics>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

namespace korvanta::banner {
namespace {

using ui::Px;

struct TickState {
    int line;
    int x;
    QColor background;
    QColor text;
};

const QColor kRed(255, 0, 0);
const QColor kTeal(0, 128, 128);
const QColor kGreen(0, 128, 0);
const QColor kWhite(255, 255, 255);
const QColor kPaleYellow(255, 255, 192);

// Ticks at 2, 4, ... 24 seconds.
const TickState kTwelveTicks[] = {
    {1, 400, kRed, kWhite},       {2, 300, kTeal, kPaleYellow}, {3, 150, kRed, kWhite},
    {4, 50, kTeal, kPaleYellow},  {5, 150, kGreen, kWhite},     {1, 400, kRed, kWhite},
    {2, 300, kTeal, kPaleYellow}, {3, 150, kRed, kWhite},       {4, 50, kTeal, kPaleYellow},
    {5, 150, kGreen, kWhite},     {1, 400, kRed, kWhite},       {2, 300, kTeal, kPaleYellow},
};

TEST(BannerWidget, IsTheDesignedBox)
{
    const BannerWidget banner;
    EXPECT_EQ(banner.objectName(), "Picture3");
    EXPECT_EQ(banner.size(), QSize(Px(2730), Px(390)));
    EXPECT_EQ(banner.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(banner.Counter(), 0);
}

TEST(BannerWidget, LoadPrintsWelcomeLineOnGreen)
{
    BannerWidget banner;
    banner.PrintWelcome();
    EXPECT_EQ(banner.CurrentLine(), BannerWidget::LineText(5));
    EXPECT_EQ(banner.Background(), kGreen);
    EXPECT_EQ(banner.TextColor(), kWhite);
    EXPECT_EQ(banner.TextPositionTwips(), QPoint(140, 80));
    EXPECT_TRUE(banner.font().bold());
    EXPECT_EQ(banner.font().pixelSize(), ui::SongFont(11, true).pixelSize());
    // The load step does not advance the cycle: the first tick shows line 1.
    banner.Tick();
    EXPECT_EQ(banner.CurrentLine(), BannerWidget::LineText(1));
}

TEST(BannerWidget, TwelveTicksCycleThroughTheFiveLines)
{
    BannerWidget banner;
    banner.PrintWelcome();
    int tick = 0;
    for (const TickState& expected : kTwelveTicks) {
        SCOPED_TRACE(++tick);
        banner.Tick();
        EXPECT_EQ(banner.Counter(), expected.line);
        EXPECT_EQ(banner.CurrentLine(), BannerWidget::LineText(expected.line));
        EXPECT_EQ(banner.Background(), expected.background);
        EXPECT_EQ(banner.TextColor(), expected.text);
        EXPECT_EQ(banner.TextPositionTwips(), QPoint(expected.x, 80));
        EXPECT_TRUE(banner.font().bold());
    }
}

TEST(BannerWidget, LinesAreFiveDistinctChineseLines)
{
    for (int line = 1; line <= BannerWidget::kLineCount; ++line) {
        const QString text = BannerWidget::LineText(line);
        EXPECT_FALSE(text.isEmpty()) << line;
        EXPECT_FALSE(text.contains(QLatin1Char('\n'))) << line;
        EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](QChar c) { return c.script() == QChar::Script_Han; }))
            << line;
        for (int other = 1; other < line; ++other) EXPECT_NE(text, BannerWidget::LineText(other));
    }
    EXPECT_TRUE(BannerWidget::LineText(0).isEmpty());
    EXPECT_TRUE(BannerWidget::LineText(6).isEmpty());
}

TEST(BannerWidget, EveryLineFitsTheBoxFromItsPosition)
{
    // As the program asks for it, and as the CJK Song and Hei faces draw it.
    QFont asked = ui::SongFont(11, true);
    QFont serif = asked;
    serif.setFamily(QStringLiteral("Noto Serif CJK SC"));
    QFont sans = asked;
    sans.setFamily(QStringLiteral("Noto Sans CJK SC"));
    const int boxWidth = Px(2730);

    for (const QFont& font : {asked, serif, sans}) {
        const QFontMetrics metrics(font);
        for (int line = 1; line <= BannerWidget::kLineCount; ++line) {
            const QString text = BannerWidget::LineText(line);
            const int x = Px(BannerWidget::LinePositionTwips(line).x());
            EXPECT_LE(x + metrics.horizontalAdvance(text), boxWidth) << font.family().toStdString() << " line " << line;
        }
        const int welcomeX = Px(BannerWidget::WelcomePositionTwips().x());
        EXPECT_LE(welcomeX + metrics.horizontalAdvance(BannerWidget::LineText(5)), boxWidth);
    }
}

TEST(BannerWidget, PaintsTheCurrentLineFromItsState)
{
    BannerWidget banner;
    banner.PrintWelcome();
    banner.Tick(); // line 1: white on red
    const QImage image = banner.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(QColor(image.pixel(0, 0)), kRed);
    EXPECT_EQ(QColor(image.pixel(image.width() - 1, image.height() - 1)), kRed);

    // Some text pixels are drawn, and only right of the line's x.
    const int x = Px(BannerWidget::LinePositionTwips(1).x());
    int textPixels = 0;
    for (int row = 0; row < image.height(); ++row) {
        for (int column = 0; column < image.width(); ++column) {
            if (QColor(image.pixel(column, row)) != kRed) {
                ++textPixels;
                EXPECT_GE(column, x - 1);
            }
        }
    }
    EXPECT_GT(textPixels, 20);

    // Covered and uncovered: a new paint draws the same picture again.
    EXPECT_EQ(banner.grab().toImage(), image);
}

TEST(BannerWidget, LeftClickEmitsClicked)
{
    BannerWidget banner;
    banner.show();
    QSignalSpy spy(&banner, &BannerWidget::Clicked);
    for (int line = 0; line <= BannerWidget::kLineCount; ++line) {
        QTest::mouseClick(&banner, Qt::LeftButton, {}, QPoint(20, 10));
        banner.Tick();
    }
    EXPECT_EQ(spy.count(), 6);

    QTest::mouseClick(&banner, Qt::RightButton, {}, QPoint(20, 10));
    EXPECT_EQ(spy.count(), 6);

    // Pressed on the banner, released away from it: no click.
    QTest::mousePress(&banner, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseRelease(&banner, Qt::LeftButton, {}, QPoint(20, 200));
    EXPECT_EQ(spy.count(), 6);
}

TEST(BannerWidget, Timer1TicksEveryTwoSecondsOnceStarted)
{
    BannerWidget banner;
    auto* timer = banner.findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 2000);
    EXPECT_FALSE(timer->isActive());
    banner.StartAnimation();
    EXPECT_TRUE(timer->isActive());

    // The timer drives Tick(): one timeout shows line 1.
    ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection));
    EXPECT_EQ(banner.Counter(), 1);

    banner.StopAnimation();
    EXPECT_FALSE(timer->isActive());
}

} // namespace
} // namespace korvanta::banner
