// The journal table's cells and the results sentence's figures for held-out
// data of each test, against R; the number forms of both languages.
#include "results/resultstext.h"

#include "cells.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvanta::results {
namespace {

using stats::CellValue;
using stats::TestMode;
using stats::testing::Cells;

// The two columns in the grid with the summary boxes filled from them, as
// the window fills them.
struct Data {
    std::vector<CellValue> first, second;
    stats::ColumnSummary s1, s2;
    std::string table[4];
    stats::DetailsInput input;

    Data(const std::vector<std::string>& x, const std::vector<std::string>& y,
         const std::vector<std::string>& cells = {"", "", "", ""})
        : first(Cells(x)), second(Cells(y)), s1(stats::SummariseColumn(first)), s2(stats::SummariseColumn(second))
    {
        for (int i = 0; i < 4; ++i) table[i] = cells[static_cast<std::size_t>(i)];
        input.first = first;
        input.second = second;
        input.table = {table[0], table[1], table[2], table[3]};
        if (s1.figures && s2.figures) {
            input.summary = {s1.meanShown, s1.sdShown, s1.countText, s2.meanShown, s2.sdShown, s2.countText};
            input.summary.exactMean[0] = &s1.figures->mean;
            input.summary.exactMean[1] = &s2.figures->mean;
            input.summary.exactVariance[0] = &s1.figures->variance;
            input.summary.exactVariance[1] = &s2.figures->variance;
        }
    }
};

const std::vector<std::string> kPooledX = {"12.1", "13.4", "11.8", "15.2", "14.0"};
const std::vector<std::string> kPooledY = {"10.2", "11.9", "9.8", "10.5", "12.2"};
const std::vector<std::string> kWelchX = {"10.1", "25.3", "3.2", "18.7", "30.4", "7.5", "22.0", "15.1"};
const std::vector<std::string> kWelchY = {"12.0", "12.4", "11.8", "12.1", "12.6", "11.9", "12.2", "12.3"};
const std::vector<std::string> kSkewedX = {"1.1", "1.2", "1.3", "1.2", "1.1", "1.3", "1.8"};
const std::vector<std::string> kSkewedY = {"2.1", "2.3", "2.2", "2.4", "2.0", "2.2", "2.5"};
const std::vector<std::string> kPairedX = {"5.1", "4.8", "6.3", "5.9", "5.2", "6.1", "5.7"};
const std::vector<std::string> kPairedY = {"4.2", "4.9", "4.4", "5.0", "4.1", "4.6", "4.3"};
const std::vector<std::string> kLineX = {"1.2", "2.3", "3.1", "4.8", "5.0", "6.7", "7.1", "8.4", "9.9", "10.2"};
const std::vector<std::string> kLineY = {"2.0", "2.9", "4.4", "4.1", "6.3", "6.0", "8.2", "8.1", "10.5", "10.4"};
const std::vector<std::string> kFlatX = {"1", "2", "3", "4", "5", "6", "7", "8"};
const std::vector<std::string> kFlatY = {"3", "1", "4", "1", "5", "9", "2", "6"};
const std::vector<std::string> kNone = {};

// R, with x and y the columns above (sprintf to the places shown):
//   t.test(x, y, var.equal = TRUE)            pooled: t = 3.029, df = 8, p = 0.016; 13.30 ± 1.40, 10.92 ± 1.07
//   t.test(x, y); var.test(x, y)$p.value      Welch: t = 1.329, df = 7.01, p = 0.226; F test p < 0.001;
//                                             16.54 ± 9.31, 12.16 ± 0.27
//   t.test(x, y, paired = TRUE)               t = 4.534, df = 6, p = 0.004; d 1.09 ± 0.63; 5.59 ± 0.56, 4.50 ± 0.35
//   cor.test(x, y); lm(y ~ x); confint(l)     r = 0.969 (0.872, 0.993), p = 3.7e-06; a = 0.859, b = 0.925
//                                             (0.734, 1.116)
//   chisq.test(matrix(c(a, c, b, d), 2), correct = FALSE / TRUE)
//                                             30 10 15 25: 11.429, p = 0.0007; 1 10 14 15: corrected 3.687,
//                                             p = 0.055
//   2 * min(phyper(1, 4, 10, 10), phyper(0, 4, 10, 10, lower.tail = FALSE))   1 3 9 1: 0.082
//   mcnemar.test(matrix(c(40, 10, 25, 30), 2))                      5.600, p = 0.018 (b + c < 40: corrected);
//     binom.test(25, 35)$conf.int as odds p / (1 - p): 1.1596, 5.8327
//   mcnemar.test(matrix(c(400, 35, 62, 503), 2), correct = FALSE)   7.515, p = 0.006
struct TableCase {
    const char* name;
    TestMode mode;
    Language language;
    const std::vector<std::string>& x;
    const std::vector<std::string>& y;
    std::vector<std::string> cells; // the 2x2 table
    std::vector<std::string> heading;
    std::vector<std::vector<std::string>> rows;
    const char* note; // a part of the note
};

const Names kNames{"A", "B"};

TEST(JournalTable, CellsAgainstR)
{
    const TableCase cases[] = {
        {"pooled t",
         TestMode::TwoSample,
         Language::Chinese,
         kPooledX,
         kPooledY,
         {"", "", "", ""},
         {"组别", "例数", "x̄ ± s", "t值", "P值"},
         {{"A", "5", "13.30 ± 1.40", "3.029", "0.016"}, {"B", "5", "10.92 ± 1.07", "", ""}},
         "注：两独立样本t检验，ν = 8。"},
        {"pooled t, APA",
         TestMode::TwoSample,
         Language::English,
         kPooledX,
         kPooledY,
         {"", "", "", ""},
         {"Group", "n", "M ± SD", "t(8)", "p"},
         {{"A", "5", "13.30 ± 1.40", "3.03", ".016"}, {"B", "5", "10.92 ± 1.07", "", ""}},
         "Student's independent-samples t test, df = 8."},
        {"Welch",
         TestMode::TwoSample,
         Language::Chinese,
         kWelchX,
         kWelchY,
         {"", "", "", ""},
         {"组别", "例数", "x̄ ± s", "t′值", "P值"},
         {{"A", "8", "16.54 ± 9.31", "1.329", "0.226"}, {"B", "8", "12.16 ± 0.27", "", ""}},
         "采用Welch校正t检验，ν′ = 7.01。"},
        {"Welch, APA",
         TestMode::TwoSample,
         Language::English,
         kWelchX,
         kWelchY,
         {"", "", "", ""},
         {"Group", "n", "M ± SD", "t(7.01)", "p"},
         {{"A", "8", "16.54 ± 9.31", "1.33", ".226"}, {"B", "8", "12.16 ± 0.27", "", ""}},
         "Note. Welch's t test (unequal variances, F test p < .001), df = 7.01."},
        {"paired t",
         TestMode::PairedT,
         Language::Chinese,
         kPairedX,
         kPairedY,
         {"", "", "", ""},
         {"对子数", "A（x̄ ± s）", "B（x̄ ± s）", "差值（d̄ ± s_d）", "t值", "P值"},
         {{"7", "5.59 ± 0.56", "4.50 ± 0.35", "1.09 ± 0.63", "4.534", "0.004"}},
         "注：配对t检验，ν = 6。"},
        {"paired t, APA",
         TestMode::PairedT,
         Language::English,
         kPairedX,
         kPairedY,
         {"", "", "", ""},
         {"n", "A M ± SD", "B M ± SD", "Difference M ± SD", "t(6)", "p"},
         {{"7", "5.59 ± 0.56", "4.50 ± 0.35", "1.09 ± 0.63", "4.53", ".004"}},
         "Paired t test"},
        {"correlation",
         TestMode::Correlation,
         Language::Chinese,
         kLineX,
         kLineY,
         {"", "", "", ""},
         {"例数", "r（95%CI）", "P值", "回归方程", "b（95%CI）"},
         {{"10", "0.969（0.872 ~ 0.993）", "<0.001", "Ŷ = 0.859 + 0.925X", "0.925（0.734 ~ 1.116）"}},
         "Pearson"},
        {"correlation, APA",
         TestMode::Correlation,
         Language::English,
         kLineX,
         kLineY,
         {"", "", "", ""},
         {"n", "r [95% CI]", "p", "Regression equation", "b [95% CI]"},
         {{"10", ".97 [.87, .99]", "<.001", "Ŷ = 0.859 + 0.925X", "0.925 [0.734, 1.116]"}},
         "Pearson"},
        {"chi-square",
         TestMode::FourFold,
         Language::Chinese,
         kNone,
         kNone,
         {"30", "10", "15", "25"},
         {"组别", "例数", "阳性 n（%）", "阴性 n（%）", "χ²值", "P值"},
         {{"A", "40", "30（75.0）", "10（25.0）", "11.429", "<0.001"}, {"B", "40", "15（37.5）", "25（62.5）", "", ""}},
         "OR = 5.00（95%CI：1.97 ~ 12.71，由χ²值求得的检验法区间）"},
        {"corrected chi-square: no interval that excludes 1",
         TestMode::FourFold,
         Language::Chinese,
         kNone,
         kNone,
         {"1", "10", "14", "15"},
         {"组别", "例数", "阳性 n（%）", "阴性 n（%）", "校正χ²值", "P值"},
         {{"A", "11", "1（9.1）", "10（90.9）", "3.687", "0.055"}, {"B", "29", "14（48.3）", "15（51.7）", "", ""}},
         "OR = 0.107（95%CI：0.011 ~ 1.048，由校正χ²值求得的检验法区间）"},
        {"Fisher, APA",
         TestMode::FourFold,
         Language::English,
         kNone,
         kNone,
         {"1", "3", "9", "1"},
         {"Group", "n", "Positive n (%)", "Negative n (%)", "p"},
         {{"A", "4", "1 (25.0)", "3 (75.0)", ".082"}, {"B", "10", "9 (90.0)", "1 (10.0)", ""}},
         "The conditional MLE OR = 0.0555, 95% CI [0.0006, 1.2870] (conditional exact)."},
        {"McNemar, corrected",
         TestMode::PairedChiSquare,
         Language::Chinese,
         kNone,
         kNone,
         {"40", "25", "10", "30"},
         {"A＼B", "+", "−", "合计", "校正χ²值", "P值"},
         {{"+", "40", "25", "65", "5.600", "0.018"},
          {"−", "10", "30", "40", "", ""},
          {"合计", "50", "55", "105", "", ""}},
         "b + c < 40，采用连续性校正"},
        {"McNemar, APA",
         TestMode::PairedChiSquare,
         Language::English,
         kNone,
         kNone,
         {"400", "35", "62", "503"},
         {"A \\ B", "+", "−", "Total", "χ²(1)", "p"},
         {{"+", "400", "35", "435", "7.52", ".006"},
          {"−", "62", "503", "565", "", ""},
          {"Total", "462", "538", "1000", "", ""}},
         "Note. McNemar's test."},
    };
    for (const TableCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Data data(c.x, c.y, c.cells);
        const JournalTable table = MakeJournalTable(c.mode, data.input, kNames, c.language);
        EXPECT_EQ(table.heading, c.heading);
        EXPECT_EQ(table.rows, c.rows);
        EXPECT_NE(table.note.find(c.note), std::string::npos) << table.note;
        EXPECT_EQ(table.title.rfind(c.language == Language::Chinese ? "表1 " : "Table 1. ", 0), 0u) << table.title;
    }
}

// The sentence names the test used, its statistic with df and the exact P,
// and the effect with the interval that agrees with that P; a result that is
// not significant is never worded as a difference (R as above, and
//   t.test(c(1.1, 1.2, 1.3, 1.2, 1.1, 1.3, 1.8), c(2.1, 2.3, 2.2, 2.4, 2.0, 2.2, 2.5), var.equal = TRUE)
//     t = -8.555, p < 0.001; shapiro.test(x) p = 0.012; wilcox.test(x, y) W = 0, p = 0.002
//   cor.test(1:8, c(3, 1, 4, 1, 5, 9, 2, 6)) r = 0.477 (-0.3424, 0.8845), p = 0.232).
struct TextCase {
    const char* name;
    TestMode mode;
    Language language;
    const std::vector<std::string>& x;
    const std::vector<std::string>& y;
    std::vector<std::string> cells;
    std::vector<std::string> methodsHas, resultsHas, resultsLacks;
};

TEST(ResultsText, FiguresAndWordsAgainstR)
{
    const TextCase cases[] = {
        {"pooled t",
         TestMode::TwoSample,
         Language::Chinese,
         kPooledX,
         kPooledY,
         {"", "", "", ""},
         {"统计学方法：", "两独立样本t检验"},
         {"结果：A（13.30 ± 1.40，n = 5）与B（10.92 ± 1.07，n = 5）的差异有统计学意义（t = 3.029，ν = 8，P = 0.016）",
          "均数差为2.38（95%CI：0.57 ~ 4.19）"},
         {"无统计学意义"}},
        {"pooled t, APA",
         TestMode::TwoSample,
         Language::English,
         kPooledX,
         kPooledY,
         {"", "", "", ""},
         {"Student's independent-samples t test", "p < .05"},
         {"A (M = 13.30, SD = 1.40, n = 5) scored higher than B", "t(8) = 3.03, p = .016",
          "mean difference = 2.38, 95% CI [0.57, 4.19]"},
         {"not statistically"}},
        {"Welch, not significant",
         TestMode::TwoSample,
         Language::Chinese,
         kWelchX,
         kWelchY,
         {"", "", "", ""},
         {"Welch校正t检验"},
         {"差异无统计学意义（t′ = 1.329，ν = 7.01，P = 0.226）", "（95%CI：−3.41 ~ 12.16）", "尚不能认为"},
         {"有统计学意义", "高于"}},
        {"Welch, APA, not significant",
         TestMode::TwoSample,
         Language::English,
         kWelchX,
         kWelchY,
         {"", "", "", ""},
         {"Welch's t test"},
         {"was not statistically significant, t(7.01) = 1.33, p = .226", "95% CI [−3.41, 12.16]"},
         {"higher", "lower"}},
        {"small non-normal sample: the rank test beside",
         TestMode::TwoSample,
         Language::Chinese,
         kSkewedX,
         kSkewedY,
         {"", "", "", ""},
         {"Mann–Whitney U检验"},
         {"P < 0.001", "A数据不服从正态分布（Shapiro–Wilk检验 P = 0.012，n < 30）", "U = 0，P = 0.002"},
         {"B数据不服从"}},
        {"paired t",
         TestMode::PairedT,
         Language::Chinese,
         kPairedX,
         kPairedY,
         {"", "", "", ""},
         {"配对t检验"},
         {"差异有统计学意义（t = 4.534，ν = 6，P = 0.004）", "差值均数为1.09（95%CI：0.50 ~ 1.67）"},
         {}},
        {"correlation",
         TestMode::Correlation,
         Language::Chinese,
         kLineX,
         kLineY,
         {"", "", "", ""},
         {"Pearson"},
         {"呈正相关（r = 0.969，95%CI：0.872 ~ 0.993，n = 10，P < 0.001）", "Ŷ = 0.859 + 0.925X",
          "b = 0.925（95%CI：0.734 ~ 1.116）"},
         {}},
        {"correlation, not significant, APA",
         TestMode::Correlation,
         Language::English,
         kFlatX,
         kFlatY,
         {"", "", "", ""},
         {"Pearson"},
         {"were not significantly correlated, r(6) = .48, 95% CI [−.34, .88], p = .232"},
         {"positively", "regression equation"}},
        {"chi-square",
         TestMode::FourFold,
         Language::Chinese,
         kNone,
         kNone,
         {"30", "10", "15", "25"},
         {"χ²检验"},
         {"A阳性率为75.0%（30/40）", "差异有统计学意义（χ² = 11.429，P < 0.001），OR = 5.00（95%CI：1.97 ~ 12.71）"},
         {}},
        {"corrected chi-square, not significant",
         TestMode::FourFold,
         Language::Chinese,
         kNone,
         kNone,
         {"1", "10", "14", "15"},
         {"连续性校正χ²检验"},
         {"差异无统计学意义（校正χ² = 3.687，P = 0.055），OR = 0.107（95%CI：0.011 ~ 1.048）"},
         {"有统计学意义", "0.012"}},
        {"Fisher, APA",
         TestMode::FourFold,
         Language::English,
         kNone,
         kNone,
         {"1", "3", "9", "1"},
         {"Fisher's exact test", "central two-sided p"},
         {"not statistically significant, Fisher's exact test, p = .082, OR = 0.0555, 95% CI [0.0006, 1.2870]"},
         {".041"}},
        {"McNemar, APA",
         TestMode::PairedChiSquare,
         Language::English,
         kNone,
         kNone,
         {"40", "25", "10", "30"},
         {"McNemar's test"},
         {"statistically significant, χ²(1, N = 105) = 5.60, p = .018 (continuity-corrected), matched OR = 2.50, 95% "
          "CI [1.16, 5.83]."},
         {"not statistically"}},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Data data(c.x, c.y, c.cells);
        const ResultsText text = MakeResultsText(c.mode, data.input, kNames, c.language);
        for (const std::string& part : c.methodsHas)
            EXPECT_NE(text.methods.find(part), std::string::npos) << part << "\n" << text.methods;
        for (const std::string& part : c.resultsHas)
            EXPECT_NE(text.results.find(part), std::string::npos) << part << "\n" << text.results;
        for (const std::string& part : c.resultsLacks)
            EXPECT_EQ(text.results.find(part), std::string::npos) << part << "\n" << text.results;
    }
}

// Number forms: Chinese three decimals and "P = 0.023", APA two decimals and
// "p = .023" without the leading zero, the minus sign U+2212.
TEST(ResultsFormat, ChineseAndApaForms)
{
    const struct {
        double p;
        Language language;
        const char* cell;
        const char* phrase;
    } ps[] = {
        {0.0234, Language::Chinese, "0.023", "P = 0.023"},  {0.0234, Language::English, ".023", "p = .023"},
        {0.0004, Language::Chinese, "<0.001", "P < 0.001"}, {0.0004, Language::English, "<.001", "p < .001"},
        {0.0012, Language::English, ".001", "p = .001"},    {1.0, Language::English, "1.000", "p = 1.000"},
    };
    for (const auto& c : ps) {
        EXPECT_EQ(PCell(stats::Figure::Of(c.p), c.language), c.cell);
        EXPECT_EQ(PPhrase(stats::Figure::Of(c.p), c.language), c.phrase);
    }
    EXPECT_EQ(Fixed(-2.345, 2), "\u22122.35"); // -2.345 is just below -2.345 as a double
    EXPECT_EQ(Fixed(-0.0004, 3), "0.000");
    EXPECT_EQ(NoLeadingZero("\u22120.34"), "\u2212.34");
    EXPECT_EQ(Statistic(3.9365, Language::Chinese), "3.937");
    EXPECT_EQ(Statistic(3.9365, Language::English), "3.94");
}

} // namespace
} // namespace korvanta::results
