// The main window as a user meets it, on Qt's offscreen platform: layout,
// what is visible in each test, the scrollbar, the toolbar, the t-table
// window. The desktop is played by a recorder, so no dialog can ever wait
// for an answer; any modal window that still appears fails the test.
#include "app/mainwindow.h"
#include "app/ttablewindow.h"
#include "recorder.h"
#include "widgetkit/interaction.h"
#include "widgetkit/twips.h"

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace korvanta::ui {
namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.show();
        QApplication::setActiveWindow(&window);
    }
    void TearDown() override
    {
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "a modal window was left open";
    }

    template <typename T = QWidget>
    T* Control(const char* name)
    {
        auto* found = window.findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    Recorder desktop;
    MainWindow window{desktop};
};

TEST_F(WindowTest, ClientAreaHasTheDesignedFixedSize)
{
    EXPECT_EQ(window.centralWidget()->size(), QSize(549, 429));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(Control("Picture2")->geometry(), QRect(164, 88, 381, 203));
    EXPECT_EQ(Control("Text1(3)")->geometry(), QRect(80, 84, 137, 15));
    // Label1 at Left 60, Top 240 inside Frame3, and in every test its red
    // caption drawn whole inside the frame's border.
    EXPECT_EQ(Control("Label1")->pos(), QPoint(4, 16));
    for (int mode = 0; mode < 5; ++mode) {
        QTest::mouseClick(Control(QStringLiteral("Command1(%1)").arg(mode).toUtf8().constData()), Qt::LeftButton);
        auto* frame = Control<QFrame>("Frame3");
        const QImage drawn = frame->grab().toImage();
        const int captionEnd = Control("CommandDetails")->x();
        int firstRed = -1, lastRed = -1;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < captionEnd; ++x) {
                const QColor pixel = drawn.pixelColor(x, y);
                if (pixel.red() > 150 && pixel.green() < 100 && pixel.blue() < 100) {
                    if (firstRed < 0) firstRed = y;
                    lastRed = y;
                }
            }
        }
        EXPECT_GE(firstRed, 16) << "mode " << mode;
        EXPECT_LT(lastRed, frame->height() - frame->frameWidth()) << "mode " << mode;
    }
}

TEST_F(WindowTest, ChineseCaptionsHaveGlyphsInTheChosenFont)
{
    const QLabel* hint = Control<QLabel>("Label1");
    const QFontMetrics metrics(hint->font());
    for (const QChar ch : hint->text())
        EXPECT_TRUE(metrics.inFont(ch)) << QString(ch).toStdString() << " in "
                                        << QFontInfo(hint->font()).family().toStdString();
}

TEST_F(WindowTest, EachTestShowsExactlyItsPanelsAndHidesTheHiddenControls)
{
    const char* results[5] = {"Picture4", "Picture6", "Picture7", "Picture9", "Picture11"};
    for (int mode = 0; mode < 5; ++mode) {
        QTest::mouseClick(Control(QStringLiteral("Command1(%1)").arg(mode).toUtf8().constData()), Qt::LeftButton);
        for (int other = 0; other < 5; ++other)
            EXPECT_EQ(Control(results[other])->isVisible(), other == mode) << results[other] << " in mode " << mode;
        EXPECT_TRUE(Control("Picture2")->isVisible());
        EXPECT_EQ(Control("Picture8")->isVisible(), mode >= 3);
        for (const char* hidden : {"Text14", "Label9", "Label7", "Label8", "Label20(0)"})
            EXPECT_FALSE(Control(hidden)->isVisible()) << hidden << " in mode " << mode;
    }
}

TEST_F(WindowTest, ScrollBarArrowsAndTroughShowStoredRowsWithoutWriting)
{
    std::vector<std::string> first, second;
    for (int k = 1; k <= 30; ++k) {
        first.push_back(std::to_string(k));
        second.push_back(std::to_string(100 + k));
    }
    window.LoadColumns(first, second);
    auto* bar = Control<QScrollBar>("VS1");
    ASSERT_TRUE(bar->isEnabled());
    EXPECT_EQ(bar->maximum(), 21);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Control<QLineEdit>("Text3(0)")->text(), "2");
    EXPECT_EQ(Control<QLineEdit>("Text1(0)")->text(), "2");
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Control<QLineEdit>("Text3(0)")->text(), "11");
    EXPECT_EQ(Control<QLineEdit>("Text2(8)")->text(), "119");
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(Control<QLineEdit>("Text3(8)")->text(), "30");
    const auto stored = window.Store().Items(grid::Column::First);
    EXPECT_EQ(std::vector<std::string>(stored.begin(), stored.end()), first);
}

