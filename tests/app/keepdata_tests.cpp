// Asking before data are lost, and undo and redo, through the driver on the
// real window: every pair of tests switched with every answer, each kind of
// step undone and redone, and the end of the program with and without
// changed data.
#include "driver.h"

#include "app/mainwindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace korvanta::driver {
namespace {

// One run of the program; each line of a script is one driver command.
class Session {
public:
    Session() : out_(&printed_), driver_(out_) {}

    // Runs the lines and returns what they printed; false in ended once the
    // program has ended.
    QString Run(const QStringList& lines)
    {
        printed_.clear();
        for (const QString& line : lines) ended = !driver_.Run(line) || ended;
        out_.flush();
        return printed_;
    }
    QString Run(const QString& line) { return Run(QStringList{line}); }
    // The same, as text gtest prints readably.
    std::string Text(const QString& line) { return Run(line).toStdString(); }
    bool ended = false;

private:
    QString printed_;
    QTextStream out_;
    Driver driver_;
};

const QString kData = QStringLiteral(KORVANTA_TEST_DATA);

bool UsesTable(int mode) { return mode >= 3; }

// Data each test can take: two grid columns, or a 2x2 table.
QString EnterData(int mode)
{
    return UsesTable(mode) ? QStringLiteral("paste Text11(0) 12\\t5\\n3\\t10")
                           : QStringLiteral("paste Text1(0) 1\\t2\\n3\\t5\\n4\\t4\\n6\\t9\\n8\\t7");
}

// The inputs and results of a test as the user sees them.
std::string Shown(Session& session, int mode)
{
    static const char* const results[5] = {
        "Text4(0) Text4(1) Text4(2) Text4(3) Text4(4) Text4(5) Label5(3) Label5(6)",
        "Label13(5) Label13(4) Label13(3) Label5(10) Label5(7)",
        "Label13(6) Label13(7) Label13(12) Label5(13) Label5(16) Label5(17)",
        "Label18(0) Label18(3) Label18(4) Label20(1) Label20(5) Label20(6) Label5(21)",
        "Label18(4) Label20(8) Label20(7) Label5(23)",
    };
    return session.Text(QStringLiteral("print Label1 Command1(%1).bold Picture8.visible List1 List2 VS1.value Text1(0) "
                                       "Text2(0) Text11(0) Text11(1) Text11(2) Text11(3) %2")
                            .arg(mode)
                            .arg(QLatin1String(results[mode])));
}

// What a test shows when started afresh, with or without the data.
std::string Fresh(int mode, bool withData)
{
    Session fresh;
    fresh.Run(QStringLiteral("click Command1(%1)").arg(mode));
    if (withData) fresh.Run(EnterData(mode));
    return Shown(fresh, mode);
}

enum class Answer { Keep, Clear, Cancel };

struct SwitchCase {
    int from;
    int to;
    Answer answer;
};

class SwitchTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchTest, AnswersDecideWhatHappensToTheData)
{
    const auto [from, to, answer] = GetParam();
    Session session;
    session.Run({QStringLiteral("click Command1(%1)").arg(from), EnterData(from)});
    const std::string before = Shown(session, from);
    const bool fits = UsesTable(from) == UsesTable(to);
    static const char* const captions[] = {"保留数据", "清空数据", "取消"};
    session.Run(QStringLiteral("answer-button %1").arg(QString::fromUtf8(captions[static_cast<int>(answer)])));
    const QString click = QStringLiteral("click Command1(%1)").arg(to);
    if (answer == Answer::Keep && !fits) {
        // Not offered: the script is refused and the question cancelled.
        EXPECT_THROW(session.Run(click), ScriptError);
        EXPECT_EQ(Shown(session, from), before);
        return;
    }
    session.Run(click);
    EXPECT_TRUE(session.Run(QStringLiteral("print question")).startsWith(QStringLiteral("question=切换检验|")))
        << "a question was asked";
    switch (answer) {
    case Answer::Keep:
        EXPECT_EQ(Shown(session, to), from == to ? before : Fresh(to, true));
        break;
    case Answer::Clear:
        EXPECT_EQ(Shown(session, to), Fresh(to, false));
        break;
    case Answer::Cancel:
        EXPECT_EQ(Shown(session, from), before);
        break;
    }
}

std::vector<SwitchCase> EverySwitch()
{
    std::vector<SwitchCase> cases;
    for (int from = 0; from < 5; ++from)
        for (int to = 0; to < 5; ++to)
            for (Answer answer : {Answer::Keep, Answer::Clear, Answer::Cancel}) cases.push_back({from, to, answer});
    return cases;
}

