// Export through the main window, offscreen, read back by Debian's xlrd,
// openpyxl and csv module and by LibreOffice: the 2x2 table of the
// chi-square tests, texts a format cannot hold as they are, the defence
// against formulas in .csv, and each failure's own reason.
#include "app/mainwindow.h"
#include "excel/sheets.h"
#include "grid/gridstore.h"
#include "recorder.h"
#include "stats/cellvalue.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>

void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace korvanta::ui {
namespace {

// Prints every row of the first sheet as a JSON list of three cells: ""
// for none, "s:" + text, "n:" + the number as Python writes it.
const char* const kReadBack = R"(
import csv, json, sys
path = sys.argv[1]
def show(v):
    if v is None or v == "": return ""
    if isinstance(v, float) and v.is_integer(): v = int(v)
    return ("n:%s" % v) if isinstance(v, (int, float)) else "s:" + v
if path.endswith(".xls"):
    import xlrd
    sheet = xlrd.open_workbook(path).sheet_by_index(0)
    rows = [[sheet.cell_value(r, c) if c < sheet.ncols else None for c in range(3)] for r in range(sheet.nrows)]
elif path.endswith(".xlsx"):
    import openpyxl
    sheet = openpyxl.load_workbook(path, read_only=True).worksheets[0]
    rows = [(list(r) + [None] * 3)[:3] for r in sheet.iter_rows(values_only=True)]
elif path.lower().endswith(".ods"):
    # LibreOffice reads the .ods; openpyxl reads what it saves of it.
    import openpyxl, os, subprocess, tempfile
    out = tempfile.mkdtemp()
    subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + out + "/profile",
                    "--convert-to", "xlsx", "--outdir", out, path], check=True, capture_output=True, timeout=280)
    name = os.path.splitext(os.path.basename(path))[0] + ".xlsx"
    sheet = openpyxl.load_workbook(os.path.join(out, name), read_only=True).worksheets[0]
    rows = [(list(r) + [None] * 3)[:3] for r in sheet.iter_rows(values_only=True)]
else:
    rows = [(r + [None] * 3)[:3] for r in csv.reader(open(path, encoding="utf-8-sig", newline=""))]
for row in rows: print(json.dumps([show(v) for v in row], ensure_ascii=False))
)";

QString ReadBack(const QString& path)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(kReadBack), path});
    python.waitForFinished(60000);
    return QString::fromUtf8(python.readAllStandardOutput()) + QString::fromUtf8(python.readAllStandardError());
}

class ExportWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.show();
        ASSERT_TRUE(folder.isValid());
    }
    QLineEdit* Cell(const QString& name) { return window.findChild<QLineEdit*>(name); }
    void Select(int mode)
    {
        QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("Command1(%1)").arg(mode)), Qt::LeftButton);
    }
    // Exports under the name as the dialog gives it; the message shown.
    QString ExportAs(const QString& name, int filter = 0)
    {
        desktop.messages.clear();
        desktop.nextChoice = FileChoice{name, filter};
        window.ExportWorkbook();
        return desktop.messages.join(QLatin1Char('\n'));
    }
    QString Path(const QString& name) const { return folder.filePath(name); }
    // Texts from row 10 on, below the rows the grid shows (whose cells clean
    // what they show, as if typed), after a number in each row above.
    static std::vector<std::string> BelowTheWindow(const std::vector<std::string>& texts)
    {
        std::vector<std::string> column(grid::kVisibleRows, "0");
        column.insert(column.end(), texts.begin(), texts.end());
        return column;
    }
    static constexpr std::size_t kFirstHidden = grid::kVisibleRows;

    QTemporaryDir folder;
    Recorder desktop;
    MainWindow window{desktop};
};

const QString kSuccess = QStringLiteral("提示|文件导出成功！");

