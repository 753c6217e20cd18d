// The section "样本量与检验效能" against R through the details window: each
// case of tests/stats/reference/power_*.csv typed into the section's boxes,
// the data on screen giving the present sizes, and the figures the driver
// prints compared with R's (the same whole size, power to 1e-6 relative).
#include "resultsview/detailswindow.h"
#include "resultsview/powerpanel.h"

#include "reference_csv.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace korvanta::ui {
namespace {

using stats::testing::ReadReference;
using stats::testing::ReferenceRow;

struct Screen {
    // Texts the input views point into.
    std::string boxes[6];
    std::string cells[4];
    std::vector<stats::CellValue> first, second;
    stats::DetailsInput Input() const
    {
        stats::DetailsInput in;
        in.summary = {boxes[0], boxes[1], boxes[2], boxes[3], boxes[4], boxes[5]};
        in.first = first;
        in.second = second;
        in.table = {cells[0], cells[1], cells[2], cells[3]};
        return in;
    }
    // n complete rows whose values vary.
    void Rows(int n)
    {
        for (int k = 0; k < n; ++k) {
            first.push_back(stats::ReadCell(std::to_string(k)));
            second.push_back(stats::ReadCell(std::to_string((k * 7) % 11)));
        }
    }
};

std::string Count(const ReferenceRow& row, const char* key) { return row.at(key); }

void Type(DetailsWindow& window, const char* name, const std::string& text)
{
    auto* box = window.findChild<QLineEdit*>(QString::fromLatin1(name));
    ASSERT_NE(box, nullptr) << name;
    box->setText(QString::fromStdString(text));
}

// Shows the screen in `mode`, types the level, the target and the effect
// boxes, and compares the driver's figures with the row.
void Expect(stats::TestMode mode, const Screen& screen, const ReferenceRow& row,
            const std::vector<std::pair<const char*, const char*>>& effect)
{
    DetailsWindow window;
    window.ShowFigures(mode, screen.Input());
    Type(window, "PowerAlpha", row.at("alpha"));
    Type(window, "PowerTarget", row.at("target"));
    for (const auto& [box, column] : effect) Type(window, box, row.at(column));
    std::map<std::string, std::string> figures;
    for (const auto& [key, value] : window.Power()->Figures()) figures[key] = value;
    EXPECT_EQ(figures.at("power.n_required"), row.at("n_required"));
    if (row.count("n_required_cc")) {
        EXPECT_EQ(figures.at("power.n_required_cc"), row.at("n_required_cc"));
    }
    ASSERT_FALSE(figures.at("power.achieved").empty());
    const double got = std::stod(figures.at("power.achieved")), expected = std::stod(row.at("achieved"));
    EXPECT_NEAR(got, expected, 1e-6 * expected);
}

TEST(PowerSectionAgainstR, TTests)
{
    for (const auto& row : ReadReference("power_t.csv")) {
        SCOPED_TRACE(row.at("case"));
        Screen screen;
        if (row.at("type") == "paired") {
            screen.Rows(std::stoi(row.at("n1")));
            Expect(stats::TestMode::PairedT, screen, row, {{"PowerDifference", "delta"}, {"PowerSd", "sd"}});
        } else {
            // The group sizes from the summary boxes; their ratio is the data's.
            screen.boxes[0] = screen.boxes[1] = screen.boxes[4] = "1";
            screen.boxes[3] = "0";
            screen.boxes[2] = Count(row, "n1");
            screen.boxes[5] = Count(row, "n2");
            Expect(stats::TestMode::TwoSample, screen, row, {{"PowerDifference", "delta"}, {"PowerSd", "sd"}});
        }
    }
}

TEST(PowerSectionAgainstR, TwoProportions)
{
    for (const auto& row : ReadReference("power_prop.csv")) {
        SCOPED_TRACE(row.at("case"));
        Screen screen;
        screen.cells[0] = screen.cells[2] = "0";
        screen.cells[1] = Count(row, "n1");
        screen.cells[3] = Count(row, "n2");
        Expect(stats::TestMode::FourFold, screen, row, {{"PowerP1", "p1"}, {"PowerP2", "p2"}});
    }
}

TEST(PowerSectionAgainstR, Correlation)
{
    for (const auto& row : ReadReference("power_corr.csv")) {
        SCOPED_TRACE(row.at("case"));
        Screen screen;
        screen.Rows(std::stoi(row.at("n1")));
        Expect(stats::TestMode::Correlation, screen, row, {{"PowerR", "r"}});
    }
}

TEST(PowerSectionAgainstR, McNemar)
{
    for (const auto& row : ReadReference("power_mcnemar.csv")) {
        SCOPED_TRACE(row.at("case"));
        Screen screen;
        screen.cells[0] = Count(row, "n1");
        screen.cells[1] = screen.cells[2] = screen.cells[3] = "0";
        Expect(stats::TestMode::PairedChiSquare, screen, row, {{"PowerP10", "p10"}, {"PowerP01", "p01"}});
    }
}

} // namespace
} // namespace korvanta::ui