TEST_F(WindowTest, ToolbarReleaseOutsideTheItemStillRunsItsAction)
{
    auto* area = Control("Label28(2)");
    auto* item = Control<QFrame>("Picture14(2)");
    QTest::mousePress(area, Qt::RightButton);
    EXPECT_NE(item->frameShape(), QFrame::NoFrame);
    QTest::mouseRelease(area, Qt::RightButton, {}, QPoint(-40, 300));
    EXPECT_EQ(item->frameShape(), QFrame::NoFrame);
    ASSERT_EQ(desktop.urls.size(), 1);
    EXPECT_TRUE(desktop.urls.front().toString().endsWith("help/index.html"))
        << desktop.urls.front().toString().toStdString();
}

TEST_F(WindowTest, TableTestsDisableOnlyTheToolbarExchange)
{
    QTest::mouseClick(Control("Command1(4)"), Qt::LeftButton);
    QTest::mouseClick(Control("Label28(0)"), Qt::LeftButton);
    EXPECT_TRUE(desktop.dialogs.isEmpty());
    window.FindAction(QStringLiteral("从Excel导入数据"))->trigger();
    EXPECT_EQ(desktop.dialogs, QStringList{QStringLiteral("打开")});
}

TEST_F(WindowTest, MenuItemsCarryTheirShortcuts)
{
    const std::pair<const char*, const char*> items[] = {{"从Excel导入数据", "Ctrl+G"}, {"导出数据到Excel", "Ctrl+L"},
                                                         {"t界值表", "Ctrl+T"},         {"退出", "Ctrl+E"},
                                                         {"访问作者主页", "Ctrl+H"},    {"在线帮助", "Ctrl+K"}};
    for (const auto& [caption, chord] : items) {
        QAction* action = window.FindAction(QString::fromUtf8(caption));
        ASSERT_NE(action, nullptr) << caption;
        EXPECT_EQ(action->shortcut().toString(), QString::fromLatin1(chord)) << caption;
    }
}

TEST_F(WindowTest, OneTTableWindowIsReusedUntilItIsClosed)
{
    window.ShowTTable();
    TTableWindow* first = window.TTable();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), "t界值表");
    window.ShowTTable();
    EXPECT_EQ(window.TTable(), first);
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window.TTable(), nullptr);
    window.ShowTTable();
    EXPECT_NE(window.TTable(), nullptr);
}

// A Chinese input method commits its text through input-method events, not
// key presses; full-width digits, point and signs must arrive as ASCII in
// every kind of input box, whether committed at once or one by one.
TEST_F(WindowTest, FullWidthDigitsCommittedByAnInputMethodAreNumbers)
{
    struct Case {
        int mode;
        const char* box;
        std::vector<const char*> commits;
        const char* shown;
    };
    const Case cases[] = {
        {1, "Text1(0)", {"１２．５"}, "12.5"},
        {1, "Text2(0)", {"－", "３"}, "-3"},
        {1, "Text1(1)", {"１", "２", "．", "５"}, "12.5"},
        {2, "Text2(2)", {"０。７５"}, "0.75"},
        {1, "Text1(2)", {"＋"}, ""},
        {0, "Text4(0)", {"１２．５"}, "12.5"},
        {0, "Text4(3)", {"－", "０．５"}, "-0.5"},
        {3, "Text11(0)", {"１２"}, "12"},
        {4, "Text11(3)", {"３", "０"}, "30"},
    };
    for (const Case& c : cases) {
        QTest::mouseClick(Control<QPushButton>(("Command1(" + std::to_string(c.mode) + ")").c_str()), Qt::LeftButton);
        auto* box = Control<QLineEdit>(c.box);
        ASSERT_NE(box, nullptr);
        box->setFocus();
        for (const char* commit : c.commits) {
            QInputMethodEvent event;
            event.setCommitString(QString::fromUtf8(commit));
            QApplication::sendEvent(box, &event);
        }
        EXPECT_EQ(box->text().toStdString(), c.shown) << c.box;
    }
}

TEST(TTableWindowRows, ShowTheTableAndInfinityAsItsSign)
{
    const std::pair<int, QStringList> cases[] = {
        {0, {"1", "12.71", "63.66", "636.6"}},
        {45, {"100", "1.984", "2.626", "3.390"}},
        {48, {"1000", "1.962", "2.581", "3.300"}},
        {49, {"∞", "1.960", "2.576", "3.291"}},
    };
    for (const auto& [row, shown] : cases) EXPECT_EQ(TTableRowAsShown(row), shown) << row;
}

TEST_F(WindowTest, ExitClosesTheTTableWindowAndAsksToEnd)
{
    bool ended = false;
    QObject::connect(&window, &MainWindow::ExitRequested, [&ended] { ended = true; });
    window.ShowTTable();
    window.FindAction(QStringLiteral("退出"))->trigger();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(desktop.messages.isEmpty());
}

} // namespace
} // namespace korvanta::ui
