// Data in and out through the main window, offscreen, with the desktop
// played by a recorder: paste and copy, the sheet question, dropped files,
// the export types, the plot's figures, saved plots and the PDF report.
#include "app/gridpanel.h"
#include "app/importdialog.h"
#include "app/mainwindow.h"
#include "app/tablepanel.h"
#include "excel/sheets.h"
#include "recorder.h"
#include "resultsview/plotdata.h"
#include "resultsview/plotpanel.h"
#include "widgetkit/interaction.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <array>
#include <ostream>
#include <sstream>

void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace korvanta::ui {
namespace {

const QString kData = QStringLiteral(KORVANTA_TEST_DATA);

std::vector<std::string> Items(const MainWindow& window, grid::Column column)
{
    const auto items = window.Store().Items(column);
    return {items.begin(), items.end()};
}

class IoWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(folder.isValid());
    }
    void TearDown() override
    {
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "a modal window was left open";
    }

    template <typename T = QWidget>
    T* Control(const QString& name)
    {
        auto* found = window.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    void Select(int mode) { QTest::mouseClick(Control(QStringLiteral("Command1(%1)").arg(mode)), Qt::LeftButton); }
    void PasteInto(const QString& cell, const QString& text)
    {
        QApplication::clipboard()->setText(text);
        auto* box = Control<QLineEdit>(cell);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }
    QString Path(const QString& name) const { return folder.filePath(name); }

    QTemporaryDir folder;
    Recorder desktop;
    MainWindow window{desktop};
};

// ----- Paste and copy -----

TEST_F(IoWindowTest, PastingOneColumnRecomputesOnceAndLeavesTheOtherColumn)
{
    Select(1);
    window.LoadColumns({"10", "8", "12"}, {"7", "8", "9"});
    QSignalSpy announced(window.findChild<GridPanel*>(QStringLiteral("Picture2")), &GridPanel::ColumnsChanged);
    PasteInto(QStringLiteral("Text2(1)"), QStringLiteral("第二组\r\n5\r\n6\r\n4\r\n"));
    ASSERT_EQ(announced.count(), 1);
    EXPECT_EQ(announced.front(), (QList<QVariant>{false, true}));
    EXPECT_EQ(Items(window, grid::Column::First), (std::vector<std::string>{"10", "8", "12", ""}));
    EXPECT_EQ(Items(window, grid::Column::Second), (std::vector<std::string>{"7", "5", "6", "4"}));
    EXPECT_EQ(Control<QLineEdit>(QStringLiteral("Text2(3)"))->text(), "4");
    EXPECT_EQ(Control<QLabel>(QStringLiteral("Label13(5)"))->text(), "3");
}

TEST_F(IoWindowTest, PastingTwoColumnsBelowTheWindowScrollsNothingAndGrowsTheStore)
{
    Select(2);
    QString text;
    for (int k = 1; k <= 12; ++k) text += QStringLiteral("%1\t%2\n").arg(k).arg(2 * k);
    QSignalSpy announced(window.findChild<GridPanel*>(QStringLiteral("Picture2")), &GridPanel::ColumnsChanged);
    PasteInto(QStringLiteral("Text1(2)"), text);
    EXPECT_EQ(announced.count(), 1);
    EXPECT_EQ(window.Store().RowCount(), 14);
    auto* bar = Control<QScrollBar>(QStringLiteral("VS1"));
    EXPECT_TRUE(bar->isEnabled());
    EXPECT_EQ(bar->maximum(), 5);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(Control<QLabel>(QStringLiteral("Label13(6)"))->text(), "12");
    EXPECT_EQ(Control<QLabel>(QStringLiteral("Label5(17)"))->text(), "Y=0.0000+2.0000X");
}

TEST_F(IoWindowTest, ASingleValueIsPastedByTheCellItself)
{
    Select(1);
    PasteInto(QStringLiteral("Text1(0)"), QStringLiteral("1a2"));
    EXPECT_EQ(window.Store().Item(grid::Column::First, 0), "1a2");
    PasteInto(QStringLiteral("Text1(0)"), QStringLiteral("abc"));
    EXPECT_EQ(window.Store().Item(grid::Column::First, 0), "1a2");
}

TEST_F(IoWindowTest, RefusedPastesSayWhyAndChangeNothing)
{
    Select(1);
    std::vector<std::string> full(grid::kMaxRows, "1");
    window.LoadColumns(full, full);
    Control<QScrollBar>(QStringLiteral("VS1"))->setValue(grid::kMaxRows - grid::kVisibleRows);
    const struct {
        QString text;
        QString message;
        QString cell = QStringLiteral("Text1(8)");
    } cases[] = {
        {QStringLiteral("1\n2\n"),
         QStringLiteral("提示|粘贴的2行数据从第32767行起放不下：本程序最多容纳32767行，未粘贴。")},
        {QStringLiteral("1\t2\t3\n"),
         QStringLiteral("提示|粘贴的数据有3列，数据表只有两列，未粘贴。请只复制一列或两列数据。")},
        // Two columns from the second would write the first column too.
        {QStringLiteral("7\t8\n"),
         QStringLiteral("提示|粘贴的数据有两列，从第二组粘贴时第二列没有位置，未粘贴。"
                        "请在第一组的单元格中粘贴两列数据，或只复制一列。"),
         QStringLiteral("Text2(8)")},
        // Refused while the text is read: a wide line over many rows, 50 MB,
        // a quote never closed.
        {QString(130000, QLatin1Char(',')) + QLatin1Char('\n') + QStringLiteral("1\n").repeated(130000),
         QStringLiteral("提示|数据的行数超过了本程序能容纳的32767行。未粘贴。")},
        {QStringLiteral("1\n").repeated(25000000), QStringLiteral("提示|文字太多（超过16 MB）。未粘贴。")},
        {QStringLiteral("1\n\"2\n3\n"),
         QStringLiteral("提示|第2行的引号（\"）没有结束，其后的全部内容会并入一个单元格。请检查该行。未粘贴。")},
    };
    for (const auto& c : cases) {
        desktop.messages.clear();
        PasteInto(c.cell, c.text);
        EXPECT_EQ(desktop.messages, QStringList{c.message});
        EXPECT_EQ(window.Store().RowCount(), grid::kMaxRows);
        EXPECT_EQ(window.Store().Item(grid::Column::First, grid::kMaxRows - 1), "1");
        EXPECT_EQ(window.Store().Item(grid::Column::Second, grid::kMaxRows - 1), "1");
    }
}

TEST_F(IoWindowTest, TheTableTakesATwoByTwoBlockAndRunsItsTestOnce)
{
    Select(3);
    QSignalSpy changed(window.findChild<TablePanel*>(QStringLiteral("Picture8")), &TablePanel::TableChanged);
    PasteInto(QStringLiteral("Text11(2)"), QStringLiteral("阳性\t阴性\r\n10\t30\r\n20\t20\r\n"));
    EXPECT_EQ(changed.count(), 1);
    const char* expected[4] = {"10", "30", "20", "20"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Control<QLineEdit>(QStringLiteral("Text11(%1)").arg(i))->text(), expected[i]);
    EXPECT_EQ(Control<QLabel>(QStringLiteral("Label20(5)"))->text(), "80");

    PasteInto(QStringLiteral("Text11(0)"), QStringLiteral("1\t2\t3\n4\t5\t6\n"));
    EXPECT_EQ(desktop.messages,
              QStringList{QStringLiteral("提示|四格表只能粘贴两行两列的数据（a b / c d），未粘贴。")});
    EXPECT_EQ(Control<QLineEdit>(QStringLiteral("Text11(0)"))->text(), "10");
}

// Cell a holds six characters: whatever would leave it longer, typed or
// pasted, is refused with a message naming it, and no cell changes.
TEST_F(IoWindowTest, TheTableRefusesWhatCellACannotHold)
{
    const QString tooLong = QStringLiteral("提示|四格表的单元格a最多容纳6个字符，放不下“%1”，单元格未改变。");
    const struct {
        const char* start; // cell a before; b, c, d hold 5, 6, 7
        bool paste;        // else typed
        const char* cell;
        const char* text;
        std::array<const char*, 4> after;
        const char* refused; // named in the message; nullptr: none
    } cases[] = {
        {"", true, "Text11(0)", "1,234,567", {"", "5", "6", "7"}, "1,234,567"},
        {"12345", true, "Text11(0)", "99", {"12345", "5", "6", "7"}, "99"},
        {"", true, "Text11(0)", "123456", {"123456", "5", "6", "7"}, nullptr},
        {"", true, "Text11(0)", "1234567\t2\n3\t4\n", {"", "5", "6", "7"}, "1234567"},
        {"", true, "Text11(0)", "654321\t2\n3\t4\n", {"654321", "2", "3", "4"}, nullptr},
        {"", false, "Text11(0)", "1234567", {"123456", "5", "6", "7"}, "1234567"},
        {"", false, "Text11(0)", "123456a", {"123456", "5", "6", "7"}, nullptr},
        {"", true, "Text11(1)", "1,234,567", {"", "51234567", "6", "7"}, nullptr},
    };
    Select(3);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Control<QLineEdit>(QStringLiteral("Text11(0)"))->setText(QString::fromUtf8(c.start));
        for (int i = 1; i < 4; ++i)
            Control<QLineEdit>(QStringLiteral("Text11(%1)").arg(i))->setText(QString::number(i + 4));
        desktop.messages.clear();
        const QString text = QString::fromUtf8(c.text);
        auto* cell = Control<QLineEdit>(QString::fromUtf8(c.cell));
        if (c.paste) {
            cell->setCursorPosition(static_cast<int>(cell->text().size()));
            PasteInto(QString::fromUtf8(c.cell), text);
        } else {
            cell->setFocus();
            QTest::keyClicks(cell, text);
        }
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(Control<QLineEdit>(QStringLiteral("Text11(%1)").arg(i))->text(),
                      QString::fromUtf8(c.after[static_cast<std::size_t>(i)]))
                << i;
        EXPECT_EQ(desktop.messages, c.refused ? QStringList{tooLong.arg(QString::fromUtf8(c.refused))} : QStringList{});
    }
    // The totals and the test follow what the cells hold.
    EXPECT_EQ(Control<QLabel>(QStringLiteral("Label18(2)"))->text(), "51234567");
}

