// The section "样本量与检验效能" of the details window: its words for each
// test, what the user types into it and what stays when the data change,
// what the copy button adds, and the curve it hands to the plot. The sizes
// are R's (power.prop.test for p1 = 0.3 vs p2 = 0.1, groups 1 : 1.5;
// power.t.test(delta = 2, sd = 2) and (delta = 1, sd = 2)).
#include "resultsview/detailswindow.h"
#include "resultsview/powerpanel.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace korvanta::ui {
namespace {

QString Shown(const QWidget& window, const char* name)
{
    const QString object = QString::fromLatin1(name);
    if (const auto* label = window.findChild<QLabel*>(object)) return label->text();
    if (const auto* box = window.findChild<QLineEdit*>(object)) return box->text();
    return QStringLiteral("<no control>");
}

struct TwoSample {
    std::string boxes[6];
    stats::DetailsInput Input() const
    {
        stats::DetailsInput in;
        in.summary = {boxes[0], boxes[1], boxes[2], boxes[3], boxes[4], boxes[5]};
        return in;
    }
};

TEST(PowerSection, SaysTheSizeInWordsForEachTest)
{
    struct Case {
        stats::TestMode mode;
        std::string cells[4];
        const char* required;
        const char* achieved;
    };
    const Case cases[] = {
        {stats::TestMode::FourFold,
         {"12", "28", "6", "54"},
         "第一组 50 例，第二组 75 例，共 125 例",
         "0.713（现有第一组 40 例，第二组 60 例，共 100 例）"},
        {stats::TestMode::FourFold, {"12", "28", "12", "28"}, "两组率相等，没有要检出的差别，无法给出样本量", "—"},
        {stats::TestMode::FourFold,
         {"0", "20", "20", "0"},
         "两组率分别为 0 与 1，正态近似的方差为 0，无法给出样本量",
         "—"},
        {stats::TestMode::PairedChiSquare, {"40", "25", "10", "30"}, "126 对", "0.724（现有 105 对）"},
        {stats::TestMode::PairedChiSquare,
         {"40", "10", "10", "30"},
         "b/n 与 c/n 相等，没有要检出的差别，无法给出样本量",
         "—"},
        {stats::TestMode::PairedChiSquare,
         {"", "", "", ""},
         "效应大小不全（请填写，或先输入数据），无法给出样本量",
         "—"},
    };
    DetailsWindow window;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.required);
        stats::DetailsInput input;
        input.table = {c.cells[0], c.cells[1], c.cells[2], c.cells[3]};
        window.ShowFigures(c.mode, input);
        EXPECT_EQ(Shown(window, "PowerRequired"), QString::fromUtf8(c.required));
        EXPECT_EQ(Shown(window, "PowerAchieved"), QString::fromUtf8(c.achieved));
    }
}

TEST(PowerSection, ATypedEffectStaysUntilTheDataAreTakenAgain)
{
    DetailsWindow window;
    window.ShowFigures(stats::TestMode::TwoSample, TwoSample{{"10", "2", "10", "12", "2", "10"}}.Input());
    EXPECT_EQ(Shown(window, "PowerDifference"), QStringLiteral("-2"));
    EXPECT_EQ(Shown(window, "PowerRequired"), QStringLiteral("每组 17 例，共 34 例"));

    window.findChild<QLineEdit*>(QStringLiteral("PowerDifference"))->setText(QStringLiteral("1"));
    EXPECT_EQ(Shown(window, "PowerRequired"), QStringLiteral("每组 64 例，共 128 例"));
    // New data: the typed difference stays, the SD follows the data.
    window.ShowFigures(stats::TestMode::TwoSample, TwoSample{{"10", "4", "10", "13", "4", "10"}}.Input());
    EXPECT_EQ(Shown(window, "PowerDifference"), QStringLiteral("1"));
    EXPECT_EQ(Shown(window, "PowerSd"), QStringLiteral("4"));
    EXPECT_EQ(window.Power()->Plan().required, 253); // power.t.test(delta = 1, sd = 4): 252.1

    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("PowerUseData")), Qt::LeftButton);
    EXPECT_EQ(Shown(window, "PowerDifference"), QStringLiteral("-3"));
    EXPECT_EQ(window.Power()->Plan().required, 29); // delta = 3, sd = 4: 28.9

    // Text that is no number is said to be so, not taken for none.
    window.findChild<QLineEdit*>(QStringLiteral("PowerRatio"))->setText(QStringLiteral("two"));
    EXPECT_EQ(Shown(window, "PowerRequired"), QStringLiteral("标准差与例数比都应大于 0，无法给出样本量"));
    // Another test starts from its own data.
    stats::DetailsInput table;
    table.table = {"12", "28", "6", "54"};
    window.ShowFigures(stats::TestMode::FourFold, table);
    window.ShowFigures(stats::TestMode::TwoSample, TwoSample{{"10", "4", "10", "13", "4", "10"}}.Input());
    EXPECT_EQ(Shown(window, "PowerRatio"), QStringLiteral("1"));
    EXPECT_EQ(window.Power()->Plan().required, 29);
}

