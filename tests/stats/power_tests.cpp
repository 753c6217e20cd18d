// Sample size and power against R (tools/reference/make_power_reference.R):
// power.t.test and power.prop.test for equal groups and pairs, the
// published formulas written out in R for unequal groups, Fleiss'
// correction, Fisher's z and Connor's McNemar formula. The same whole size,
// power to 1e-6 relative.
#include "stats/power.h"

#include "cells.h"
#include "reference_csv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace korvanta::stats::power {
namespace {

using testing::ReadReference;
using testing::ReferenceRow;
// gtest's own Test would hide the name inside the test bodies.
using TestKind = korvanta::stats::power::Test;

bool Close(double got, double expected) { return std::fabs(got - expected) <= 1e-6 * std::fabs(expected) + 1e-12; }

double At(const ReferenceRow& row, const std::string& key) { return std::stod(row.at(key)); }

void ExpectPlan(TestKind test, const Effect& effect, const ReferenceRow& row)
{
    const Plan plan = MakePlan(test, effect, At(row, "alpha"), At(row, "target"));
    ASSERT_TRUE(plan.HasSize());
    EXPECT_EQ(plan.required, At(row, "n_required"));
    ASSERT_TRUE(plan.HasPower());
    EXPECT_PRED2(Close, plan.achieved, At(row, "achieved"));
    if (row.count("n_required_cc")) {
        EXPECT_EQ(plan.requiredCorrected, At(row, "n_required_cc"));
    }
    ASSERT_FALSE(plan.curve.empty());
}

TEST(PowerAgainstR, TTests)
{
    const auto rows = ReadReference("power_t.csv");
    ASSERT_GE(rows.size(), 20u);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.at("case"));
        const bool paired = row.at("type") == "paired";
        Effect e{At(row, "delta"), At(row, "sd"), At(row, "ratio"), At(row, "n1"), At(row, "n2")};
        if (paired) e.ratio = e.n2 = std::nullopt;
        ExpectPlan(paired ? TestKind::Paired : TestKind::TwoSample, e, row);
    }
}

TEST(PowerAgainstR, TwoProportions)
{
    const auto rows = ReadReference("power_prop.csv");
    ASSERT_GE(rows.size(), 20u);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.at("case"));
        ExpectPlan(TestKind::FourFold, {At(row, "p1"), At(row, "p2"), At(row, "ratio"), At(row, "n1"), At(row, "n2")},
                   row);
    }
}

TEST(PowerAgainstR, CorrelationByFisherZ)
{
    const auto rows = ReadReference("power_corr.csv");
    ASSERT_GE(rows.size(), 20u);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.at("case"));
        ExpectPlan(TestKind::Correlation, {At(row, "r"), std::nullopt, std::nullopt, At(row, "n1"), std::nullopt}, row);
    }
}

TEST(PowerAgainstR, McNemarByConnor)
{
    const auto rows = ReadReference("power_mcnemar.csv");
    ASSERT_GE(rows.size(), 20u);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.at("case"));
        ExpectPlan(TestKind::PairedTable, {At(row, "p10"), At(row, "p01"), std::nullopt, At(row, "n1"), std::nullopt},
                   row);
    }
}