std::string SwitchName(const ::testing::TestParamInfo<SwitchCase>& info)
{
    static const char* const names[] = {"keep", "clear", "cancel"};
    return "from" + std::to_string(info.param.from) + "_to" + std::to_string(info.param.to) + "_" +
           names[static_cast<int>(info.param.answer)];
}

INSTANTIATE_TEST_SUITE_P(EveryPair, SwitchTest, ::testing::ValuesIn(EverySwitch()), SwitchName);

TEST(SwitchWithoutData, AsksNothing)
{
    for (int from = 0; from < 5; ++from) {
        for (int to = 0; to < 5; ++to) {
            // Nothing entered, or a value typed and erased again (in the
            // two-sample test the summary boxes then show what the program
            // wrote for the empty column, 0.0000 and 0: no data either).
            const QString cell = UsesTable(from) ? QStringLiteral("Text11(0)") : QStringLiteral("Text1(0)");
            for (const QStringList& entered :
                 {QStringList{}, QStringList{"type " + cell + " 5", "key " + cell + " Backspace"}}) {
                Session session;
                session.Run(QStringLiteral("click Command1(%1)").arg(from));
                session.Run(entered);
                session.Run(QStringLiteral("click Command1(%1)").arg(to));
                EXPECT_EQ(session.Text(QStringLiteral("print question")), "question=\n")
                    << from << "->" << to << " " << entered.join(", ").toStdString();
                EXPECT_EQ(Shown(session, to), Fresh(to, false)) << from << "->" << to;
            }
        }
    }
}

struct UndoCase {
    const char* name;
    QStringList setup;
    QStringList action;
    // Moves after the step that are no part of it.
    QStringList afterwards;
    int modeBefore;
    int modeAfter;
    QString undo = QStringLiteral("shortcut Ctrl+Z");
    QString redo = QStringLiteral("shortcut Ctrl+Y");
};

class UndoTest : public ::testing::TestWithParam<UndoCase> {};

TEST_P(UndoTest, UndoGivesBackTheDataAndRedoTheChange)
{
    const UndoCase& c = GetParam();
    Session session;
    session.Run(c.setup);
    const std::string before = Shown(session, c.modeBefore);
    session.Run(c.action);
    const std::string after = Shown(session, c.modeAfter);
    ASSERT_NE(before, after) << "the action changed nothing";
    session.Run(c.afterwards);
    session.Run(c.undo);
    EXPECT_EQ(Shown(session, c.modeBefore), before);
    session.Run(c.redo);
    EXPECT_EQ(Shown(session, c.modeAfter), after);
    session.Run(QStringLiteral("menu 撤销"));
    EXPECT_EQ(Shown(session, c.modeBefore), before);
    session.Run(QStringLiteral("menu 重做"));
    EXPECT_EQ(Shown(session, c.modeAfter), after);
}

const QString kTwentyRows =
    QStringLiteral("paste Text1(0) 1\\t2\\n2\\t3\\n3\\t5\\n4\\t4\\n5\\t6\\n6\\t9\\n7\\t7\\n8\\t8\\n9\\t11\\n10\\t10\\n"
                   "11\\t13\\n12\\t12\\n13\\t15\\n14\\t13\\n15\\t17\\n16\\t16\\n17\\t18\\n18\\t20\\n19\\t19\\n20\\t22");