TEST(PowerSection, LevelAndTargetAsTyped)
{
    DetailsWindow window;
    window.ShowFigures(stats::TestMode::TwoSample, TwoSample{{"10", "2", "10", "12", "2", "10"}}.Input());
    auto* alpha = window.findChild<QLineEdit*>(QStringLiteral("PowerAlpha"));
    auto* target = window.findChild<QLineEdit*>(QStringLiteral("PowerTarget"));
    const std::pair<const char*, const char*> settings[] = {
        {"0.01", "0.9"},
        {"1%", "90%"},
        {" .01 ", "0.90"},
    };
    for (const auto& [a, t] : settings) {
        alpha->setText(QString::fromLatin1(a));
        target->setText(QString::fromLatin1(t));
        EXPECT_EQ(window.Power()->Plan().required, 32) << a << ' ' << t; // power.t.test: 31.46
    }
    alpha->setText(QStringLiteral("0"));
    EXPECT_EQ(Shown(window, "PowerRequired"), QStringLiteral("检验水准 α 应大于 0 且小于 1"));
    alpha->setText(QStringLiteral("0.05"));
    target->setText(QStringLiteral("1.2"));
    EXPECT_EQ(Shown(window, "PowerRequired"), QStringLiteral("目标检验效能应大于 0 且小于 1"));
    // The power of the data needs no target.
    EXPECT_TRUE(window.Power()->Plan().HasPower());
}

TEST(PowerSection, CopyAddsTheSectionAfterTheTable)
{
    DetailsWindow window;
    stats::DetailsInput input;
    input.table = {"12", "28", "6", "54"};
    window.ShowFigures(stats::TestMode::FourFold, input);
    QApplication::clipboard()->clear();
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("CopyDetails")), Qt::LeftButton);
    const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'));
    const qsizetype heading = lines.indexOf(QStringLiteral("【样本量与检验效能】"));
    ASSERT_GT(heading, 0);
    const QStringList section = lines.mid(heading + 1);
    for (const char* line :
         {"检验水准 α（双侧）\t0.05", "目标检验效能 1 − β\t0.8", "试验组阳性率 p1\t0.3", "对照组阳性率 p2\t0.1",
          "例数比 n2/n1\t1.5", "所需样本量\t第一组 50 例，第二组 75 例，共 125 例",
          "所需样本量（连续性校正）\t第一组 58 例，第二组 87 例，共 145 例"})
        EXPECT_TRUE(section.contains(QString::fromUtf8(line))) << line;
}

TEST(PowerSection, TheCurveMarksTheTargetAndBothSizes)
{
    DetailsWindow window;
    window.ShowFigures(stats::TestMode::TwoSample, TwoSample{{"10", "2", "10", "12", "2", "10"}}.Input());
    const plot::PlotData data = window.Power()->Curve();
    const auto* curve = std::get_if<plot::PowerCurvePlot>(&data);
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(curve->required, 17.0);
    EXPECT_EQ(curve->present, 10.0);
    EXPECT_DOUBLE_EQ(curve->target, 0.8);
    EXPECT_EQ(curve->axisTitle, "每组例数 n");
    // It spans both sizes and rises through the target between 16 and 17.
    ASSERT_GE(curve->points.size(), 20u);
    EXPECT_LE(curve->points.front().x, 10);
    EXPECT_GE(curve->points.back().x, 17);
    for (const plot::Point& p : curve->points) {
        if (p.x <= 16) {
            EXPECT_LT(p.y, 0.8) << p.x;
        } else if (p.x >= 17) {
            EXPECT_GE(p.y, 0.8) << p.x;
        }
    }
    // No effect, no curve.
    window.ShowFigures(stats::TestMode::TwoSample, TwoSample{{"10", "2", "10", "10", "2", "10"}}.Input());
    EXPECT_TRUE(std::holds_alternative<std::monostate>(window.Power()->Curve()));
}

} // namespace
} // namespace korvanta::ui