TEST_F(IoWindowTest, EnterAtTheLastRowTheGridHoldsSaysItIsFull)
{
    Select(1);
    std::vector<std::string> full(grid::kMaxRows, "1");
    window.LoadColumns(full, full);
    Control<QScrollBar>(QStringLiteral("VS1"))->setValue(grid::kMaxRows - grid::kVisibleRows);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Down}) {
        desktop.messages.clear();
        auto* cell = Control<QLineEdit>(QStringLiteral("Text2(8)"));
        cell->setFocus();
        QTest::keyClick(cell, key);
        EXPECT_EQ(desktop.messages,
                  QStringList{QStringLiteral("提示|数据表已满：本程序最多容纳32767行，不能再添加新行。")});
        EXPECT_EQ(window.Store().RowCount(), grid::kMaxRows);
        EXPECT_EQ(Control<QLineEdit>(QStringLiteral("Text3(8)"))->text(), "32767");
    }
}

TEST_F(IoWindowTest, CtrlCCopiesBothColumnsButASelectionAsItIs)
{
    window.LoadColumns({"1.5", "", "3"}, {"4", "5"});
    auto* cell = Control<QLineEdit>(QStringLiteral("Text2(0)"));
    cell->setFocus();
    QTest::keyClick(cell, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "1.5\t4\n\t5\n3\t\n");
    auto* first = Control<QLineEdit>(QStringLiteral("Text1(0)"));
    first->setFocus();
    first->setSelection(0, 2);
    QTest::keyClick(first, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "1.");
}

