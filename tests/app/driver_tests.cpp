// The driver's printed values follow the window: each answer is checked in
// two states of the window that must print differently, so an answer that
// ignores the window fails one of them.
#include "driver.h"

#include "app/mainwindow.h"
#include "app/ttablewindow.h"

#include <QLabel>
#include <QTextStream>
#include <gtest/gtest.h>

#include <functional>

namespace korvanta::driver {
namespace {

QString DataFile(const char* name) { return QStringLiteral(KORVANTA_TEST_DATA "/") + QLatin1String(name); }

class DriverTest : public ::testing::Test {
protected:
    QString out;
    QTextStream stream{&out};
    Driver driver{stream};

    // Runs the lines and returns what they printed, one entry a line.
    QStringList Run(const QStringList& lines)
    {
        out.clear();
        for (const QString& line : lines) EXPECT_TRUE(driver.Run(line)) << line.toStdString();
        stream.flush();
        return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

struct ScriptCase {
    const char* what;
    QStringList script;
    QStringList printed;
};

class DriverScriptTest : public DriverTest, public ::testing::WithParamInterface<ScriptCase> {};

// notes.txt is prose: refused with its reason.
const QString kNotExcel = QStringLiteral("message=提示|文件中没有任何数值，不是数据文件。未导入。");

INSTANTIATE_TEST_SUITE_P(
    Answers, DriverScriptTest,
    ::testing::Values(
        ScriptCase{"no action yet, no message", {QStringLiteral("print message")}, {QStringLiteral("message=")}},
        ScriptCase{"a message stays through print lines, comments and blank lines",
                   {QStringLiteral("answer-file ") + DataFile("notes.txt"), QStringLiteral("menu 从Excel导入数据"),
                    QStringLiteral("print message"), QStringLiteral("# a comment"), QString(),
                    QStringLiteral("print message")},
                   {kNotExcel, kNotExcel}},
        ScriptCase{"preparing the next dialog's answer is no action",
                   {QStringLiteral("answer-file ") + DataFile("notes.txt"), QStringLiteral("menu 从Excel导入数据"),
                    QStringLiteral("answer-cancel"), QStringLiteral("answer-sheet 1"), QStringLiteral("print message")},
                   {kNotExcel}},
        ScriptCase{"an action without a message clears the earlier one",
                   {QStringLiteral("answer-file ") + DataFile("notes.txt"), QStringLiteral("menu 从Excel导入数据"),
                    QStringLiteral("click Command1(1)"), QStringLiteral("print message")},
                   {QStringLiteral("message=")}},
        ScriptCase{"a cancelled import shows nothing after a refused one",
                   {QStringLiteral("answer-file ") + DataFile("notes.txt"), QStringLiteral("menu 从Excel导入数据"),
                    QStringLiteral("answer-cancel"), QStringLiteral("menu 从Excel导入数据"),
                    QStringLiteral("print message")},
                   {QStringLiteral("message=")}},
        ScriptCase{"the same message again is the new action's",
                   {QStringLiteral("answer-file ") + DataFile("notes.txt"), QStringLiteral("menu 从Excel导入数据"),
                    QStringLiteral("click Command1(1)"), QStringLiteral("answer-file ") + DataFile("notes.txt"),
                    QStringLiteral("menu 从Excel导入数据"), QStringLiteral("print message")},
                   {kNotExcel}},
        ScriptCase{"the t table's caption only while it is open",
                   {QStringLiteral("print Form2.caption Form2.visible"), QStringLiteral("menu t界值表"),
                    QStringLiteral("print Form2.caption Form2.visible"), QStringLiteral("close Form2"),
                    QStringLiteral("print Form2.caption Form2.visible")},
                   {QStringLiteral("Form2.caption="), QStringLiteral("Form2.visible=false"),
                    QStringLiteral("Form2.caption=t界值表"), QStringLiteral("Form2.visible=true"),
                    QStringLiteral("Form2.caption="), QStringLiteral("Form2.visible=false")}},
        ScriptCase{"the store's lists are shown nowhere",
                   {QStringLiteral("type Text1(0) 5"), QStringLiteral("print List1.visible List2.visible")},
                   {QStringLiteral("List1.visible=false"), QStringLiteral("List2.visible=false")}}),
    [](const auto& paramInfo) { return "case" + std::to_string(paramInfo.index); });

TEST_P(DriverScriptTest, PrintsWhatTheWindowHolds)
{
    EXPECT_EQ(Run(GetParam().script), GetParam().printed) << GetParam().what;
}

// A change made to the window behind the driver's back shows in its answer.
struct WindowChange {
    const char* what;
    QStringList before; // lines that bring the window to the first state
    QString print;
    QString first;
    std::function<void(ui::MainWindow&)> change;
    QString second;
};

class DriverWindowTest : public DriverTest, public ::testing::WithParamInterface<WindowChange> {};

QLabel* ShowLabelNamed(ui::MainWindow& window, const QString& name)
{
    auto* label = new QLabel(QStringLiteral("x"), window.centralWidget());
    label->setObjectName(name);
    label->show();
    return label;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DriverWindowTest,
    ::testing::Values(
        WindowChange{"the t table's caption is its title",
                     {QStringLiteral("menu t界值表")},
                     QStringLiteral("Form2.caption"),
                     QStringLiteral("t界值表"),
                     [](ui::MainWindow& window) { window.TTable()->setWindowTitle(QStringLiteral("另一个")); },
                     QStringLiteral("另一个")},
        WindowChange{"List1 shown",
                     {},
                     QStringLiteral("List1.visible"),
                     QStringLiteral("false"),
                     [](ui::MainWindow& window) { ShowLabelNamed(window, QStringLiteral("List1")); },
                     QStringLiteral("true")},
        WindowChange{"List2 shown",
                     {},
                     QStringLiteral("List2.visible"),
                     QStringLiteral("false"),
                     [](ui::MainWindow& window) { ShowLabelNamed(window, QStringLiteral("List2")); },
                     QStringLiteral("true")},
        WindowChange{"List1 there but hidden",
                     {},
                     QStringLiteral("List1.visible"),
                     QStringLiteral("false"),
                     [](ui::MainWindow& window) { ShowLabelNamed(window, QStringLiteral("List1"))->hide(); },
                     QStringLiteral("false")}),
    [](const auto& paramInfo) { return "case" + std::to_string(paramInfo.index); });

TEST_P(DriverWindowTest, FollowsTheWindow)
{
    const WindowChange& change = GetParam();
    Run(change.before);
    EXPECT_EQ(Run({QStringLiteral("print ") + change.print}), QStringList{change.print + '=' + change.first})
        << change.what;
    change.change(driver.Window());
    EXPECT_EQ(Run({QStringLiteral("print ") + change.print}), QStringList{change.print + '=' + change.second})
        << change.what;
}

TEST_F(DriverTest, AClosedTTableIsAScriptErrorNotACrash)
{
    for (const QString& line :
         {QStringLiteral("close Form2"), QStringLiteral("click Form2"), QStringLiteral("print Form2.enabled")})
        EXPECT_THROW(driver.Run(line), ScriptError) << line.toStdString();
}

} // namespace
} // namespace korvanta::driver
