// What a user who cannot see the screen, or who reaches for F1, depends on:
// every control announces a name, and the help page lists every shortcut
// the menus offer.
#include "app/mainwindow.h"
#include "app/ttablewindow.h"
#include "recorder.h"
#include "widgetkit/interaction.h"

#include <QAccessible>
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace korvanta::ui {
namespace {

QString AnnouncedName(QWidget* widget)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name).trimmed() : QString();
}

// Our controls: every widget the program named (Qt's own parts are "qt_...").
QList<QWidget*> Controls(QWidget* window)
{
    QList<QWidget*> controls{window};
    for (QWidget* widget : window->findChildren<QWidget*>())
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith(QStringLiteral("qt_")))
            controls << widget;
    return controls;
}

class UsabilityTest : public ::testing::Test {
protected:
    Recorder desktop;
    MainWindow window{desktop};
};

TEST_F(UsabilityTest, EveryControlOfEveryWindowAnnouncesAName)
{
    window.show();
    window.ShowTTable();
    window.ShowDetails();
    for (int mode = 0; mode < 5; ++mode) {
        window.SelectTest(static_cast<TestMode>(mode));
        QStringList unnamed;
        for (QWidget* topLevel : {static_cast<QWidget*>(&window), static_cast<QWidget*>(window.TTable())})
            for (QWidget* control : Controls(topLevel))
                if (AnnouncedName(control).isEmpty())
                    unnamed << control->objectName() + QLatin1Char(' ') +
                                   QString::fromLatin1(control->metaObject()->className());
        EXPECT_TRUE(unnamed.isEmpty()) << "mode " << mode << ": " << unnamed.join(QStringLiteral(", ")).toStdString();
    }
}

TEST_F(UsabilityTest, ControlsAreNamedByTheirCaptionOrJob)
{
    const struct {
        const char* control;
        const char* name;
    } cases[] = {
        {"Command1(0)", "两样本均数t检验"}, // a button: its caption
        {"CopyDetails", "复制结果"},
        {"VS1", "数据表格滚动条"}, // no caption: its job
        {"Picture2", "数据表格"},
        {"Text1(4)", "第一组"}, // a cell: the column heading above it
        {"Text2(0)", "第二组"},
        {"Text3(8)", "序号"},
        {"Label5(4)", "t(0.01)"}, // a value: the symbol beside it
        {"Label5(14)", "tr(0.01)"},
        {"Label5(20)", "3.84"}, // a label with text reads as it is
        {"Text4(0)", "均  数(X1)="},
    };
    for (const auto& c : cases) {
        auto* control = window.findChild<QWidget*>(QString::fromUtf8(c.control));
        ASSERT_NE(control, nullptr) << c.control;
        EXPECT_EQ(AnnouncedName(control), QString::fromUtf8(c.name)) << c.control;
    }
}

TEST_F(UsabilityTest, TheHelpPageListsEveryMenuShortcut)
{
    // The Chinese page and the English one beside it.
    for (const char* path : {KORVANTA_HELP_PAGE, KORVANTA_HELP_PAGE_EN}) {
        QFile page(QString::fromUtf8(path));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << path;
        const QString help = QString::fromUtf8(page.readAll());
        int shortcuts = 0;
        for (QAction* menu : window.menuBar()->actions()) {
            ASSERT_NE(menu->menu(), nullptr);
            for (QAction* action : menu->menu()->actions()) {
                for (const QKeySequence& key : action->shortcuts()) {
                    ++shortcuts;
                    const QString written =
                        QStringLiteral("<kbd>%1</kbd>").arg(key.toString(QKeySequence::PortableText));
                    EXPECT_TRUE(help.contains(written))
                        << path << ": " << action->text().toStdString() << ": " << written.toStdString();
                }
            }
        }
        EXPECT_GE(shortcuts, 10);
    }
}

} // namespace
} // namespace korvanta::ui