// ----- Import and export -----

// The preview as it opens on a clinic sheet, and what it imports once the
// columns and the heading are chosen.
TEST_F(IoWindowTest, ThePreviewShowsTheSheetAndImportsWhatItShows)
{
    const struct {
        int first, second;
        bool heading;
        std::size_t rows;
        const char* firstItem; // what column 第一组 gets in row 1
        const char* secondItem;
    } cases[] = {
        {0, 1, false, 14, "", ""},               // as it opens: A and B, the heading row imported (texts show empty)
        {1, 2, true, 13, "141", "132"},          // 治疗前 and 治疗后, the heading left out
        {3, 4, true, 13, "2023-03-15", "08:30"}, // dates and times as they show
    };
    for (const auto& c : cases) {
        desktop.inspect = [&](ImportDialog& preview) {
            auto* table = preview.findChild<QTableWidget*>(QStringLiteral("ImportPreview"));
            ASSERT_NE(table, nullptr);
            EXPECT_EQ(preview.windowTitle(), QStringLiteral("导入数据"));
            EXPECT_FALSE(preview.Heading());
            EXPECT_EQ(preview.FirstColumn(), 0);
            EXPECT_EQ(preview.SecondColumn(), 1);
            EXPECT_FALSE(preview.findChild<QComboBox*>(QStringLiteral("ImportSheet"))->isVisibleTo(&preview));
            EXPECT_EQ(table->rowCount(), 14);
            EXPECT_EQ(table->columnCount(), 5);
            EXPECT_EQ(table->horizontalHeaderItem(0)->text(), QStringLiteral("A 第一组"));
            EXPECT_EQ(table->horizontalHeaderItem(4)->text(), QStringLiteral("E"));
            EXPECT_EQ(table->item(1, 3)->text(), QStringLiteral("2023-03-15"));
            EXPECT_TRUE(preview.ChooseColumns(c.first, c.second));
            preview.SetHeading(c.heading);
            EXPECT_EQ(table->rowCount(), c.heading ? 13 : 14);
            EXPECT_EQ(table->verticalHeaderItem(0)->text(), c.heading ? QStringLiteral("2") : QStringLiteral("1"));
        };
        window.ImportFile(kData + QStringLiteral("/lo_clinic.xlsx"));
        EXPECT_EQ(window.Store().Count(grid::Column::First), static_cast<int>(c.rows));
        EXPECT_EQ(window.Store().Item(grid::Column::First, 0), c.firstItem);
        EXPECT_EQ(window.Store().Item(grid::Column::Second, 0), c.secondItem);
    }
    desktop.inspect = nullptr;
    // Row 14's "平均" in column A shows empty: the import says so, once.
    EXPECT_EQ(desktop.messages, QStringList{QStringLiteral(
                                    "提示|有1个单元格的内容不是数值（如“平均”），在数据表中显示为空白，不参与计算。")});
}

