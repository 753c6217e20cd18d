// The "详细结果" window: its identity, the display forms of P values and
// estimates, the words in place of figures that cannot be computed, the
// recommendation lines, and what the copy button puts on the clipboard.
#include "resultsview/detailswindow.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// Failures show the text, not its UTF-16 units.
void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace korvanta::ui {
namespace {

using details::Line;
using stats::Figure;
using stats::Why;

std::vector<stats::CellValue> Cells(const std::vector<std::string>& texts)
{
    std::vector<stats::CellValue> cells;
    for (const auto& text : texts) cells.push_back(stats::ReadCell(text));
    return cells;
}

// The value of the first figure line with this label after the heading.
QString ValueOf(const details::Report& report, const QString& label, const QString& heading = {})
{
    bool inSection = heading.isEmpty();
    for (const Line& line : report.lines) {
        if (line.kind == Line::Kind::Heading) inSection = heading.isEmpty() || line.label == heading;
        if (inSection && line.kind == Line::Kind::Figure && line.label == label) return line.value;
    }
    return QStringLiteral("<no line>");
}

bool HasNote(const details::Report& report, const QString& note)
{
    for (const Line& line : report.lines)
        if (line.kind == Line::Kind::Note && line.label == note) return true;
    return false;
}

TEST(DetailsText, PValuesExactToThreeDecimalsOrBelowOneThousandth)
{
    const std::pair<Figure, QString> cases[] = {
        {Figure::Of(0.0382496), QStringLiteral("0.038")},
        {Figure::Of(0.001), QStringLiteral("0.001")},
        {Figure::Of(0.000999), QStringLiteral("< 0.001")},
        {Figure::Of(0), QStringLiteral("< 0.001")},
        {Figure::Of(1), QStringLiteral("1.000")},
        {Figure::Of(0.0495), QStringLiteral("0.050")},
        {Figure::None(Why::ZeroCell), QStringLiteral("无法计算（有零格）")},
    };
    for (const auto& [p, text] : cases) EXPECT_EQ(details::PValue(p), text) << p.value;
    EXPECT_EQ(details::PPhrase(Figure::Of(0.0004)), QStringLiteral("P < 0.001"));
    EXPECT_EQ(details::PPhrase(Figure::Of(0.2)), QStringLiteral("P = 0.200"));
}

TEST(DetailsText, EstimatesKeepThreeSignificantDigitsBelowOne)
{
    const std::pair<double, int> decimals[] = {{-2, 2}, {123.4, 2}, {0.5, 3}, {0.0123, 4}, {0.00001, 6}, {0, 2}};
    for (const auto& [value, expected] : decimals) EXPECT_EQ(details::DecimalsFor(value), expected) << value;
    EXPECT_EQ(details::Number(-3.8791, 2), QStringLiteral("−3.88"));
    EXPECT_EQ(details::Number(-0.001, 2), QStringLiteral("0.00")); // no sign on a zero
}

TEST(DetailsText, TwoSampleSentenceAsInAJournal)
{
    stats::DetailsInput input;
    input.summary = {"10", "2", "10", "12", "2", "10"};
    const details::Report report = details::BuildReport(stats::TestMode::TwoSample, input);
    EXPECT_EQ(report.sentence, QStringLiteral("t = 2.236，ν = 18，P = 0.038；均数差 −2.00（95%CI：−3.88 ~ −0.12）"));
    EXPECT_EQ(ValueOf(report, QStringLiteral("t"), QStringLiteral("t检验（合并方差）")), QStringLiteral("−2.236"));
    EXPECT_EQ(ValueOf(report, QStringLiteral("均数差 95%CI")), QStringLiteral("−3.88 ~ −0.12"));
    EXPECT_EQ(ValueOf(report, QStringLiteral("Cohen's d 95%CI")), QStringLiteral("−1.92 ~ −0.05"));
    EXPECT_FALSE(HasNote(report, QStringLiteral("方差不齐，建议采用校正t检验（Welch）")));
    // No rank tests without raw data.
    EXPECT_EQ(ValueOf(report, QStringLiteral("U（第1列）")), QStringLiteral("<no line>"));
}

TEST(DetailsText, UnequalVariancesPointToWelch)
{
    stats::DetailsInput input;
    input.summary = {"20.5", "3.2", "8", "15.1", "9.8", "25"};
    const details::Report report = details::BuildReport(stats::TestMode::TwoSample, input);
    EXPECT_TRUE(HasNote(report, QStringLiteral("方差不齐，建议采用校正t检验（Welch）")));
    EXPECT_TRUE(report.sentence.startsWith(QStringLiteral("t′ = "))) << report.sentence.toStdString();
    EXPECT_TRUE(report.sentence.contains(QStringLiteral("ν = 30."))); // Satterthwaite's df, two decimals
}

TEST(DetailsText, WordsWhereAFigureCannotBeComputed)
{
    stats::DetailsInput input;
    input.table = {"12", "0", "5", "9"};
    const details::Report fourFold = details::BuildReport(stats::TestMode::FourFold, input);
    EXPECT_EQ(ValueOf(fourFold, QStringLiteral("比值比 OR = ad / bc")), QStringLiteral("无法计算（有零格）"));
    EXPECT_EQ(ValueOf(fourFold, QStringLiteral("OR 95%CI（基于χ²，检验法）")), QStringLiteral("无法计算（有零格）"));
    input.table = {"0", "10", "0", "15"};
    EXPECT_EQ(ValueOf(details::BuildReport(stats::TestMode::FourFold, input), QStringLiteral("χ²（Pearson）")),
              QStringLiteral("无法计算（行或列合计为零）"));

    const auto x = Cells({"1", "2"}), y = Cells({"3", "4"}); // equal differences
    input.first = x;
    input.second = y;
    const details::Report paired = details::BuildReport(stats::TestMode::PairedT, input);
    EXPECT_EQ(ValueOf(paired, QStringLiteral("P")), QStringLiteral("无法计算（数据无变异）"));
    EXPECT_EQ(ValueOf(paired, QStringLiteral("差值 W")), QStringLiteral("无法计算（例数不足）"));
    EXPECT_TRUE(paired.sentence.isEmpty());

    input.summary = {"10", "2", "10", "", "2", "10"};
    EXPECT_EQ(ValueOf(details::BuildReport(stats::TestMode::TwoSample, input), QStringLiteral("t")),
              QStringLiteral("无法计算（数据不全）"));
}

TEST(DetailsText, TheTableNamesTheMethodThatFits)
{
    const std::pair<stats::TableCells, QString> cases[] = {
        {{"30", "10", "15", "25"}, QStringLiteral("n ≥ 40且理论数均 ≥ 5：推荐 χ²检验")},
        {{"1", "19", "8", "12"}, QStringLiteral("n ≥ 40且有理论数 1 ≤ T < 5：推荐校正χ²检验")},
        {{"10", "5", "3", "12"}, QStringLiteral("n < 40或有理论数 T < 1：推荐 Fisher确切概率法")},
    };
    for (const auto& [cells, note] : cases) {
        stats::DetailsInput input;
        input.table = cells;
        EXPECT_TRUE(HasNote(details::BuildReport(stats::TestMode::FourFold, input), note)) << note.toStdString();
    }
    // The interval beside each P is the one that agrees with it (R values in
    // tests/stats/reference/fourfold.csv: or.chi2.ci, or.yates.ci, or.cmle.ci
    // with fisher.central.p).
    const std::pair<stats::TableCells, QString> sentences[] = {
        {{"30", "10", "15", "25"}, QStringLiteral("χ² = 11.429，P < 0.001；OR = 5.00（95%CI：1.97 ~ 12.71）")},
        {{"1", "10", "14", "15"}, QStringLiteral("校正χ² = 3.687，P = 0.055；OR = 0.107（95%CI：0.011 ~ 1.048）")},
        {{"1", "3", "9", "1"},
         QStringLiteral("Fisher确切概率法（中心法）P = 0.082；OR = 0.0555（95%CI：0.0006 ~ 1.2870）")},
    };
    stats::DetailsInput input;
    for (const auto& [cells, sentence] : sentences) {
        input.table = cells;
        EXPECT_EQ(details::BuildReport(stats::TestMode::FourFold, input).sentence, sentence);
    }
    input.table = {"40", "25", "10", "30"};
    const details::Report paired = details::BuildReport(stats::TestMode::PairedChiSquare, input);
    EXPECT_TRUE(HasNote(paired, QStringLiteral("b + c < 40：推荐确切概率法")));
    EXPECT_EQ(paired.sentence, QStringLiteral("McNemar确切概率法 P = 0.017；κ = 0.341（95%CI：0.169 ~ 0.512）"));
}

TEST(DetailsWindow, ModelessTopLevelWindowNamedForTheDriver)
{
    QWidget owner;
    DetailsWindow window(&owner);
    EXPECT_EQ(window.objectName(), QStringLiteral("FormDetails"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("详细结果"));
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(window.windowModality(), Qt::NonModal);
    ASSERT_NE(window.findChild<QPushButton*>(QStringLiteral("CopyDetails")), nullptr);
    ASSERT_NE(window.findChild<QTableWidget*>(QStringLiteral("DetailsTable")), nullptr);
}

TEST(DetailsWindow, FollowsTheModeAndFillsTheTable)
{
    DetailsWindow window;
    auto* table = window.findChild<QTableWidget*>(QStringLiteral("DetailsTable"));
    auto* copy = window.findChild<QPushButton*>(QStringLiteral("CopyDetails"));
    stats::DetailsInput input;
    input.table = {"40", "25", "10", "30"};
    window.ShowFigures(stats::TestMode::PairedChiSquare, input);
    EXPECT_EQ(window.Mode(), stats::TestMode::PairedChiSquare);
    ASSERT_EQ(table->rowCount(), static_cast<int>(window.Report().lines.size()));
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("对子数 n"));
    EXPECT_EQ(table->item(0, 1)->text(), QStringLiteral("105"));
    EXPECT_EQ(table->columnSpan(1, 0), 2); // the heading "McNemar检验" spans the table
    EXPECT_TRUE(copy->isEnabled());

    window.ShowFigures(stats::TestMode::FourFold, input);
    EXPECT_EQ(window.Report().title, QStringLiteral("计数资料卡方检验"));
    EXPECT_EQ(table->columnSpan(1, 0), 1); // spans of the previous test are gone

    window.ShowFigures(stats::TestModeFromIndex(7), input);
    EXPECT_EQ(table->rowCount(), 0);
    EXPECT_FALSE(copy->isEnabled());
}

TEST(DetailsWindow, CopyPutsTheSentenceThenThePlainTable)
{
    DetailsWindow window;
    stats::DetailsInput input;
    input.summary = {"10", "2", "10", "12", "2", "10"};
    window.ShowFigures(stats::TestMode::TwoSample, input);
    QApplication::clipboard()->clear();
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("CopyDetails")), Qt::LeftButton);
    const QString text = QApplication::clipboard()->text();
    const QStringList lines = text.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("t = 2.236，ν = 18，P = 0.038；均数差 −2.00（95%CI：−3.88 ~ −0.12）"));
    EXPECT_EQ(lines[1], QString());
    EXPECT_EQ(lines[2], QStringLiteral("两样本均数t检验 详细结果"));
    EXPECT_TRUE(lines.contains(QStringLiteral("【t检验（合并方差）】")));
    EXPECT_TRUE(lines.contains(QStringLiteral("P\t0.038")));
    EXPECT_TRUE(lines.contains(QStringLiteral("自由度 ν1，ν2\t9，9")));
}

} // namespace
} // namespace korvanta::ui
