// Every window on a 1366x768 laptop screen scaled to 125%, 150% and 200%
// (run once per factor, on Qt's offscreen platform given that screen): each
// window and its frame lie inside the screen's available area with room for a
// title bar, and every control it shows can be reached, either inside the
// window or inside a scroll area that can bring it into view. The details
// table keeps a useful number of rows.
#include "app/desktopinteraction.h"
#include "app/importdialog.h"
#include "app/mainwindow.h"
#include "app/ttablewindow.h"
#include "recorder.h"
#include "resultsview/detailswindow.h"
#include "widgetkit/interaction.h"
#include "widgetkit/screenfit.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace korvanta::ui {
namespace {

const QString kData = QStringLiteral(KORVANTA_TEST_DATA);

// The laptop's screen, in device pixels, and the room a desktop's title bar
// and borders take from it (logical pixels).
constexpr int kScreenWidth = 1366;
constexpr int kScreenHeight = 768;
constexpr int kTitleBar = 30;
constexpr int kBorders = 8;
// Rows of the details table that must be in view whole.
constexpr int kTableRows = 8;

QString Text(const QRect& rect)
{
    return QStringLiteral("(%1,%2 %3x%4)").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

// A control by its name, or an unnamed part by the control it belongs to.
QString Describe(const QWidget* widget)
{
    QString name = widget->objectName();
    for (const QWidget* up = widget->parentWidget(); name.isEmpty() && up; up = up->parentWidget())
        name = up->objectName().isEmpty() ? QString() : QStringLiteral("part of ") + up->objectName();
    return name + QLatin1Char(' ') + QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ') +
           Text(widget->geometry());
}

// The scroll area whose scrolled form holds widget, if any.
QScrollArea* ScrollingAncestor(const QWidget* widget)
{
    for (QWidget* up = widget->parentWidget(); up && !up->isWindow(); up = up->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(up); area && area->widget() && area->widget()->isAncestorOf(widget))
            return area;
    return nullptr;
}

// The part of widget its parents leave visible, up to `top`, in widget's
// own coordinates.
QRect Unclipped(const QWidget* widget, const QWidget* top)
{
    QRect shown = widget->rect();
    for (const QWidget* up = widget; up != top; up = up->parentWidget()) {
        const QWidget* parent = up->parentWidget();
        const QRect parentArea(widget->mapFrom(parent, QPoint(0, 0)), parent->size());
        shown &= parentArea;
    }
    return shown;
}

// Empty when the part of widget its form shows (the design cuts a frame's
// edge off here and there) is in the window, or can be brought into view
// whole, or as much of it as the scroll area showing it can show at once;
// otherwise why not.
QString Unreachable(QWidget* widget)
{
    if (QScrollArea* area = ScrollingAncestor(widget)) {
        const QRect designed = Unclipped(widget, area->widget());
        if (designed.isEmpty()) return {};
        // Scrolled as far as it goes towards the part's top-left corner.
        const QPoint corner = widget->mapTo(area->widget(), designed.topLeft());
        area->horizontalScrollBar()->setValue(corner.x());
        area->verticalScrollBar()->setValue(corner.y());
        const QRect shown = Unclipped(widget, area->viewport()) & designed;
        const QSize view = area->viewport()->size();
        if (shown.width() < std::min(designed.width(), view.width()) ||
            shown.height() < std::min(designed.height(), view.height()))
            return Describe(widget) + QStringLiteral(" cannot be scrolled into view");
        return Unreachable(area);
    }
    // Outside a scroll area the window itself must show the part.
    const QWidget* top = widget;
    while (top->parentWidget() && !top->parentWidget()->isWindow()) top = top->parentWidget();
    const QRect designed = Unclipped(widget, top);
    if (!designed.isEmpty() &&
        !widget->window()->rect().contains(QRect(widget->mapTo(widget->window(), designed.topLeft()), designed.size())))
        return Describe(widget) + QStringLiteral(" is cut off by the window");
    return {};
}

// What is wrong with where and how large window is, or empty.
QString OffScreen(const QWidget* window)
{
    const QRect area = window->screen()->availableGeometry();
    if (!area.contains(window->frameGeometry()))
        return Describe(window) + QStringLiteral(": frame ") + Text(window->frameGeometry()) +
               QStringLiteral(" outside ") + Text(area);
    if (window->width() + kBorders > area.width() || window->height() + kTitleBar > area.height())
        return Describe(window) + QStringLiteral(" leaves no room for a title bar");
    return {};
}

// Every visible control of the window that cannot be reached.
QStringList Problems(QWidget* window)
{
    QStringList problems;
    if (const QString placed = OffScreen(window); !placed.isEmpty()) problems << placed;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->isWindow() || widget->objectName().startsWith(QStringLiteral("qt_")))
            continue;
        if (const QString why = Unreachable(widget); !why.isEmpty()) problems << why;
    }
    return problems;
}