// One heading rule for every format: a .csv and an .xlsx of the same cells
// import the same lists with the heading ticked and without (row 1 kept when
// it opens). The preview opens on A and B when both hold numbers, else on
// the first columns that do, and says what it sees.
TEST_F(IoWindowTest, ATextFileAndAWorkbookOfTheSameCellsImportAlike)
{
    const struct {
        const char* csv;
        int first, second; // as the preview opens
        const char* note;  // part of its note; "" for none
        bool heading;      // ticked before OK
        std::vector<std::string> firstItems;
        int notNumbers = 0; // cells told of as showing empty
    } cases[] = {
        {"身高,体重\n170,65\n168,70\n", 0, 1, "像是标题", false, {"", "170", "168"}},
        {"身高,体重\n170,65\n168,70\n", 0, 1, "像是标题", true, {"170", "168"}},
        {"170,65\n168,70\n", 0, 1, "", false, {"170", "168"}},
        {"P001,150\nP002,160\n", 0, 1, "只有B列含有数值", false, {"P001", "P002"}},
        {"P001,x,150\nP002,y,160\n", 2, 1, "只有C列含有数值", false, {"150", "160"}, 2},
        {"编号,日期,收缩压,舒张压\nP001,2023-03-15,141,90\nP002,2023-03-16,150,95\n",
         2,
         3,
         "C列和D列",
         true,
         {"141", "150"}},
        // Arabic-Indic digits, a vulgar fraction and "NaN" show empty, and are counted.
        {"1,\xC2\xBD\n2,NaN\n\xD9\xA3,4\n", 0, 1, "", false, {"1", "2", ""}, 3},
    };
    for (const auto& c : cases) {
        // The same cells as a workbook, where they are two columns.
        std::vector<std::vector<std::string>> columns;
        std::istringstream lines(c.csv);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream fields(line);
            std::size_t k = 0;
            for (std::string field; std::getline(fields, field, ','); ++k) {
                if (columns.size() <= k) columns.resize(k + 1);
                columns[k].push_back(field);
            }
        }
        QStringList files{folder.filePath(QStringLiteral("cells.csv"))};
        QFile csv(files.front());
        ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
        csv.write(c.csv);
        csv.close();
        if (columns.size() == 2) {
            files << folder.filePath(QStringLiteral("cells.xlsx"));
            ASSERT_TRUE(excel::WriteXlsx(files.back().toStdString(), columns[0], columns[1]).Ok());
        }
        for (const QString& file : files) {
            desktop.inspect = [&](ImportDialog& preview) {
                EXPECT_FALSE(preview.Heading());
                EXPECT_EQ(preview.FirstColumn(), c.first) << c.csv;
                EXPECT_EQ(preview.SecondColumn(), c.second) << c.csv;
                if (*c.note == '\0') {
                    EXPECT_TRUE(preview.Note().isEmpty()) << preview.Note().toStdString();
                } else {
                    EXPECT_TRUE(preview.Note().contains(QString::fromUtf8(c.note))) << preview.Note().toStdString();
                }
                preview.SetHeading(c.heading);
            };
            desktop.messages.clear();
            window.ImportFile(file);
            EXPECT_EQ(Items(window, grid::Column::First), c.firstItems) << c.csv << file.toStdString();
            const QString told = QStringLiteral("有%1个单元格的内容不是数值").arg(c.notNumbers);
            EXPECT_EQ(desktop.messages.size(), c.notNumbers > 0 ? 1 : 0) << c.csv;
            if (c.notNumbers > 0) {
                EXPECT_TRUE(desktop.messages.value(0).contains(told)) << c.csv;
            }
        }
    }
    desktop.inspect = nullptr;
}

// An SPSS file written by PSPP: its variables' names and labels head the
// columns, value labels stand beside the values, there is no heading row,
// a string variable is not offered, and the missing values are announced.
TEST_F(IoWindowTest, AStatisticsFileShowsItsVariablesAndAnnouncesItsMissingValues)
{
    if (!excel::ReadsStatisticsFiles()) GTEST_SKIP() << "built without ReadStat";
    desktop.inspect = [&](ImportDialog& preview) {
        auto* table = preview.findChild<QTableWidget*>(QStringLiteral("ImportPreview"));
        ASSERT_NE(table, nullptr);
        EXPECT_FALSE(preview.Heading());
        EXPECT_FALSE(preview.findChild<QCheckBox*>(QStringLiteral("ImportHeading"))->isEnabled());
        preview.SetHeading(true);
        EXPECT_FALSE(preview.Heading());
        EXPECT_EQ(table->rowCount(), 4);
        EXPECT_EQ(table->columnCount(), 5);
        EXPECT_EQ(table->horizontalHeaderItem(0)->text(), QStringLiteral("id 第一组"));
        EXPECT_EQ(table->horizontalHeaderItem(1)->text(), QStringLiteral("sbp（收缩压 (mmHg)） 第二组"));
        EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("1（男）"));
        EXPECT_EQ(table->item(1, 2)->text(), QStringLiteral("2（女）"));
        EXPECT_EQ(table->item(0, 3)->text(), QStringLiteral("2023-03-15"));
        EXPECT_FALSE(preview.ChooseColumns(4, 1));
        EXPECT_TRUE(preview.ChooseColumns(2, 1));
    };
    window.ImportFile(kData + QStringLiteral("/pspp_clinic.sav"));
    desktop.inspect = nullptr;
    EXPECT_EQ(Items(window, grid::Column::First), (std::vector<std::string>{"1", "2", "1", "2"}));
    EXPECT_EQ(Items(window, grid::Column::Second), (std::vector<std::string>{"120.5", "", "", "142"}));
    EXPECT_EQ(desktop.messages,
              QStringList{QStringLiteral("提示|第二组有2个缺失值（用户定义缺失值999），已作为空白导入")});
}