TEST_F(ExportWindowTest, TheChiSquareTestsWriteTheirTableWithTheHeadingsShown)
{
    const struct {
        int mode;
        QString expected;
    } tests[] = {
        {3, QStringLiteral("[\"\", \"s:结果\", \"\"]\n[\"s:组别\", \"s:（+）\", \"s:（-）\"]\n"
                           "[\"s:试验组\", \"n:12\", \"n:5\"]\n[\"s:对照组\", \"n:3.5\", \"\"]\n")},
        {4, QStringLiteral("[\"\", \"s:治疗前\", \"\"]\n[\"s:治疗后\", \"s:（+）\", \"s:（-）\"]\n"
                           "[\"s:（+）\", \"n:12\", \"n:5\"]\n[\"s:（-）\", \"n:3.5\", \"\"]\n")},
    };
    for (const auto& test : tests) {
        Select(test.mode);
        QTest::keyClicks(Cell(QStringLiteral("Text11(0)")), QStringLiteral("12"));
        QTest::keyClicks(Cell(QStringLiteral("Text11(1)")), QStringLiteral("5"));
        QTest::keyClicks(Cell(QStringLiteral("Text11(2)")), QStringLiteral("3.5"));
        for (const char* extension : {".xls", ".xlsx", ".csv"}) {
            const QString name = Path(QStringLiteral("table%1%2").arg(test.mode).arg(QLatin1String(extension)));
            EXPECT_EQ(ExportAs(name), kSuccess) << extension;
            // .csv holds the counts as the texts typed, read as numbers here.
            QString expected = test.expected;
            if (QLatin1String(extension) == QLatin1String(".csv"))
                expected.replace(QStringLiteral("n:"), QStringLiteral("s:"));
            EXPECT_EQ(ReadBack(name), expected) << "mode " << test.mode << extension;
        }
    }
}

