// The report on paper: the PDF and the printed pages read back with
// poppler's pdffonts and pdftotext -layout, independent of Qt.
#include "app/mainwindow.h"
#include "recorder.h"
#include "resultsview/detailswindow.h"
#include "resultsview/plotpanel.h"
#include "resultsview/reportwriter.h"
#include "widgetkit/interaction.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>
#include <utility>

namespace korvanta::ui {
namespace {

QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of each page of a PDF, as pdftotext -layout lays it out.
QStringList Pages(const QString& pdf)
{
    return RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
        .split(QChar(0x0c));
}

// The page a text first appears on, from 0; -1 when it is on none.
int PageOf(const QStringList& pages, const QString& text)
{
    for (int p = 0; p < pages.size(); ++p)
        if (pages[p].contains(text)) return p;
    return -1;
}

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QString Path(const QString& name) const { return folder.filePath(name); }
    void Select(int mode)
    {
        QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("Command1(%1)").arg(mode)), Qt::LeftButton);
    }
    void ExportTo(const QString& name, int filter)
    {
        desktop.nextChoice = FileChoice{Path(name), filter};
        window.FindAction(QStringLiteral("导出报告…"))->trigger();
    }

    QTemporaryDir folder;
    Recorder desktop;
    MainWindow window{desktop};
};

TEST_F(ReportTest, EveryTestsReportUsesProportionalFaces)
{
    // Each figure of the report's results is the one the panel shows: the
    // caption the report gives it and the label, by the name the driver
    // reads it by, in the panel's order.
    struct Figure {
        const char* caption;
        const char* label;
    };
    const struct {
        int mode;
        std::vector<std::string> first, second; // the grid's columns, or the 2x2 table's a b c d
        std::vector<Figure> figures;
    } cases[] = {
        {0,
         {"10", "12", "9", "14", "11"},
         {"8", "9", "9", "10", "7"},
         {{"t(0.05)", "Label5(3)"}, {"t(0.01)", "Label5(4)"}, {"t(0.001)", "Label5(5)"}, {"结果判断", "Label5(6)"}}},
        {1,
         {"10", "12", "9", "14", "11"},
         {"8", "9", "9", "10", "7"},
         {{"对子数(N)", "Label13(5)"},
          {"对子差值均数(d)", "Label13(4)"},
          {"对子差值均数标准差(Sd)", "Label13(3)"},
          {"t(0.05)", "Label5(10)"},
          {"t(0.01)", "Label5(9)"},
          {"t(0.001)", "Label5(8)"},
          {"结果判断", "Label5(7)"}}},
        {2,
         {"1", "2", "3", "4", "5"},
         {"2.1", "3.9", "6.2", "7.8", "10.1"},
         {{"例数(N)", "Label13(6)"},
          {"r", "Label13(7)"},
          {"tr", "Label13(12)"},
          {"tr(0.05)", "Label5(13)"},
          {"tr(0.01)", "Label5(14)"},
          {"tr(0.001)", "Label5(15)"},
          {"结果判断", "Label5(16)"},
          {"回归方程", "Label5(17)"}}},
        {3,
         {"7", "14", "21", "28"},
         {},
         {{"a 的理论数(T)", "Label20(1)"},
          {"b 的理论数(T)", "Label20(2)"},
          {"c 的理论数(T)", "Label20(3)"},
          {"d 的理论数(T)", "Label20(4)"},
          {"例数(n)", "Label20(5)"},
          {"χ²(0.05)", "Label5(20)"},
          {"χ²(0.01)", "Label5(19)"},
          {"χ²", "Label20(6)"},
          {"结果判断", "Label5(21)"}}},
        {4,
         {"25", "15", "5", "30"},
         {},
         {{"例数(n)", "Label20(8)"},
          {"χ²(0.05)", "Label5(24)"},
          {"χ²(0.01)", "Label5(25)"},
          {"χ²", "Label20(7)"},
          {"结果判断", "Label5(23)"}}},
    };
    for (const auto& c : cases) {
        Select(c.mode);
        if (c.mode >= 3) {
            for (int i = 0; i < 4; ++i) {
                auto* cell = window.findChild<QLineEdit*>(QStringLiteral("Text11(%1)").arg(i));
                cell->clear();
                QTest::keyClicks(cell, QString::fromStdString(c.first[static_cast<std::size_t>(i)]));
            }
        } else {
            window.LoadColumns(c.first, c.second);
        }
        const QString name = QStringLiteral("r%1").arg(c.mode);
        ExportTo(name, 0);
        const QString fonts = RunTool(QStringLiteral("pdffonts"), {Path(name + QStringLiteral(".pdf"))});
        const QStringList lines = fonts.split('\n', Qt::SkipEmptyParts).mid(2);
        ASSERT_FALSE(lines.isEmpty()) << c.mode;
        for (const QString& line : lines) {
            EXPECT_FALSE(line.contains(QStringLiteral("Mono"), Qt::CaseInsensitive))
                << c.mode << ": " << line.toStdString();
            EXPECT_TRUE(line.contains(QStringLiteral(" yes "))) << "embedded: " << line.toStdString();
        }
        // A Latin serif face sets the figures and symbols, a CJK face the Chinese.
        EXPECT_TRUE(fonts.contains(QRegularExpression(QStringLiteral("Serif|Times"))) &&
                    !lines.first().contains(QStringLiteral("Sans Mono")))
            << fonts.toStdString();
        EXPECT_TRUE(fonts.contains(QRegularExpression(QStringLiteral("UMing|SimSun|CJK|WenQuanYi"))))
            << fonts.toStdString();
        // Side files only when asked for.
        EXPECT_FALSE(QFile::exists(Path(name + QStringLiteral(".html"))));
        EXPECT_FALSE(QFile::exists(Path(name + QStringLiteral(".png"))));

        const QStringList results = Pages(Path(name + QStringLiteral(".pdf")))
                                        .join(QString())
                                        .section(QStringLiteral("二、检验结果"), 1)
                                        .section(QStringLiteral("三、详细结果"), 0, 0)
                                        .split('\n');
        qsizetype next = 0; // the figures' rows come in the panel's order
        for (const Figure& figure : c.figures) {
            const auto* label = window.findChild<QLabel*>(QString::fromUtf8(figure.label));
            ASSERT_NE(label, nullptr) << figure.label;
            const QString shown = label->text();
            ASSERT_FALSE(shown.isEmpty()) << c.mode << ": " << figure.label;
            // pdftotext lays the words out again: any run of blanks matches any other.
            QStringList words;
            for (const QString& word : (QString::fromUtf8(figure.caption) + ' ' + shown).split(' ', Qt::SkipEmptyParts))
                words << QRegularExpression::escape(word);
            const QRegularExpression row(QStringLiteral("^\\s*%1\\s*$").arg(words.join(QStringLiteral("\\s+"))));
            while (next < results.size() && !row.match(results[next]).hasMatch()) ++next;
            EXPECT_LT(next, results.size())
                << c.mode << ": no row " << figure.caption << " " << shown.toStdString() << " in\n"
                << results.join('\n').toStdString();
            ++next;
        }
    }
    EXPECT_EQ(desktop.messages.count(QStringLiteral("提示|报告导出成功！")), static_cast<qsizetype>(std::size(cases)));
}