TEST(ColumnLetters, ReadAndWrittenAsASpreadsheetShowsThem)
{
    const struct {
        int column;
        const char* letters;
    } cases[] = {{0, "A"}, {1, "B"}, {25, "Z"}, {26, "AA"}, {27, "AB"}, {701, "ZZ"}, {702, "AAA"}, {255, "IV"}};
    for (const auto& c : cases) {
        EXPECT_EQ(ColumnLetters(c.column), QString::fromLatin1(c.letters));
        EXPECT_EQ(ColumnFromLetters(QString::fromLatin1(c.letters)), c.column);
        EXPECT_EQ(ColumnFromLetters(QString::fromLatin1(c.letters).toLower()), c.column);
    }
    for (const char* bad : {"", "1", "A1", "AAAA", "-"})
        EXPECT_EQ(ColumnFromLetters(QString::fromLatin1(bad)), -1) << bad;
}

TEST_F(IoWindowTest, AWorkbookOfSeveralSheetsAsksWhichOne)
{
    desktop.nextSheet = 1;
    window.ImportFile(kData + QStringLiteral("/lo_sheets.ods"));
    ASSERT_EQ(desktop.sheetsAsked.size(), 1);
    EXPECT_EQ(desktop.sheetsAsked.front(),
              (QStringList{QStringLiteral("身高"), QStringLiteral("第二组"), QStringLiteral("空表")}));
    EXPECT_EQ(Items(window, grid::Column::First), (std::vector<std::string>{"1", "2", "3"}));

    // Cancelling the question changes nothing.
    desktop.nextSheet.reset();
    window.ImportFile(kData + QStringLiteral("/lo_sheets.xlsx"));
    EXPECT_EQ(Items(window, grid::Column::Second), (std::vector<std::string>{"4", "5", "6"}));
    EXPECT_TRUE(desktop.messages.isEmpty());

    // A text file is one sheet: no sheet is offered.
    desktop.sheetsAsked.clear();
    desktop.nextSheet = 0;
    window.ImportFile(kData + QStringLiteral("/lo_semicolon.csv"));
    EXPECT_TRUE(desktop.sheetsAsked.isEmpty());
    // Its heading row imported as row 1, as the preview opens unticked.
    EXPECT_EQ(window.Store().Item(grid::Column::First, 10), "1.5");
}

TEST_F(IoWindowTest, ADroppedDataFileIsImportedAndAnyOtherIsNotTaken)
{
    const auto drop = [this](const QString& file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &dropped);
        return true;
    };
    EXPECT_FALSE(drop(kData + QStringLiteral("/letter.docx")));
    EXPECT_TRUE(drop(kData + QStringLiteral("/lo_sheets.xls")));
    EXPECT_EQ(window.Store().Item(grid::Column::First, 1), "170.5");
    EXPECT_EQ(Control<QLabel>(QStringLiteral("Label9"))->text(), kData + QStringLiteral("/lo_sheets.xls"));
    // An SPSS file is a data file where this build reads it.
    EXPECT_EQ(drop(kData + QStringLiteral("/pspp_clinic.sav")), excel::ReadsStatisticsFiles());
    // A file dropped on a cell is not typed into it.
    EXPECT_FALSE(Control<QLineEdit>(QStringLiteral("Text1(0)"))->acceptDrops());
}

// A name is the file it names: a trailing space is part of it, so "a.csv "
// is not read as "a.csv"; it is a .csv file of its own, as an export
// writes it, and "a.txt x" is no data file's name, which is said.
TEST_F(IoWindowTest, AFileNameIsTakenExactlyAsGiven)
{
    const auto write = [this](const QString& name, const QByteArray& text) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write(QStringLiteral("a.csv"), "1,2\n3,4\n");
    write(QStringLiteral("a.csv "), "5,6\n7,8\n");
    window.ImportFile(Path(QStringLiteral("a.csv")));
    EXPECT_EQ(window.Store().Item(grid::Column::First, 0), "1");
    window.ImportFile(Path(QStringLiteral("a.csv ")));
    EXPECT_EQ(window.Store().Item(grid::Column::First, 0), "5");
    write(QStringLiteral("a.txt x"), "9,9\n");
    window.ImportFile(Path(QStringLiteral("a.txt x")));
    EXPECT_EQ(desktop.messages, QStringList{QStringLiteral("提示|请打开Excel文件！")});
    EXPECT_EQ(window.Store().Item(grid::Column::First, 0), "5");
}

