// The main window's panels and the detailed results agree on the same data:
// random columns and tables typed into the real window (so the store's
// running sums are built keystroke by keystroke, edits included), then every
// figure the panel shows compared with the detailed figure of the same name,
// recomputed from the whole store, at the panel's four decimals.
#include "app/mainwindow.h"
#include "recorder.h"
#include "stats/numbertext.h"
#include "widgetkit/interaction.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace korvanta::ui {
namespace {

class Agreement : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.show();
        QApplication::setActiveWindow(&window);
    }

    QString Text(const char* name)
    {
        if (auto* label = window.findChild<QLabel*>(QString::fromUtf8(name))) return label->text();
        if (auto* box = window.findChild<QLineEdit*>(QString::fromUtf8(name))) return box->text();
        ADD_FAILURE() << "no control " << name;
        return {};
    }
    std::string Shown(const char* name) { return Text(name).toStdString(); }

    void Type(const QString& name, const std::string& value)
    {
        auto* box = window.findChild<QLineEdit*>(name);
        ASSERT_NE(box, nullptr);
        box->setFocus();
        box->end(false);
        while (!box->text().isEmpty()) QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, QString::fromStdString(value));
    }

    // A detailed figure at the panel's four decimals ("" without a value).
    std::string Detail(const std::string& key, bool magnitude = false)
    {
        for (const auto& [name, value] : window.DetailFigures()) {
            if (name != key) continue;
            if (value.empty()) return "";
            const double number = std::stod(value);
            return stats::FormatFourDecimals(stats::GeneralNumberText(magnitude ? std::fabs(number) : number));
        }
        ADD_FAILURE() << "no detailed figure " << key;
        return {};
    }

    // A value with 0 to 5 decimals, near zero or far from it.
    std::string RandomValue()
    {
        static const double offsets[] = {0, 0, 10000, 1000000};
        const int decimals = std::uniform_int_distribution<int>(0, 5)(random);
        const double offset = offsets[std::uniform_int_distribution<std::size_t>(0, 3)(random)];
        const double raw = offset + std::normal_distribution<double>(50, 20)(random);
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, raw);
        return buffer;
    }

    // Types n rows into both columns, then retypes a few of them.
    void TypeColumns(int n)
    {
        for (int row = 0; row < n; ++row) {
            Type(QStringLiteral("Text1(%1)").arg(row), RandomValue());
            Type(QStringLiteral("Text2(%1)").arg(row), RandomValue());
        }
        for (int edit = 0; edit < 3; ++edit) {
            const int row = std::uniform_int_distribution<int>(0, n - 1)(random);
            Type(QStringLiteral("Text%1(%2)").arg(edit % 2 + 1).arg(row), RandomValue());
        }
    }

    std::mt19937 random{13};
    Recorder desktop;
    MainWindow window{desktop};
};

// "T = 2.2361  P < 0.05" -> "2.2361".
std::string TOf(const std::string& line) { return line.substr(4, line.find("  ") - 4); }

TEST_F(Agreement, TwoSamplePanelAndDetailsOnRandomColumns)
{
    for (int trial = 0; trial < 6; ++trial) {
        window.SelectTest(TestMode::TwoSample);
        TypeColumns(3 + trial);
        const std::string line = Shown("Label5(6)");
        ASSERT_FALSE(line.empty()) << trial;
        EXPECT_EQ(TOf(line), Detail("pooled.t", true)) << trial;
        // The boxes hold the summaries' four decimals; the figures behind
        // them are the details' too.
        EXPECT_EQ(stats::FormatFourDecimals(Shown("Text4(0)")), Shown("Text4(0)"));
    }
}

TEST_F(Agreement, PairedPanelAndDetailsOnRandomColumns)
{
    for (int trial = 0; trial < 6; ++trial) {
        window.SelectTest(TestMode::PairedT);
        TypeColumns(3 + trial);
        ASSERT_FALSE(Shown("Label5(7)").empty()) << trial;
        EXPECT_EQ(TOf(Shown("Label5(7)")), Detail("paired.t", true)) << trial;
        EXPECT_EQ(Shown("Label13(4)"), Detail("diff", true)) << trial;
    }
}

TEST_F(Agreement, CorrelationPanelAndDetailsOnRandomColumns)
{
    for (int trial = 0; trial < 6; ++trial) {
        window.SelectTest(TestMode::Correlation);
        TypeColumns(4 + trial);
        ASSERT_FALSE(Shown("Label13(7)").empty()) << trial;
        EXPECT_EQ(Shown("Label13(7)"), Detail("r")) << trial;
        std::string slope = Detail("slope");
        if (slope.front() != '-') slope.insert(0, "+");
        EXPECT_EQ(Shown("Label5(17)"), "Y=" + Detail("intercept") + slope + "X") << trial;
    }
}

TEST_F(Agreement, TablePanelsAndDetailsOnRandomCounts)
{
    std::uniform_int_distribution<int> count(0, 60);
    for (int trial = 0; trial < 10; ++trial) {
        const int cells[4] = {count(random), count(random), count(random), count(random)};
        window.SelectTest(TestMode::FourFold);
        for (int k = 0; k < 4; ++k) Type(QStringLiteral("Text11(%1)").arg(k), std::to_string(cells[k]));
        const std::string chi = Shown("Label20(6)");
        if (!chi.empty()) {
            EXPECT_TRUE(chi == Detail("chi2") || chi == Detail("yates")) << chi << " trial " << trial;
        }

        window.SelectTest(TestMode::PairedChiSquare);
        for (int k = 0; k < 4; ++k) Type(QStringLiteral("Text11(%1)").arg(k), std::to_string(cells[k]));
        const int discordant = cells[1] + cells[2];
        if (discordant > 0) {
            EXPECT_EQ(Shown("Label20(7)"), Detail(discordant < 40 ? "mcnemar.cc" : "mcnemar")) << trial;
        }
    }
}

} // namespace
} // namespace korvanta::ui