TEST_F(ReportTest, SymbolsAreSetAsTextAndHeadingsStayWithTheirSections)
{
    Select(3);
    const char* counts[4] = {"30", "10", "15", "25"};
    for (int i = 0; i < 4; ++i)
        QTest::keyClicks(window.findChild<QWidget*>(QStringLiteral("Text11(%1)").arg(i)), QString::fromUtf8(counts[i]));
    ExportTo(QStringLiteral("fourfold"), 0);
    const QStringList pages = Pages(Path(QStringLiteral("fourfold.pdf")));
    const QString all = pages.join(QString());
    for (const char* symbol : {"χ²", "≥", "95%CI", "~"}) EXPECT_TRUE(all.contains(QString::fromUtf8(symbol))) << symbol;
    // A heading is on the same page as the first line of its section.
    const struct {
        const char* heading;
        const char* first;
    } sections[] = {{"一、输入数据", "试验组"},
                    {"二、检验结果", "a 的理论数(T)"},
                    {"三、详细结果", "例数 n"},
                    {"四、统计图", "页"}};
    for (const auto& s : sections) {
        const int heading = PageOf(pages, QString::fromUtf8(s.heading));
        ASSERT_GE(heading, 0) << s.heading;
        EXPECT_TRUE(pages[heading].section(QString::fromUtf8(s.heading), 1).contains(QString::fromUtf8(s.first)))
            << s.heading;
    }
    // The details table fits on one page, so it is not split: its first and
    // last rows are on the same page.
    EXPECT_EQ(PageOf(pages, QStringLiteral("例数 n")), PageOf(pages, QStringLiteral("需治疗人数 NNT")));
    // The journal table leads the first page; every page ends with its
    // number whole, at the body's size (a footer drawn too large comes
    // apart into fragments).
    EXPECT_EQ(PageOf(pages, QStringLiteral("表1 试验组与对照组阳性率的比较")), 0);
    const auto count = pages.back().trimmed().isEmpty() ? pages.size() - 1 : pages.size(); // after the last form feed
    ASSERT_GT(count, 1);
    for (int p = 0; p < count; ++p)
        EXPECT_TRUE(pages[p].contains(QStringLiteral("第 %1 页，共 %2 页").arg(p + 1).arg(count))) << p;
}