TEST_F(IoWindowTest, TheExportTypeComesFromTheNameOrElseTheChosenFilter)
{
    window.LoadColumns({"1.5", "2"}, {"3", ""});
    struct Case {
        QString answer;
        int filter;
        QString written;
        excel::FileFormat format;
    };
    std::vector<Case> cases = {
        {QStringLiteral("plain"), 0, QStringLiteral("plain.xls"), excel::FileFormat::Xls},
        {QStringLiteral("chosen"), 1, QStringLiteral("chosen.xlsx"), excel::FileFormat::Xlsx},
        {QStringLiteral("text"), 2, QStringLiteral("text.csv"), excel::FileFormat::Text},
        {QStringLiteral("named.XLSX"), 2, QStringLiteral("named.XLSX"), excel::FileFormat::Xlsx},
        {QStringLiteral("named.csv"), 0, QStringLiteral("named.csv"), excel::FileFormat::Text},
        {QStringLiteral("sheet"), 3, QStringLiteral("sheet.ods"), excel::FileFormat::Ods},
        {QStringLiteral("named.ods"), 0, QStringLiteral("named.ods"), excel::FileFormat::Ods},
    };
    // A build that writes the statistics packages' files offers them too,
    // and a name ending in .sav or .dta is never made an .xls.
    if (excel::ReadsStatisticsFiles())
        cases.insert(cases.end(),
                     {
                         {QStringLiteral("spss"), 4, QStringLiteral("spss.sav"), excel::FileFormat::Sav},
                         {QStringLiteral("stata"), 5, QStringLiteral("stata.dta"), excel::FileFormat::Dta},
                         {QStringLiteral("named.sav"), 0, QStringLiteral("named.sav"), excel::FileFormat::Sav},
                         {QStringLiteral("named.DTA"), 1, QStringLiteral("named.DTA"), excel::FileFormat::Dta},
                     });
    for (const auto& c : cases) {
        desktop.messages.clear();
        desktop.nextChoice = FileChoice{Path(c.answer), c.filter};
        window.ExportWorkbook();
        EXPECT_EQ(desktop.messages, QStringList{QStringLiteral("提示|文件导出成功！")}) << c.answer.toStdString();
        const std::filesystem::path written = Path(c.written).toStdString();
        EXPECT_EQ(excel::DetectFormat(written), c.format) << c.written.toStdString();
    }
    EXPECT_EQ(desktop.filters.front().split(QStringLiteral(";;")).size(), excel::ReadsStatisticsFiles() ? 6 : 4);
    window.ImportFile(Path(QStringLiteral("text.csv")));
    EXPECT_EQ(Items(window, grid::Column::First), (std::vector<std::string>{"1.5", "2"}));
    EXPECT_EQ(Items(window, grid::Column::Second), (std::vector<std::string>{"3", ""}));
}

// ----- Plots and the report -----

TEST(PlotData, TheRegressionBandsAreRsConfidenceAndPredictionIntervals)
{
    const std::vector<std::string> xs = {"1", "2", "3", "4", "5", "6"},
                                   ys = {"2.1", "3.9", "6.2", "7.8", "10.1", "12.2"};
    std::vector<stats::CellValue> x, y;
    for (std::size_t k = 0; k < xs.size(); ++k) {
        x.push_back(stats::ReadCell(xs[k]));
        y.push_back(stats::ReadCell(ys[k]));
    }
    stats::DetailsInput input;
    input.first = x;
    input.second = y;
    const auto plot = std::get<plot::RegressionPlot>(plot::MakePlotData(stats::TestMode::Correlation, input));
    EXPECT_NEAR(plot.slope, 2.02, 1e-12);
    EXPECT_NEAR(plot.intercept, -0.02, 1e-12);
    // predict(lm(y ~ x), interval = "confidence" / "prediction") at 1, 3.5, 6.
    const struct {
        std::size_t at;
        double fit, ciLow, ciHigh, piLow, piHigh;
    } r[] = {{0, 2.00, 1.64053982983697, 2.35946017016302, 1.38690267375947, 2.61309732624053},
             {30, 7.05, 6.84723711816111, 7.25276288183888, 6.51353983953953, 7.58646016046046},
             {60, 12.10, 11.74053982983698, 12.45946017016302, 11.48690267375947, 12.71309732624053}};
    ASSERT_EQ(plot.xs.size(), static_cast<std::size_t>(plot::kBandPoints));
    for (const auto& e : r) {
        EXPECT_NEAR(plot.fit[e.at], e.fit, 1e-10);
        EXPECT_NEAR(plot.confidenceLow[e.at], e.ciLow, 1e-10);
        EXPECT_NEAR(plot.confidenceHigh[e.at], e.ciHigh, 1e-10);
        EXPECT_NEAR(plot.predictionLow[e.at], e.piLow, 1e-10);
        EXPECT_NEAR(plot.predictionHigh[e.at], e.piHigh, 1e-10);
    }
    // No line through two pairs, or through points in a vertical row.
    for (const auto& [a, b] :
         {std::pair{std::vector<std::string>{"1", "2"}, std::vector<std::string>{"3", "4"}},
          std::pair{std::vector<std::string>{"2", "2", "2"}, std::vector<std::string>{"1", "2", "3"}}}) {
        std::vector<stats::CellValue> u, v;
        for (std::size_t k = 0; k < a.size(); ++k) {
            u.push_back(stats::ReadCell(a[k]));
            v.push_back(stats::ReadCell(b[k]));
        }
        input.first = u;
        input.second = v;
        const auto none = std::get<plot::RegressionPlot>(plot::MakePlotData(stats::TestMode::Correlation, input));
        EXPECT_EQ(none.points.size(), a.size());
        EXPECT_TRUE(none.xs.empty());
    }
}