TEST_F(ExportWindowTest, NothingToExportSaysSoWithoutAskingForAName)
{
    for (int mode : {0, 1, 2, 3, 4}) {
        Select(mode);
        EXPECT_EQ(ExportAs(Path(QStringLiteral("empty%1.xls").arg(mode))), QStringLiteral("提示|没有可导出的数据"))
            << mode;
        EXPECT_TRUE(desktop.nextChoice.has_value()) << "the save dialog was shown in mode " << mode;
    }
    // A grid whose rows are all empty holds nothing either.
    window.LoadColumns({"", ""}, {""});
    EXPECT_EQ(ExportAs(Path(QStringLiteral("blank.xls"))), QStringLiteral("提示|没有可导出的数据"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// Texts as a paste or an import can bring them: U+FFFE and U+FFFF, a NUL,
// a control character, a literal "_x0041_", and a text at the longest a
// cell holds. .csv leaves out the NUL and says so, .ods every character XML
// cannot carry; the other workbooks keep them.
TEST_F(ExportWindowTest, TextsAFormatCannotHoldAsTheyAreAreEscapedOrLeftOutWithACount)
{
    const std::string longest(32767, 'w');
    const std::vector<std::string> first = {"a\xEF\xBF\xBE"
                                            "b",
                                            "x" + std::string(1, '\0') + "y", "\x01z\xEF\xBF\xBF", "_x0041_", longest};
    const std::vector<std::string> second = {"1", "2"};
    const struct {
        const char* extension;
        QString message;
        std::string nul;           // what the NUL cell reads back as, by our import
        std::string nonCharacters; // the cells with U+FFFE, and with U+0001 and U+FFFF
        std::string control;
    } formats[] = {
        {".xls", kSuccess, std::string("x\0y", 3), first[0], first[2]},
        {".xlsx", kSuccess, std::string("x\0y", 3), first[0], first[2]},
        {".csv", kSuccess + QStringLiteral("\n有1个空字符（NUL）无法保存在该格式的文件中，已删除。"), "xy", first[0],
         first[2]},
        {".ods", kSuccess + QStringLiteral("\n有4个控制字符无法保存在该格式的文件中，已删除。"), "xy", "ab", "z"},
    };
    for (const auto& format : formats) {
        window.LoadColumns(BelowTheWindow(first), BelowTheWindow(second));
        const QString name = Path(QStringLiteral("special%1").arg(QLatin1String(format.extension)));
        EXPECT_EQ(ExportAs(name), format.message) << format.extension;
        // The independent reader opens the file whole.
        EXPECT_EQ(ReadBack(name).count(QLatin1Char('\n')), 14) << format.extension << ReadBack(name).toStdString();
        window.LoadColumns({}, {});
        window.ImportFile(name);
        const auto items = window.Store().Items(grid::Column::First);
        ASSERT_EQ(items.size(), kFirstHidden + 5) << format.extension;
        EXPECT_EQ(items[kFirstHidden], format.nonCharacters) << format.extension;
        EXPECT_EQ(items[kFirstHidden + 1], format.nul) << format.extension;
        EXPECT_EQ(items[kFirstHidden + 2], format.control) << format.extension;
        EXPECT_EQ(items[kFirstHidden + 3], first[3]) << format.extension;
        EXPECT_EQ(items[kFirstHidden + 4], longest) << format.extension;
    }
    // 40,000 characters fit no format: refused, and nothing is written.
    window.LoadColumns(BelowTheWindow({std::string(40000, 'x')}), {});
    for (const char* extension : {".xls", ".xlsx", ".csv"}) {
        const QString name = Path(QStringLiteral("over%1").arg(QLatin1String(extension)));
        EXPECT_EQ(
            ExportAs(name),
            QStringLiteral(
                "提示|"
                "第10行第1列的文字有40000个字符，超过了每个单元格最多32767个字符的上限，无法导出，原有文件未被改动。"));
        EXPECT_FALSE(QFile::exists(name));
    }
}

// Numbers with more digits than a number cell gives back come back from
// every format as typed: an import of the export holds the same values,
// so the tests count the same n.
TEST_F(ExportWindowTest, EveryFormatImportsBackTheValuesTyped)
{
    const std::vector<std::string> typed = {
        "922337203685477.5807", "1.0000000000000001", "0.1234567890123456789", "-922337203685477.5808", "0.1", "1.50"};
    for (const char* extension : {".xls", ".xlsx", ".csv", ".ods"}) {
        SCOPED_TRACE(extension);
        window.LoadColumns(BelowTheWindow(typed), BelowTheWindow({"7"}));
        const QString name = Path(QStringLiteral("long%1").arg(QLatin1String(extension)));
        ASSERT_EQ(ExportAs(name), kSuccess);
        window.LoadColumns({}, {});
        window.ImportFile(name);
        const auto items = window.Store().Items(grid::Column::First);
        ASSERT_EQ(items.size(), kFirstHidden + typed.size());
        for (std::size_t k = 0; k < typed.size(); ++k) {
            const stats::CellValue before = stats::ReadCell(typed[k]);
            const stats::CellValue after = stats::ReadCell(items[kFirstHidden + k]);
            EXPECT_TRUE(before.IsNumber()) << typed[k];
            EXPECT_TRUE(after.IsNumber() && after.exact == before.exact)
                << typed[k] << " came back as " << items[kFirstHidden + k];
        }
    }
}

TEST_F(ExportWindowTest, EveryFailureSaysWhyAndTheNameIsUsedAsChosen)
{
    window.LoadColumns({"1", "2"}, {"3"});
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("a folder.xls")));
    QFile other(Path(QStringLiteral("a.csv")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("kept");
    other.close();
    const QString tooLong = QString(86, QChar(0x7EDF)) + QStringLiteral(".xls"); // 262 bytes
    const struct {
        QString name;
        QString message;
    } cases[] = {
        {Path(tooLong),
         QStringLiteral("提示|文件名太长（最多255个字节，一个汉字占3个字节），请换一个较短的文件名。文件导出失败。")},
        {Path(QStringLiteral("a folder.xls")),
         QStringLiteral("提示|所选的名称是一个文件夹，不是文件，请输入文件名。文件导出失败。")},
        {Path(QStringLiteral("no such folder/x.xls")),
         QStringLiteral("提示|目标文件夹不存在，请选择一个已有的文件夹。文件导出失败。")},
        {Path(QStringLiteral("a.csv ")), kSuccess},
        {Path(QStringLiteral("x.xls ")), kSuccess},
        {Path(QStringLiteral("data.2024")), kSuccess},
        {Path(QStringLiteral("Y.ODS")), kSuccess},
        {Path(QStringLiteral(".xls")),
         QStringLiteral("提示|文件名“.xls”只有扩展名，这样保存的文件会被隐藏。请在扩展名前输入文件名。")},
        {Path(QStringLiteral(".CSV ")),
         QStringLiteral("提示|文件名“.CSV ”只有扩展名，这样保存的文件会被隐藏。请在扩展名前输入文件名。")},
    };
    for (const auto& c : cases) EXPECT_EQ(ExportAs(c.name), c.message) << c.name.toStdString();
    // "a.csv " is a name of its own, written as .csv under that name (its
    // space kept, no extension added): "a.csv" is untouched.
    QFile kept(Path(QStringLiteral("a.csv")));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("kept"));
    const struct {
        const char* name;
        excel::FileFormat format;
    } written[] = {
        {"a.csv ", excel::FileFormat::Text},        {"x.xls ", excel::FileFormat::Xls},
        {"data.2024.xls", excel::FileFormat::Xls},  {"Y.ODS", excel::FileFormat::Ods},
        {"a.csv .xls", excel::FileFormat::Unknown}, {"x.xls .xls", excel::FileFormat::Unknown},
        {".xls", excel::FileFormat::Unknown},       {".CSV ", excel::FileFormat::Unknown},
    };
    for (const auto& w : written)
        EXPECT_EQ(excel::DetectFormat(Path(QString::fromUtf8(w.name)).toStdString()), w.format) << w.name;
    EXPECT_EQ(ReadBack(Path(QStringLiteral("Y.ODS"))),
              QStringLiteral("[\"n:1\", \"n:3\", \"\"]\n[\"n:2\", \"\", \"\"]\n"));
    EXPECT_TRUE(QFileInfo(Path(QStringLiteral("a folder.xls"))).isDir());
}

// LibreOffice opens the exported .csv with formulas evaluated, as a user
// who ticks "Evaluate formulas" would; none of the texts becomes one. The
// same line written raw beside it does, which shows the check can fail.
TEST_F(ExportWindowTest, CsvTextsThatLookLikeFormulasStayTexts)
{
    const std::vector<std::string> injections = {"=HYPERLINK(\"http://example.invalid\",\"x\")",
                                                 "+cmd|' /C calc'!A0",
                                                 "@SUM(A1)",
                                                 "-1+2",
                                                 "=1+1",
                                                 "\t=1+1",
                                                 "\r=1+1"};
    window.LoadColumns(BelowTheWindow(injections), BelowTheWindow({"-2", "+3", "1e3", "-0.5"}));
    const QString ours = Path(QStringLiteral("ours.csv"));
    ASSERT_EQ(ExportAs(ours), kSuccess);
    QFile raw(Path(QStringLiteral("raw.csv")));
    ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
    raw.write("=1+1,2\r\n");
    raw.close();

    QProcess office;
    office.setWorkingDirectory(folder.path());
    office.start(QStringLiteral("soffice"),
                 {QStringLiteral("--headless"),
                  QStringLiteral("-env:UserInstallation=file://") + Path(QStringLiteral("profile")),
                  QStringLiteral("--infilter=CSV:44,34,76,1,,1033,false,true,false,false,false,-1,true"),
                  QStringLiteral("--convert-to"), QStringLiteral("xlsx"), QStringLiteral("--outdir"), folder.path(),
                  ours, raw.fileName()});
    ASSERT_TRUE(office.waitForFinished(280000)) << "soffice did not finish";
    const char* formulas = R"(
import openpyxl, sys
for path in sys.argv[1:]:
    sheet = openpyxl.load_workbook(path).worksheets[0]
    print(sum(1 for row in sheet.iter_rows() for c in row if c.data_type == "f"),
          [c.value for c in sheet["B"][9:] if c.value is not None])
)";
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QString::fromUtf8(formulas), Path(QStringLiteral("ours.xlsx")),
                  Path(QStringLiteral("raw.xlsx"))});
    python.waitForFinished(60000);
    const QStringList lines =
        QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << python.readAllStandardError().toStdString();
    // No formula; the numbers stay numbers, a leading sign makes no text.
    EXPECT_EQ(lines[0], QStringLiteral("0 [-2, 3, 1000, -0.5]"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("1 "))) << lines[1].toStdString();

    // Our own import reads the texts with the apostrophe that guards them.
    window.ImportFile(ours);
    const auto items = window.Store().Items(grid::Column::First);
    ASSERT_EQ(items.size(), kFirstHidden + injections.size());
    for (std::size_t k = 0; k < injections.size(); ++k) EXPECT_EQ(items[kFirstHidden + k], "'" + injections[k]) << k;
}

} // namespace
} // namespace korvanta::ui