TEST_F(ReportTest, ALongTableRepeatsItsHeadingRowOnEveryPage)
{
    ReportContent report;
    report.testName = QStringLiteral("两样本均数t检验");
    report.inputs = {{QStringLiteral("组别"), QStringLiteral("均数")}, {QStringLiteral("第一组"), QStringLiteral("1")}};
    report.details.title = report.testName;
    for (int i = 1; i <= 150; ++i)
        report.details.lines.push_back(
            {details::Line::Kind::Figure, QStringLiteral("行%1").arg(i), QStringLiteral("值")});
    const QString pdf = Path(QStringLiteral("long.pdf"));
    ASSERT_TRUE(WriteReportPdf(pdf, report));
    const QStringList pages = Pages(pdf);
    const int first = PageOf(pages, QStringLiteral("行1 "));
    const int last = PageOf(pages, QStringLiteral("行150"));
    ASSERT_GE(first, 0);
    ASSERT_GT(last, first) << "150 rows need more than one page";
    for (int p = first; p <= last; ++p) {
        const QString top = pages[p].section(QRegularExpression(QStringLiteral("行\\d+")), 0, 0);
        EXPECT_TRUE(top.contains(QStringLiteral("项目")) && top.contains(QStringLiteral("结果")))
            << "page " << p + 1 << " starts without the heading row";
    }
    // Every row is printed once.
    const QString all = pages.join(QString());
    for (int i = 1; i <= 150; ++i) EXPECT_EQ(all.count(QRegularExpression(QStringLiteral("行%1\\b").arg(i))), 1) << i;
}

TEST_F(ReportTest, SideFilesAreWrittenOnlyWhenAskedForAndNamed)
{
    Select(2);
    window.LoadColumns({"1", "2", "3", "4"}, {"2", "4.1", "5.9", "8"});
    ExportTo(QStringLiteral("plain"), 0);
    ExportTo(QStringLiteral("with.pdf"), 1);
    EXPECT_EQ(desktop.messages,
              (QStringList{
                  QStringLiteral("提示|报告导出成功！"),
                  QStringLiteral("提示|报告导出成功！另外写出了网页 with.html 和统计图 with.png、with-power.png。")}));
    EXPECT_TRUE(QFile::exists(Path(QStringLiteral("plain.pdf"))));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("plain.html"))));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("plain.png"))));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("plain-power.png"))));
    for (const char* name : {"with.pdf", "with.html", "with.png", "with-power.png"})
        EXPECT_TRUE(QFile::exists(Path(QString::fromUtf8(name)))) << name;
}

TEST_F(ReportTest, PrintingPaintsTheSameReport)
{
    Select(1);
    window.LoadColumns({"10", "12", "9", "14", "11"}, {"8", "9", "9", "10", "7"});
    desktop.printTo = Path(QStringLiteral("printed.pdf"));
    QAction* print = window.FindAction(QStringLiteral("打印…"));
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    print->trigger();
    EXPECT_EQ(desktop.printedTitle, QStringLiteral("统计分析报告 — 配对资料t检验"));
    const QString printed = Pages(desktop.printTo).join(QString());
    for (const char* expected : {"统计分析报告", "检验方法：配对资料t检验", "三、详细结果", "Wilcoxon", "四、统计图"})
        EXPECT_TRUE(printed.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_TRUE(RunTool(QStringLiteral("pdfinfo"), {desktop.printTo}).contains(QStringLiteral("(A4)")));
}

TEST_F(ReportTest, GroupNamesReachTheFiguresTheCopyThePlotAndTheReport)
{
    const struct {
        int mode;
        const char* figure; // a label of the details that names the groups
        const char* input;  // the report's input row of the first group
    } cases[] = {
        {0, "均数差（治疗组 − 对照组）", "治疗组"},
        {1, "差值均数（治疗组 − 对照组）", "治疗组"},
        {2, "r", "X（治疗组）"},
    };
    auto* first = window.findChild<QLineEdit*>(QStringLiteral("GroupName1"));
    auto* second = window.findChild<QLineEdit*>(QStringLiteral("GroupName2"));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->text(), QStringLiteral("第一组"));
    EXPECT_EQ(second->text(), QStringLiteral("第二组"));
    window.ShowDetails();
    for (const auto& c : cases) {
        Select(c.mode);
        window.LoadColumns({"10", "12", "9", "14", "11"}, {"8", "9", "9", "10", "7"});
        first->setText(QStringLiteral("治疗组"));
        second->setText(QStringLiteral("对照组"));
        const DetailsWindow& details = *window.Details();
        EXPECT_TRUE(details.ClipboardText().contains(QString::fromUtf8(c.figure))) << c.mode;
        EXPECT_TRUE(details.ClipboardHtml().contains(QString::fromUtf8(c.figure))) << c.mode;
        const QString name = QStringLiteral("named%1").arg(c.mode);
        ExportTo(name, 0);
        const QString text = Pages(Path(name + QStringLiteral(".pdf"))).join(QString());
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.input))) << c.mode;
        EXPECT_FALSE(text.contains(QStringLiteral("第一组"))) << c.mode;
        // Back to the defaults: the usual wording returns.
        first->setText(QStringLiteral("第一组"));
        second->clear();
        EXPECT_FALSE(details.ClipboardText().contains(QStringLiteral("治疗组"))) << c.mode;
    }
    // The plot of two samples names its groups.
    Select(0);
    window.LoadColumns({"10", "12", "9"}, {"8", "9", "7"});
    first->setText(QStringLiteral("甲"));
    const auto& groups = std::get<plot::GroupsPlot>(window.Plot()->data()).groups;
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].name, "甲");
    EXPECT_EQ(groups[1].name, "第二组");
}

} // namespace
} // namespace korvanta::ui