TEST(PlotData, GroupMeansCarryRsTIntervalsAndTablesTheirProportions)
{
    std::vector<stats::CellValue> first, second;
    for (const char* v : {"10", "8", "12", "9", ""}) first.push_back(stats::ReadCell(v));
    for (const char* v : {"7", "8", "9", "5", "3"}) second.push_back(stats::ReadCell(v));
    stats::DetailsInput input;
    input.first = first;
    input.second = second;
    // Mode 0 takes mean, SD and n from the boxes (t.test(c(12,15,11,18,14))).
    input.summary = {"14", "2.7386127875258306", "5", "", "", ""};
    const auto groups = std::get<plot::GroupsPlot>(plot::MakePlotData(stats::TestMode::TwoSample, input));
    ASSERT_EQ(groups.groups.size(), 2u);
    EXPECT_EQ(groups.groups[0].values, (std::vector<double>{10, 8, 12, 9}));
    EXPECT_NEAR(groups.groups[0].ci->low, 10.5995630967087, 1e-9);
    EXPECT_NEAR(groups.groups[0].ci->high, 17.4004369032913, 1e-9);
    EXPECT_FALSE(groups.groups[1].mean.has_value());
    // Mode 1: the differences of complete pairs.
    const auto paired = std::get<plot::GroupsPlot>(plot::MakePlotData(stats::TestMode::PairedT, input));
    EXPECT_TRUE(paired.differences);
    EXPECT_EQ(paired.groups[0].values, (std::vector<double>{3, 0, 3, 4}));
    EXPECT_NEAR(*paired.groups[0].mean, 2.5, 1e-12);
    EXPECT_NEAR(paired.groups[0].ci->low, -0.256079346555618, 1e-9);
    EXPECT_NEAR(paired.groups[0].ci->high, 5.256079346555619, 1e-9);

    // Modes 3 and 4: a/(a+b) and c/(c+d); before (a+c)/n and after (a+b)/n.
    input.table = {"10", "30", "20", "20"};
    const auto fourFold = std::get<plot::ProportionsPlot>(plot::MakePlotData(stats::TestMode::FourFold, input));
    EXPECT_DOUBLE_EQ(*fourFold.bars[0].share, 0.25);
    EXPECT_DOUBLE_EQ(*fourFold.bars[1].share, 0.5);
    const auto pairedTable =
        std::get<plot::ProportionsPlot>(plot::MakePlotData(stats::TestMode::PairedChiSquare, input));
    EXPECT_DOUBLE_EQ(*pairedTable.bars[0].share, 30.0 / 80);
    EXPECT_DOUBLE_EQ(*pairedTable.bars[1].share, 40.0 / 80);
    input.table = {"10", "3.5", "", ""};
    EXPECT_FALSE(plot::HasContent(plot::MakePlotData(stats::TestMode::FourFold, input)));
}

TEST_F(IoWindowTest, TheSavedPlotIsAPngOrAnSvgOfTheCurrentTest)
{
    Select(2);
    window.LoadColumns({"1", "2", "3", "4"}, {"2", "4.5", "5.5", "8"});
    window.ShowDetails();
    auto* save = Control<QPushButton>(QStringLiteral("SavePlot"));
    ASSERT_TRUE(save->isEnabled());
    // The dialog's types: PNG, PDF and, where Qt Svg is built, SVG.
    QStringList saved{QStringLiteral("plot.png"), QStringLiteral("page.pdf")};
#ifdef KORVANTA_PLOT_SVG
    saved << QStringLiteral("drawing.svg");
#endif
    for (int type = 0; type < saved.size(); ++type) {
        desktop.nextChoice = FileChoice{Path(QFileInfo(saved[type]).completeBaseName()), type};
        QTest::mouseClick(save, Qt::LeftButton);
    }
    EXPECT_EQ(desktop.messages, QStringList(saved.size(), QStringLiteral("提示|图形保存成功！")));

    // 720 x 450 pixels at 96 dpi, saved at 300 dpi.
    const QImage image(Path(QStringLiteral("plot.png")));
    EXPECT_EQ(image.size(), QSize(2250, 1406));
    EXPECT_EQ(image.dotsPerMeterX(), 11811);
    // A page of the plot's size, its words as text.
    const QString pdf = Path(QStringLiteral("page.pdf"));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains(QStringLiteral("540 x 338 pts")));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* expected : {"散点图与回归直线", "X（第一组）", "回归直线", "观察值"})
        EXPECT_TRUE(words.contains(QString::fromUtf8(expected))) << expected << " not in\n" << words.toStdString();