// Rows of the table wholly in view once the table itself is.
int RowsInView(QTableWidget* table)
{
    if (QScrollArea* area = ScrollingAncestor(table)) area->ensureWidgetVisible(table, 0, 0);
    const QRect view = table->viewport()->rect();
    int rows = 0;
    for (int row = 0; row < table->rowCount(); ++row)
        if (view.contains(table->visualRect(table->model()->index(row, 0)))) ++rows;
    return rows;
}

TEST(ScreenFit, AFormScrollsOnlyWhereTheRoomIsShort)
{
    constexpr int bar = 15;
    const struct {
        QSize full, room;
        bool whole;
        QSize largest, initial;
    } cases[] = {
        {{549, 451}, {1358, 728}, true, {549, 451}, {549, 451}}, // 100%: as designed
        {{549, 451}, {549, 451}, true, {549, 451}, {549, 451}},  // exactly the room
        {{549, 451}, {675, 344}, false, {564, 451}, {564, 344}}, // 200%: too short, wide enough for a bar
        {{549, 451}, {560, 344}, false, {564, 466}, {560, 344}}, // the bar's width then needs a second bar
        {{549, 451}, {549, 440}, false, {564, 466}, {549, 440}},
        {{600, 300}, {500, 400}, false, {600, 315}, {500, 315}}, // too narrow only
        {{600, 390}, {500, 400}, false, {615, 405}, {500, 400}},
    };
    for (const auto& c : cases) {
        const FormWindowSizes sizes = FormWindowSize(c.full, c.room, bar);
        EXPECT_EQ(sizes.whole, c.whole) << c.full.width() << "x" << c.full.height() << " in " << c.room.width() << "x"
                                        << c.room.height();
        EXPECT_EQ(sizes.largest, c.largest) << c.room.width() << "x" << c.room.height();
        EXPECT_EQ(sizes.initial, c.initial) << c.room.width() << "x" << c.room.height();
    }
}

TEST(ScreenFit, AWindowIsMovedTheLeastOntoTheScreen)
{
    const QRect laptop200(0, 0, 683, 384);
    const QRect belowPanel(0, 30, 1366, 738);
    const struct {
        QRect frame, area;
        QPoint expected;
    } cases[] = {
        {{10, 10, 300, 200}, laptop200, {10, 10}},     // inside: stays
        {{500, 300, 300, 200}, laptop200, {383, 184}}, // past the right and bottom edges
        {{-20, -5, 300, 200}, laptop200, {0, 0}},
        {{50, 50, 800, 500}, laptop200, {0, 0}},     // larger: its top-left corner shows
        {{100, 0, 300, 200}, belowPanel, {100, 30}}, // not under a top panel
        {{1200, 700, 300, 200}, belowPanel, {1066, 568}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PositionWithin(c.frame, c.area), c.expected) << c.frame.x() << "," << c.frame.y();
}

class ScaledScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The run is the one its name says: the laptop screen at the factor.
        const double scale = qEnvironmentVariable("KORVANTA_EXPECTED_SCALE").toDouble();
        ASSERT_GT(scale, 1.0) << "KORVANTA_EXPECTED_SCALE not set";
        const QScreen* screen = QGuiApplication::primaryScreen();
        ASSERT_DOUBLE_EQ(screen->devicePixelRatio(), scale);
        ASSERT_NEAR(screen->availableGeometry().width(), kScreenWidth / scale, 1.0);
        ASSERT_NEAR(screen->availableGeometry().height(), kScreenHeight / scale, 1.0);
        window.show();
        QApplication::setActiveWindow(&window);
        QApplication::processEvents();
    }
    void TearDown() override
    {
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "a modal window was left open";
    }

    void LoadSamples()
    {
        std::vector<std::string> first, second;
        for (int k = 1; k <= 12; ++k) {
            first.push_back(std::to_string(10 + k % 5));
            second.push_back(std::to_string(12 + k % 4));
        }
        window.LoadColumns(first, second);
    }

    Recorder desktop;
    MainWindow window{desktop};
};