// Effects that give no size: none at all, none that can be told apart from
// no effect, one the method cannot use, or one too small for any study.
TEST(PowerEdges, NoSizeIsGivenAndSaysWhy)
{
    const std::optional<double> none;
    struct Case {
        const char* name;
        TestKind test;
        Effect effect;
        double alpha, target;
        NoSize why;
    };
    const Case cases[] = {
        {"equal means", TestKind::TwoSample, {0.0, 2.0, 1.0, 10.0, 10.0}, 0.05, 0.8, NoSize::ZeroEffect},
        {"zero mean difference", TestKind::Paired, {0.0, 1.0, none, 10.0, none}, 0.05, 0.8, NoSize::ZeroEffect},
        {"r = 0", TestKind::Correlation, {0.0, none, none, 10.0, none}, 0.05, 0.8, NoSize::ZeroEffect},
        {"equal proportions", TestKind::FourFold, {0.3, 0.3, 1.0, 20.0, 20.0}, 0.05, 0.8, NoSize::ZeroEffect},
        {"equal discordant shares", TestKind::PairedTable, {0.1, 0.1, none, 50.0, none}, 0.05, 0.8, NoSize::ZeroEffect},
        {"no SD", TestKind::TwoSample, {1.0, none, 1.0, 10.0, 10.0}, 0.05, 0.8, NoSize::NoEffect},
        {"no data", TestKind::Paired, {}, 0.05, 0.8, NoSize::NoEffect},
        {"SD zero", TestKind::Paired, {1.0, 0.0, none, 10.0, none}, 0.05, 0.8, NoSize::BadEffect},
        {"negative SD", TestKind::TwoSample, {1.0, -2.0, 1.0, 10.0, 10.0}, 0.05, 0.8, NoSize::BadEffect},
        {"ratio zero", TestKind::TwoSample, {1.0, 2.0, 0.0, 10.0, 10.0}, 0.05, 0.8, NoSize::BadEffect},
        {"perfect correlation", TestKind::Correlation, {-1.0, none, none, 10.0, none}, 0.05, 0.8, NoSize::BadEffect},
        {"r above 1", TestKind::Correlation, {1.5, none, none, 10.0, none}, 0.05, 0.8, NoSize::BadEffect},
        {"proportion above 1", TestKind::FourFold, {1.2, 0.3, 1.0, 20.0, 20.0}, 0.05, 0.8, NoSize::BadEffect},
        {"discordant shares above 1",
         TestKind::PairedTable,
         {0.7, 0.4, none, 50.0, none},
         0.05,
         0.8,
         NoSize::BadEffect},
        {"proportions 0 and 1", TestKind::FourFold, {0.0, 1.0, 1.0, 20.0, 20.0}, 0.05, 0.8, NoSize::NoSpread},
        {"every pair discordant one way",
         TestKind::PairedTable,
         {1.0, 0.0, none, 50.0, none},
         0.05,
         0.8,
         NoSize::NoSpread},
        {"alpha zero", TestKind::TwoSample, {1.0, 2.0, 1.0, 10.0, 10.0}, 0.0, 0.8, NoSize::BadLevel},
        {"alpha not a number", TestKind::Correlation, {0.3, none, none, 10.0, none}, NAN, 0.8, NoSize::BadLevel},
        {"target 1", TestKind::Paired, {1.0, 2.0, none, 10.0, none}, 0.05, 1.0, NoSize::BadTarget},
        {"tiny mean difference", TestKind::TwoSample, {1e-4, 1.0, 1.0, 10.0, 10.0}, 0.05, 0.8, NoSize::TooLarge},
        {"tiny paired difference", TestKind::Paired, {1e-4, 1.0, none, 10.0, none}, 0.05, 0.8, NoSize::TooLarge},
        {"tiny r", TestKind::Correlation, {1e-4, none, none, 10.0, none}, 0.05, 0.8, NoSize::TooLarge},
        {"tiny proportion difference", TestKind::FourFold, {0.5, 0.5001, 1.0, 20.0, 20.0}, 0.05, 0.8, NoSize::TooLarge},
        {"tiny discordance", TestKind::PairedTable, {0.3, 0.2999, none, 50.0, none}, 0.05, 0.8, NoSize::TooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Plan plan = MakePlan(c.test, c.effect, c.alpha, c.target);
        EXPECT_EQ(plan.whyNoSize, c.why);
        const auto figures = Figures(c.test, plan);
        std::map<std::string, std::string> byKey(figures.begin(), figures.end());
        EXPECT_EQ(byKey.at("power.n_required"), "");
        if (c.test == TestKind::FourFold) {
            EXPECT_EQ(byKey.at("power.n_required_cc"), "");
        }
        // Only a size too large or an impossible target still leaves the power of the data.
        const bool powerStands = c.why == NoSize::TooLarge || c.why == NoSize::BadTarget;
        EXPECT_EQ(plan.HasPower(), powerStands);
        EXPECT_EQ(byKey.at("power.achieved").empty(), !powerStands);
    }
}

// The present size alone: too few cases, or none, gives no power while the
// size needed still stands.
TEST(PowerEdges, PresentSizeTooSmall)
{
    const std::optional<double> none;
    struct Case {
        const char* name;
        TestKind test;
        Effect effect;
        NoPower why;
    };
    const Case cases[] = {
        {"one pair", TestKind::Paired, {1.0, 2.0, none, 1.0, none}, NoPower::TooFew},
        {"three pairs for r", TestKind::Correlation, {0.5, none, none, 3.0, none}, NoPower::TooFew},
        {"one case per group", TestKind::TwoSample, {1.0, 2.0, 1.0, 1.0, 1.0}, NoPower::TooFew},
        {"no sizes", TestKind::FourFold, {0.2, 0.4, 1.0, none, none}, NoPower::NoData},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Plan plan = MakePlan(c.test, c.effect, 0.05, 0.8);
        EXPECT_TRUE(plan.HasSize());
        EXPECT_EQ(plan.whyNoPower, c.why);
    }
}

// The effect read from the data on screen, against the figures worked by
// hand: pooled SD sqrt((9*4 + 19*9) / 28), the differences 2, 3, 0, 5, 1.
TEST(PowerEffect, FromTheDataOnScreen)
{
    DetailsInput input;
    input.summary = {"10", "2", "10", "12.5", "3", "20"};
    Effect e = EffectOfData(TestMode::TwoSample, input);
    EXPECT_DOUBLE_EQ(*e.first, -2.5);
    EXPECT_DOUBLE_EQ(*e.second, std::sqrt((9 * 4.0 + 19 * 9.0) / 28));
    EXPECT_DOUBLE_EQ(*e.ratio, 2.0);

    const auto first = testing::Cells({"12", "13", "", "9", "15", "x", "11"});
    const auto second = testing::Cells({"10", "10", "4", "9", "10", "3", "10"});
    input.first = first;
    input.second = second;
    e = EffectOfData(TestMode::PairedT, input);
    EXPECT_EQ(*e.n1, 5);
    EXPECT_DOUBLE_EQ(*e.first, 2.2);
    EXPECT_NEAR(*e.second, std::sqrt(14.8 / 4), 1e-12);

    const std::string four[] = {"30", "10", "15", "25"};
    input.table = {four[0], four[1], four[2], four[3]};
    e = EffectOfData(TestMode::FourFold, input);
    EXPECT_DOUBLE_EQ(*e.first, 0.75);
    EXPECT_DOUBLE_EQ(*e.second, 0.375);
    EXPECT_EQ(*e.n1, 40);
    EXPECT_EQ(*e.n2, 40);
    e = EffectOfData(TestMode::PairedChiSquare, input);
    EXPECT_DOUBLE_EQ(*e.first, 10.0 / 80);
    EXPECT_DOUBLE_EQ(*e.second, 15.0 / 80);
    EXPECT_EQ(*e.n1, 80);
}

// Boxes filled from the grid's columns are read at the data's exact mean
// and SD; a box the user typed over counts as typed. R:
//   x <- c(5.1, 4.8, 6.3, 5.9, 5.2, 6.1, 5.7); y <- c(4.2, 4.9, 4.4, 5.0, 4.1, 4.6, 4.3)
//   power.t.test(n = 7, delta = mean(x) - mean(y), sd = sqrt((var(x) + var(y)) / 2), strict = TRUE)
//     -> 0.978677312129513
//   power.t.test(n = 7, delta = 5.5857 - 4.5, sd = sqrt((0.5610^2 + 0.3464^2) / 2), strict = TRUE)
//     -> 0.978685789206797
TEST(PowerEffect, TwoSamplesFromTheGridUseTheExactFigures)
{
    const auto x = testing::Cells({"5.1", "4.8", "6.3", "5.9", "5.2", "6.1", "5.7"});
    const auto y = testing::Cells({"4.2", "4.9", "4.4", "5.0", "4.1", "4.6", "4.3"});
    const ColumnSummary sx = SummariseColumn(x), sy = SummariseColumn(y);
    ASSERT_EQ(sx.meanShown, "5.5857");
    ASSERT_EQ(sx.sdShown, "0.5610");
    const struct {
        bool fromGrid;
        double power;
    } cases[] = {{true, 0.978677312129513}, {false, 0.978685789206797}};
    for (const auto& c : cases) {
        DetailsInput input;
        input.summary = {sx.meanShown, sx.sdShown, sx.countText, sy.meanShown, sy.sdShown, sy.countText};
        if (c.fromGrid) {
            input.summary.exactMean[0] = &sx.figures->mean;
            input.summary.exactMean[1] = &sy.figures->mean;
            input.summary.exactVariance[0] = &sx.figures->variance;
            input.summary.exactVariance[1] = &sy.figures->variance;
        }
        const Plan plan = MakePlan(TestKind::TwoSample, EffectOfData(TestMode::TwoSample, input), 0.05, 0.8);
        ASSERT_TRUE(plan.HasPower());
        EXPECT_PRED2(Close, plan.achieved, c.power) << c.fromGrid;
    }
}

} // namespace
} // namespace korvanta::stats::power