#ifdef KORVANTA_PLOT_SVG
    QFile svg(Path(QStringLiteral("drawing.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QString drawing = QString::fromUtf8(svg.readAll());
    EXPECT_TRUE(drawing.contains(QStringLiteral("<svg")));
    EXPECT_TRUE(drawing.contains(QStringLiteral("回归直线"))) << "the legend's words are text in the drawing";
    EXPECT_GT(svg.size(), 10000);
#endif

    // With nothing to draw there is nothing to save.
    Select(1);
    EXPECT_FALSE(save->isEnabled());
}

// The graph of a plot named name; null when there is none.
QCPGraph* GraphNamed(const QCustomPlot* plot, const QString& name)
{
    for (int i = 0; i < plot->graphCount(); ++i)
        if (plot->graph(i)->name() == name) return plot->graph(i);
    return nullptr;
}

QString PlotTitle(const QCustomPlot* plot)
{
    for (QCPLayoutElement* element : plot->plotLayout()->elements(true))
        if (auto* title = qobject_cast<QCPTextElement*>(element)) return title->text();
    return {};
}

TEST_F(IoWindowTest, ALargeGridIsDrawnThinnedAndSaysSo)
{
    Select(2);
    std::vector<std::string> x, y;
    for (int k = 0; k < 4000; ++k) {
        x.push_back(std::to_string(k));
        y.push_back(std::to_string(k % 97));
    }
    window.LoadColumns(x, y);
    window.ShowDetails();
    const QCustomPlot* plot = window.Plot()->View();
    const QCPGraph* points = GraphNamed(plot, QStringLiteral("观察值"));
    ASSERT_NE(points, nullptr);
    EXPECT_EQ(points->dataCount(), 1334);
    EXPECT_TRUE(PlotTitle(plot).contains(QStringLiteral("共4000个数据，图中每3个画1个")));
    // The fit still uses every pair.
    const auto& data = std::get<plot::RegressionPlot>(window.Plot()->data());
    EXPECT_EQ(data.points.size(), 4000u);
}

TEST_F(IoWindowTest, TheReportIsAnA4PdfWithItsTextAndAnHtmlPageWithThePlot)
{
    Select(2);
    window.LoadColumns({"1", "2", "3", "4", "5", "6"}, {"2.1", "3.9", "6.2", "7.8", "10.1", "12.2"});
    // The second file type asks for the web page and the plot beside the PDF.
    desktop.nextChoice = FileChoice{Path(QStringLiteral("报告")), 1};
    window.FindAction(QStringLiteral("导出报告…"))->trigger();
    EXPECT_EQ(
        desktop.messages,
        QStringList{QStringLiteral("提示|报告导出成功！另外写出了网页 报告.html 和统计图 报告.png、报告-power.png。")});

    const QString pdf = Path(QStringLiteral("报告.pdf"));
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_GT(QFile(pdf).size(), 20000);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* expected : {"统计分析报告", "检验方法：直线相关与回归", "一、输入数据", "X（第一组）", "3.5000",
                                 "二、检验结果", "0.9991", "Y=-0.0200+2.0200X", "三、详细结果", "95%CI", "四、统计图"})
        EXPECT_TRUE(words.contains(QString::fromUtf8(expected))) << expected << " not in\n" << words.toStdString();
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains(QStringLiteral("(A4)")));
    // The plot and the power curve are on the last page.
    QProcess images;
    images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    ASSERT_TRUE(images.waitForFinished(30000));
    const QStringList listed =
        QString::fromUtf8(images.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(listed.size(), 4) << listed.join(QLatin1Char('\n')).toStdString(); // two heading lines, two images
    EXPECT_TRUE(listed[2].trimmed().startsWith(QStringLiteral("3"))) << listed[2].toStdString();

    QFile html(Path(QStringLiteral("报告.html")));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(html.readAll());
    EXPECT_TRUE(page.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    EXPECT_TRUE(page.contains(QStringLiteral("<img src=\"报告.png\"")));
    EXPECT_TRUE(page.contains(QStringLiteral("Y=-0.0200+2.0200X")));
    EXPECT_FALSE(QImage(Path(QStringLiteral("报告.png"))).isNull());
}

TEST_F(IoWindowTest, AReportThatCannotBeWrittenSaysSo)
{
    desktop.nextChoice = FileChoice{Path(QStringLiteral("no/such/folder/r.pdf")), 0};
    window.ExportReport();
    EXPECT_EQ(desktop.messages,
              QStringList{QStringLiteral("提示|报告导出失败，请检查文件夹是否存在以及是否有写入权限。")});
}

} // namespace
} // namespace korvanta::ui