TEST_F(ScaledScreenTest, MainWindowShowsEveryControlOfEveryTest)
{
    for (int mode = 0; mode < 5; ++mode) {
        window.SelectTest(static_cast<TestMode>(mode));
        EXPECT_EQ(Problems(&window), QStringList()) << "mode " << mode;
    }
}

TEST_F(ScaledScreenTest, DetailsWindowKeepsItsTableRowsAndEverySection)
{
    for (int mode = 0; mode < 5; ++mode) {
        window.SelectTest(static_cast<TestMode>(mode));
        if (mode < 3) LoadSamples();
        window.ShowDetails();
        QApplication::processEvents();
        DetailsWindow* details = window.Details();
        EXPECT_EQ(Problems(details), QStringList()) << "mode " << mode;
        auto* table = details->findChild<QTableWidget*>(QStringLiteral("DetailsTable"));
        ASSERT_NE(table, nullptr);
        ASSERT_GT(table->rowCount(), kTableRows) << "mode " << mode;
        EXPECT_GE(RowsInView(table), kTableRows) << "mode " << mode;
        details->close();
    }
}

TEST_F(ScaledScreenTest, TTableWindowShowsTheWholeTableByScrolling)
{
    window.ShowTTable();
    QApplication::processEvents();
    TTableWindow* table = window.TTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(Problems(table), QStringList());
    table->close();
}

TEST_F(ScaledScreenTest, ImportPreviewWithSeveralSheetsFits)
{
    QStringList problems;
    bool shown = false;
    desktop.inspect = [&](ImportDialog& preview) {
        // The preview as the import made it, shown as its exec() would.
        preview.show();
        QApplication::processEvents();
        shown = preview.isVisible();
        problems = Problems(&preview);
        preview.hide();
    };
    desktop.nextSheet.reset();
    window.ImportFile(kData + QStringLiteral("/lo_sheets.xlsx"));
    ASSERT_TRUE(shown);
    EXPECT_EQ(problems, QStringList());
}

// The next modal window the desktop opens is checked while it is open, then
// closed; `absent` stays the problem when none opens.
void CheckNextModal(QStringList& problems, const QString& absent)
{
    problems = QStringList{absent};
    QTimer::singleShot(0, [&problems] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            problems = Problems(modal);
            modal->close();
        }
    });
}

TEST_F(ScaledScreenTest, DesktopPrintPreviewAndQuestionFit)
{
    DesktopInteraction real;
    QStringList problems;
    CheckNextModal(problems, QStringLiteral("no preview opened"));
    real.PreviewAndPrint(&window, QStringLiteral("统计分析报告"), [](QPrinter& printer) {
        QPainter painter(&printer);
        painter.drawText(QPointF(100, 100), QStringLiteral("第一页"));
    });
    EXPECT_EQ(problems, QStringList()) << "print preview";

    CheckNextModal(problems, QStringLiteral("no question asked"));
    real.Ask(&window, {QStringLiteral("提示"),
                       QStringLiteral("表中有数据。切换检验时保留这些数据吗？"),
                       {QStringLiteral("保留数据"), QStringLiteral("清空数据"), QStringLiteral("取消")},
                       0,
                       2,
                       1});
    EXPECT_EQ(problems, QStringList()) << "question";
}

} // namespace
} // namespace korvanta::ui