INSTANTIATE_TEST_SUITE_P(
    Steps, UndoTest,
    ::testing::Values(
        UndoCase{"typing_then_enter",
                 {"click Command1(1)", "paste Text1(0) 1\\t2\\n3\\t4"},
                 {"type Text1(2) 57", "key Text1(2) Enter"},
                 {},
                 1,
                 1},
        UndoCase{"typing_undone_in_the_cell",
                 {"click Command1(2)", "paste Text1(0) 1\\t2\\n3\\t4"},
                 {"type Text2(1) 9"},
                 {},
                 2,
                 2,
                 "key Text2(1) Ctrl+Z",
                 "key Text2(1) Ctrl+Y"},
        UndoCase{"ctrl_z_in_another_cell",
                 {"click Command1(1)"},
                 {"type Text1(0) 5", "key Text1(0) Enter"},
                 {},
                 1,
                 1,
                 "key Text1(1) Ctrl+Z",
                 "key Text1(1) Ctrl+Shift+Z"},
        UndoCase{"typing_scrolled_down",
                 {"click Command1(1)", kTwentyRows, "scroll 11"},
                 {"type Text2(4) 40"},
                 {"scroll 0"},
                 1,
                 1},
        UndoCase{"summary_box", {}, {"type Text4(0) 12.5", "key Text4(0) Enter"}, {}, 0, 0},
        UndoCase{"every_summary_box",
                 {"type Text4(0) 1.5", "type Text4(1) 0.5", "type Text4(2) 10", "type Text4(3) 2.5",
                  "type Text4(4) 0.7", "type Text4(5) 12"},
                 {"type Text4(4) 9", "key Text4(4) Enter"},
                 {},
                 0,
                 0},
        UndoCase{"two_by_two_cell",
                 {"click Command1(4)", "paste Text11(0) 12\\t5\\n3\\t10"},
                 {"type Text11(2) 7"},
                 {},
                 4,
                 4},
        UndoCase{"paste_into_grid_scrolled",
                 {"click Command1(2)", kTwentyRows, "scroll 6"},
                 {"paste Text1(2) 70\\t80\\n90\\t100"},
                 {"scroll 11"},
                 2,
                 2},
        UndoCase{"paste_into_table", {"click Command1(3)"}, {"paste Text11(0) 30\\t10\\n15\\t25"}, {}, 3, 3},
        UndoCase{"import",
                 {"click Command1(1)", "paste Text1(0) 1\\t2"},
                 {"answer-file " + kData + "/lo_semicolon.csv", "menu 从Excel导入数据"},
                 {},
                 1,
                 1},
        UndoCase{"reset_by_switch", {"click Command1(1)", kTwentyRows, "scroll 5"}, {"click Command1(2)"}, {}, 1, 2},
        UndoCase{"reset_of_the_same_test",
                 {"click Command1(0)", kTwentyRows},
                 {"answer-button 清空数据", "click Command1(0)"},
                 {},
                 0,
                 0},
        UndoCase{"reset_of_the_table",
                 {"click Command1(3)", "paste Text11(0) 12\\t5\\n3\\t10"},
                 {"answer-button 清空数据", "click Command1(1)"},
                 {},
                 3,
                 1}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST(UndoDepth, FiftyTypedValuesAndMoreComeBack)
{
    Session session;
    session.Run(QStringLiteral("click Command1(1)"));
    QStringList typed;
    for (int i = 1; i <= 60; ++i) {
        // Enter on the last visible row scrolls or appends: the next value
        // goes into the same cell.
        const int row = std::min(i - 1, 8);
        session.Run(
            {QStringLiteral("type Text1(%1) %2").arg(row).arg(i), QStringLiteral("key Text1(%1) Enter").arg(row)});
        typed << QString::number(i);
    }
    const QString full = session.Run(QStringLiteral("print List1"));
    ASSERT_TRUE(full.startsWith(QStringLiteral("List1=") + typed.join(QLatin1Char('|')))) << full.toStdString();
    for (int i = 0; i < 50; ++i) session.Run(QStringLiteral("shortcut Ctrl+Z"));
    // Back to the moment before 11 was typed: the row Enter added is there,
    // empty, and shown.
    EXPECT_EQ(session.Text(QStringLiteral("print List1 VS1.value Text1(8)")),
              QStringLiteral("List1=%1|\nVS1.value=2\nText1(8)=\n")
                  .arg(typed.mid(0, 10).join(QLatin1Char('|')))
                  .toStdString());
    for (int i = 0; i < 10; ++i) session.Run(QStringLiteral("shortcut Ctrl+Z"));
    EXPECT_EQ(session.Text(QStringLiteral("print List1 VS1.value")), "List1=||||||||\nVS1.value=0\n");
    for (int i = 0; i < 60; ++i) session.Run(QStringLiteral("shortcut Ctrl+Y"));
    EXPECT_TRUE(
        session.Run(QStringLiteral("print List1")).startsWith(QStringLiteral("List1=") + typed.join(QLatin1Char('|'))));
}

TEST(EditMenu, FollowsTheFileMenuWithItsShortcuts)
{
    QString printed;
    QTextStream out(&printed);
    Driver driver(out);
    QStringList menus;
    for (const QAction* menu : driver.Window().menuBar()->actions()) menus << menu->text();
    ASSERT_GE(menus.size(), 3);
    EXPECT_EQ(menus.mid(0, 2), (QStringList{QStringLiteral("文件(F)"), QStringLiteral("编辑(E)")}));
    EXPECT_EQ(driver.Window().FindAction(QStringLiteral("撤销"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(driver.Window().FindAction(QStringLiteral("重做"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+Y")));
}

struct ExitCase {
    const char* name;
    QStringList before;  // what the user did first
    QStringList answers; // answer-* lines for the exit
    QString exit;        // "menu 退出" or "close Form1"
    bool asks;
    bool ends;
};

class ExitTest : public ::testing::TestWithParam<ExitCase> {};

TEST_P(ExitTest, AsksOnlyWhenChangedDataWouldBeLost)
{
    const ExitCase& c = GetParam();
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const auto place = [&](QStringList lines) {
        lines.replaceInStrings(QStringLiteral("SCRATCH"), scratch.path());
        return lines;
    };
    Session session;
    session.Run(place(c.before));
    const QString data = session.Run(QStringLiteral("print List1 Text11(0)"));
    session.Run(place(c.answers));
    session.Run(c.exit);
    EXPECT_EQ(session.ended, c.ends);
    if (!session.ended) {
        EXPECT_EQ(session.Run(QStringLiteral("print question")).startsWith(QStringLiteral("question=退出|")), c.asks);
        EXPECT_EQ(session.Text(QStringLiteral("print List1 Text11(0)")), data.toStdString()) << "nothing was lost";
        EXPECT_EQ(session.Run(QStringLiteral("print Form1.visible")), QStringLiteral("Form1.visible=true\n"));
        // Unanswered the second time, the question ends the program.
        session.Run(c.exit);
        EXPECT_TRUE(session.ended);
    }
    EXPECT_EQ(QFile::exists(scratch.filePath(QStringLiteral("out.xls"))),
              c.answers.contains(QStringLiteral("answer-file SCRATCH/out.xls")) && c.ends);
}

const QString kImport = QStringLiteral("answer-file ") + kData + QStringLiteral("/lo_semicolon.csv");

INSTANTIATE_TEST_SUITE_P(
    Exits, ExitTest,
    ::testing::Values(
        ExitCase{"no_data", {}, {}, "menu 退出", false, true},
        ExitCase{"table_reset_to_nothing",
                 {"click Command1(3)", "type Text11(0) 5", "click Command1(3)"},
                 {},
                 "menu 退出",
                 false,
                 true},
        ExitCase{"typed_unanswered", {"type Text1(0) 5"}, {}, "menu 退出", true, true},
        ExitCase{"typed_and_erased", {"type Text1(0) 5", "key Text1(0) Backspace"}, {}, "menu 退出", false, true},
        ExitCase{"typed_and_erased_in_column_two",
                 {"type Text2(3) 12", "key Text2(3) Backspace", "key Text2(3) Backspace"},
                 {},
                 "close Form1",
                 false,
                 true},
        ExitCase{"summary_box_typed_over",
                 {"type Text1(0) 5", "key Text1(0) Backspace", "type Text4(2) 8"},
                 {"answer-button 取消"},
                 "menu 退出",
                 true,
                 false},
        ExitCase{"typed_in_2x2_unanswered", {"click Command1(4)", "type Text11(0) 5"}, {}, "close Form1", true, true},
        ExitCase{"typed_answered_exit", {"type Text1(0) 5"}, {"answer-button 退出"}, "menu 退出", true, true},
        ExitCase{"typed_cancelled", {"type Text1(0) 5"}, {"answer-button 取消"}, "menu 退出", true, false},
        ExitCase{"typed_close_box_cancelled", {"type Text1(0) 5"}, {"answer-button 取消"}, "close Form1", true, false},
        ExitCase{"typed_exported",
                 {"type Text1(0) 5"},
                 {"answer-button 导出数据…", "answer-file SCRATCH/out.xls"},
                 "menu 退出",
                 true,
                 true},
        ExitCase{"typed_export_dialog_cancelled",
                 {"type Text1(0) 5"},
                 {"answer-button 导出数据…", "answer-cancel"},
                 "close Form1",
                 true,
                 false},
        ExitCase{"typed_export_failed",
                 {"type Text1(0) 5"},
                 {"answer-button 导出数据…", "answer-file SCRATCH/missing/out.xls"},
                 "menu 退出",
                 true,
                 false},
        ExitCase{"imported_unchanged", {kImport, "menu 从Excel导入数据"}, {}, "menu 退出", false, true},
        ExitCase{"imported_then_typed",
                 {kImport, "menu 从Excel导入数据", "type Text2(1) 5"},
                 {"answer-button 取消"},
                 "menu 退出",
                 true,
                 false},
        ExitCase{"imported_typed_undone",
                 {kImport, "menu 从Excel导入数据", "type Text2(1) 5", "shortcut Ctrl+Z"},
                 {},
                 "menu 退出",
                 false,
                 true},
        ExitCase{"exported_from_the_menu",
                 {"type Text1(0) 5", "answer-file SCRATCH/first.xls", "menu 导出数据到Excel"},
                 {},
                 "close Form1",
                 false,
                 true},
        ExitCase{"typed_after_export",
                 {"answer-file SCRATCH/first.xls", "type Text1(0) 5", "menu 导出数据到Excel", "type Text1(1) 6"},
                 {"answer-button 取消"},
                 "menu 退出",
                 true,
                 false}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

} // namespace
} // namespace korvanta::driver
