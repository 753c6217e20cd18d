#include "stats/ttable.h"

#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <gtest/gtest.h>

#include <cstdio>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace korvanta::stats {
namespace {

struct Row {
    std::string df, t05, t01, t001;
};

// The two-sided critical values as the table prints them, one row per df.
const std::vector<Row> kRows = {
    {"1", "12.71", "63.66", "636.6"},    {"2", "4.303", "9.925", "31.60"},   {"3", "3.182", "5.841", "12.92"},
    {"4", "2.776", "4.604", "8.610"},    {"5", "2.571", "4.032", "6.869"},   {"6", "2.447", "3.707", "5.959"},
    {"7", "2.365", "3.499", "5.408"},    {"8", "2.306", "3.355", "5.041"},   {"9", "2.262", "3.250", "4.781"},
    {"10", "2.228", "3.169", "4.587"},   {"11", "2.201", "3.106", "4.437"},  {"12", "2.179", "3.055", "4.318"},
    {"13", "2.160", "3.012", "4.221"},   {"14", "2.145", "2.977", "4.140"},  {"15", "2.131", "2.947", "4.073"},
    {"16", "2.120", "2.921", "4.015"},   {"17", "2.110", "2.898", "3.965"},  {"18", "2.101", "2.878", "3.922"},
    {"19", "2.093", "2.861", "3.883"},   {"20", "2.086", "2.845", "3.850"},  {"21", "2.080", "2.831", "3.819"},
    {"22", "2.074", "2.819", "3.792"},   {"23", "2.069", "2.807", "3.768"},  {"24", "2.064", "2.797", "3.745"},
    {"25", "2.060", "2.787", "3.725"},   {"26", "2.056", "2.779", "3.707"},  {"27", "2.052", "2.771", "3.690"},
    {"28", "2.048", "2.763", "3.674"},   {"29", "2.045", "2.756", "3.659"},  {"30", "2.042", "2.750", "3.646"},
    {"31", "2.040", "2.744", "3.633"},   {"32", "2.037", "2.738", "3.622"},  {"33", "2.035", "2.733", "3.611"},
    {"34", "2.032", "2.728", "3.601"},   {"35", "2.030", "2.724", "3.591"},  {"36", "2.028", "2.719", "3.582"},
    {"37", "2.026", "2.715", "3.574"},   {"38", "2.024", "2.712", "3.566"},  {"39", "2.023", "2.708", "3.558"},
    {"40", "2.021", "2.704", "3.551"},   {"50", "2.009", "2.678", "3.496"},  {"60", "2.000", "2.660", "3.460"},
    {"70", "1.994", "2.648", "3.435"},   {"80", "1.990", "2.639", "3.416"},  {"90", "1.987", "2.632", "3.402"},
    {"100", "1.984", "2.626", "3.390"},  {"200", "1.972", "2.601", "3.340"}, {"500", "1.965", "2.586", "3.310"},
    {"1000", "1.962", "2.581", "3.300"},
};
const Row kInfinity = {"∝", "1.960", "2.576", "3.291"};

std::size_t CodePoints(const std::string& text)
{
    std::size_t count = 0;
    for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

const Row& RowFor(const std::string& df)
{
    for (const Row& row : kRows)
        if (row.df == df) return row;
    return kInfinity;
}

TEST(TTableText, IsTheTableLineForLine)
{
    const std::string_view text = TTableText();
    const std::string rule = "———————————————";
    EXPECT_EQ(GetLineText(text, 0), "          t界值表");
    EXPECT_EQ(GetLineText(text, 1), rule);
    EXPECT_EQ(GetLineText(text, 2), "双侧   0.05     0.01     0.001");
    EXPECT_EQ(GetLineText(text, 3), rule);
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const Row& row = kRows[i];
        const std::string expected =
            row.df + std::string(7 - row.df.size(), ' ') + row.t05 + "    " + row.t01 + "    " + row.t001;
        const std::string line = GetLineText(text, static_cast<int>(i) + 4);
        EXPECT_EQ(line, expected) << "line " << i + 4;
        EXPECT_EQ(CodePoints(line), 30u);
    }
    EXPECT_EQ(GetLineText(text, 53), "∝     1.960    2.576    3.291");
    EXPECT_EQ(CodePoints(GetLineText(text, 53)), 29u);
    EXPECT_EQ(GetLineText(text, 54), rule);
    EXPECT_EQ(CodePoints(rule), 15u);
    // Lines end with CR LF, the last one too, so line 55 is empty.
    EXPECT_TRUE(text.ends_with(rule + "\r\n"));
    EXPECT_EQ(GetLineText(text, 55), "");
    std::size_t lineBreaks = 0;
    for (std::size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) {
        EXPECT_EQ(text[at - 1], '\r');
        ++lineBreaks;
    }
    EXPECT_EQ(lineBreaks, 55u);
}

// Every value the table prints, read from the table text itself, is the
// two-sided t quantile (the normal one on the infinity row) correctly rounded
// to the digits the value shows.
TEST(TTableText, EveryEntryIsTheQuantileCorrectlyRounded)
{
    const std::string_view text = TTableText();
    const double levels[] = {0.05, 0.01, 0.001};
    int checked = 0;
    for (int line = 4; line <= 53; ++line) {
        const bool infinity = line == 53;
        const std::string row = GetLineText(text, line);
        const auto found = infinity ? LookupCriticalT(1e9) : LookupCriticalT(std::stod(row.substr(0, 7)));
        ASSERT_TRUE(found.has_value()) << row;
        const std::string entries[] = {found->t05, found->t01, found->t001};
        for (int level = 0; level < 3; ++level) {
            const double tail = levels[level] / 2;
            const double quantile =
                infinity ? boost::math::quantile(boost::math::complement(boost::math::normal(), tail))
                         : boost::math::quantile(
                               boost::math::complement(boost::math::students_t(std::stod(row.substr(0, 7))), tail));
            const std::string& entry = entries[level];
            ASSERT_EQ(entry.size(), 5u) << row;
            const int decimals = static_cast<int>(entry.size() - entry.find('.') - 1);
            char rounded[32];
            std::snprintf(rounded, sizeof rounded, "%.*f", decimals, quantile);
            EXPECT_EQ(entry, rounded) << "line " << line << ", level " << levels[level] << ", quantile " << quantile;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 150);
}

TEST(GetLineText, OutOfRangeLinesAreEmpty)
{
    EXPECT_EQ(GetLineText("a\r\nb", 1), "b");
    EXPECT_EQ(GetLineText("a\r\nb", 2), "");
    EXPECT_EQ(GetLineText("a\r\nb", -1), "");
}

TEST(LookupCriticalT, UsesTheLargestTabulatedDfNotAbove)
{
    const std::pair<double, std::string> cases[] = {
        {1, "1"},       {1.5, "1"},    {2, "2"},
        {40, "40"},     {40.5, "40"},  {41, "40"},
        {45, "40"},     {49, "40"},    {50, "50"},
        {150, "100"},   {999, "500"},  {999.5, "500"},
        {1000, "1000"}, {1000.5, "∝"}, {1001, "∝"},
        {1198, "∝"},    {1e6, "∝"},    {std::numeric_limits<double>::infinity(), "∝"},
    };
    for (const auto& [df, rowDf] : cases) {
        const auto found = LookupCriticalT(df);
        ASSERT_TRUE(found.has_value()) << df;
        const Row& row = RowFor(rowDf);
        EXPECT_EQ(found->t05, row.t05) << df;
        EXPECT_EQ(found->t01, row.t01) << df;
        EXPECT_EQ(found->t001, row.t001) << df;
    }
    for (const Row& row : kRows) EXPECT_EQ(LookupCriticalT(std::stod(row.df))->t001, row.t001) << row.df;
}

TEST(LookupCriticalT, HasNoRowBelowOneDf)
{
    for (double df : {0.999, 0.5, 0.0, -1.0, -std::numeric_limits<double>::infinity(), std::nan("")})
        EXPECT_FALSE(LookupCriticalT(df).has_value()) << df;
}

TEST(JudgeTStatistic, EachCriticalValueBelongsToTheStricterLevel)
{
    const CriticalValues df18 = {"2.101", "2.878", "3.922"};
    const std::pair<double, std::string_view> cases[] = {
        {0, "P > 0.05"},
        {std::nextafter(2.101, 0.0), "P > 0.05"},
        {2.101, "P < 0.05"},
        {std::nextafter(2.878, 0.0), "P < 0.05"},
        {2.878, "P < 0.01"},
        {3.9219999, "P < 0.01"},
        {3.922, "P < 0.001"},
        {1e300, "P < 0.001"},
        {std::nan(""), "P > 0.05"},
    };
    for (const auto& [t, phrase] : cases) EXPECT_EQ(PBandText(JudgeTStatistic(t, df18)), phrase) << t;
}

} // namespace
} // namespace korvanta::stats
