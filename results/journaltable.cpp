#include "results/journaltable.h"

#include "results/analysis.h"

#include <cmath>

namespace korvanta::results {

namespace {

using detail::MeanSd;

struct Words {
    Language language;
    bool Zh() const { return language == Language::Chinese; }
    std::string operator()(const char* chinese, const char* english) const { return Zh() ? chinese : english; }
};

std::string Count(double value) { return Fixed(value, 0); }

// "12（30.0）" / "12 (30.0)"
std::string CountPercent(double count, double total, const Words& w)
{
    const std::string percent = total > 0 ? Fixed(100 * count / total, 1) : "—";
    return Count(count) + w("（", " (") + percent + w("）", ")");
}

std::string TwoSampleNote(const detail::TwoSample& a, const Names& names, const Words& w)
{
    const auto& d = a.details;
    std::string note;
    if (a.welch) {
        note = w("注：方差不齐（F检验 ", "Note. Welch's t test (unequal variances, F test ") +
               PPhrase(d.varP, w.language) + w("），采用Welch校正t检验，ν′ = ", "), df = ") + Df(d.welch.df.value) +
               w("。", ".");
    } else {
        note = w("注：两独立样本t检验，ν = ", "Note. Student's independent-samples t test, df = ") +
               Df(d.pooled.df.value) + w("。", ".");
    }
    const std::string* groupNames[2] = {&names.first, &names.second};
    const stats::NormalityFigures* sw[2] = {&d.sw1, &d.sw2};
    bool anyNonNormal = false;
    for (int g = 0; g < 2; ++g) {
        if (!a.nonNormal[g]) continue;
        anyNonNormal = true;
        note += w("", " ") + *groupNames[g] +
                w("不服从正态分布（Shapiro–Wilk检验 ", " departed from normality (Shapiro–Wilk ") +
                PPhrase(sw[g]->p, w.language) + w("，n < 30）。", ", n < 30).");
    }
    if (anyNonNormal && d.mannWhitney.statistic.Has())
        note += w("Mann–Whitney U检验：U = ", " Mann–Whitney U = ") + Df(d.mannWhitney.statistic.value) +
                w("，", ", ") + PPhrase(d.mannWhitney.p, w.language) + w("。", ".");
    return note;
}

JournalTable TwoSampleTable(const stats::DetailsInput& input, const Names& names, const Words& w)
{
    JournalTable t;
    t.title = w("表1 ", "Table 1. ") + w("", "Comparison of ") + names.first + w("与", " and ") + names.second +
              w("的比较（x̄ ± s）", " (M ± SD)");
    const auto a = detail::AnalyseTwoSample(input);
    const std::string statistic = a && a->welch ? w("t′值", "t") : w("t值", "t");
    const std::string df = a ? w("", ("(" + Df(a->Test().df.value) + ")").c_str()) : "";
    t.heading = {w("组别", "Group"), w("例数", "n"), w("x̄ ± s", "M ± SD"), statistic + df, w("P值", "p")};
    if (!a) return t;
    const std::string* groupNames[2] = {&names.first, &names.second};
    for (int g = 0; g < 2; ++g) {
        const detail::Group& group = a->groups[g];
        std::vector<std::string> row = {*groupNames[g], Count(group.n), MeanSd(group.mean, group.sd, group.decimals)};
        if (g == 0) {
            row.push_back(Statistic(a->Test().t.value, w.language));
            row.push_back(PCell(a->Test().p, w.language));
        } else {
            row.insert(row.end(), {"", ""});
        }
        t.rows.push_back(row);
    }
    t.note = TwoSampleNote(*a, names, w);
    return t;
}

JournalTable PairedTable(const stats::DetailsInput& input, const Names& names, const Words& w)
{
    JournalTable t;
    t.title = w("表1 ", "Table 1. ") + w("", "Paired Comparison of ") + names.first + w("与", " and ") + names.second +
              w("的配对比较（x̄ ± s）", " (M ± SD)");
    const auto a = detail::AnalysePaired(input);
    const std::string df = a ? w("", ("(" + Df(a->details.paired.df.value) + ")").c_str()) : "";
    t.heading = {w("对子数", "n"),
                 names.first + w("（x̄ ± s）", " M ± SD"),
                 names.second + w("（x̄ ± s）", " M ± SD"),
                 w("差值（d̄ ± s_d）", "Difference M ± SD"),
                 w("t值", "t") + df,
                 w("P值", "p")};
    if (!a) return t;
    t.rows.push_back({Count(a->difference.n), MeanSd(a->columns[0].mean, a->columns[0].sd, a->columns[0].decimals),
                      MeanSd(a->columns[1].mean, a->columns[1].sd, a->columns[1].decimals),
                      MeanSd(a->difference.mean, a->difference.sd, a->difference.decimals),
                      Statistic(a->details.paired.t.value, w.language), PCell(a->details.paired.p, w.language)});
    t.note = w("注：配对t检验，ν = ", "Note. Paired t test, df = ") + Df(a->details.paired.df.value) + w("。", ".");
    if (a->nonNormal) {
        t.note +=
            w("差值不服从正态分布（Shapiro–Wilk检验 ", " The differences departed from normality (Shapiro–Wilk ") +
            PPhrase(a->details.sw.p, w.language) + w("，n < 30）", ", n < 30)");
        if (a->details.wilcoxon.statistic.Has())
            t.note += w("；Wilcoxon符号秩检验：V = ", "; Wilcoxon signed-rank V = ") +
                      Df(a->details.wilcoxon.statistic.value) + w("，", ", ") +
                      PPhrase(a->details.wilcoxon.p, w.language);
        t.note += w("。", ".");
    }
    return t;
}

// "0.873（0.601 ~ 0.964）" / ".87 [.60, .96]"
std::string WithInterval(const std::string& estimate, const stats::Interval& ci, int decimals, bool apaCoefficient,
                         const Words& w)
{
    if (!ci.low.Has() || !ci.high.Has()) return estimate;
    std::string low = Fixed(ci.low.value, decimals), high = Fixed(ci.high.value, decimals);
    if (apaCoefficient) {
        low = NoLeadingZero(low);
        high = NoLeadingZero(high);
    }
    return estimate + w("（", " [") + low + w(" ~ ", ", ") + high + w("）", "]");
}

// "Ŷ = 1.23 + 0.45X"
std::string Equation(double intercept, double slope)
{
    const std::string b = Fixed(std::fabs(slope), DecimalsFor(slope));
    const bool negative = slope < 0 && b.find_first_not_of("0.") != std::string::npos;
    return "Ŷ = " + Fixed(intercept, DecimalsFor(intercept)) + (negative ? " − " : " + ") + b + "X";
}

JournalTable CorrelationTable(const stats::DetailsInput& input, const Names& names, const Words& w)
{
    JournalTable t;
    t.title = w("表1 ", "Table 1. ") + w("", "Correlation of ") + names.first + w("与", " and ") + names.second +
              w("的相关与回归分析", " and Regression of the Second on the First");
    t.heading = {w("例数", "n"), w("r（95%CI）", "r [95% CI]"), w("P值", "p"), w("回归方程", "Regression equation"),
                 w("b（95%CI）", "b [95% CI]")};
    const auto a = detail::AnalyseCorrelation(input);
    if (!a) return t;
    const auto& d = a->details;
    const int rDecimals = w.Zh() ? 3 : 2;
    std::string r = Fixed(d.r.value, rDecimals);
    if (!w.Zh()) r = NoLeadingZero(r);
    const bool line = d.slope.estimate.Has() && d.intercept.estimate.Has();
    const int bDecimals = line ? DecimalsFor(d.slope.estimate.value) : 2;
    t.rows.push_back(
        {Count(d.n.value), WithInterval(r, a->rCi, rDecimals, !w.Zh(), w), PCell(d.rP, w.language),
         line ? Equation(d.intercept.estimate.value, d.slope.estimate.value) : "—",
         line ? WithInterval(Fixed(d.slope.estimate.value, bDecimals), d.slope.ci, bDecimals, false, w) : "—"});
    t.note = w("注：Pearson相关分析（r的95%CI由Fisher z变换求得），最小二乘直线回归（b的检验与r的检验等价）；X为",
               "Note. Pearson correlation (95% CI of r by Fisher's z) and least-squares regression (the test of b is "
               "the test of r); X is ") +
             names.first + w("，Y为", ", Y is ") + names.second + w("。", ".");
    if (!a->rCi.low.Has() && d.rCi.low.Has())
        t.note += w("Fisher z区间与t检验的P不一致，未列出。",
                    " The Fisher z interval is not shown: it would disagree with the t test's p.");
    return t;
}

std::string OddsRatioNote(const detail::FourFold& a, const Words& w)
{
    if (!a.odds.estimate.Has() || !a.odds.ci.low.Has() || !a.odds.ci.high.Has()) return "";
    const int decimals = DecimalsFor(a.odds.estimate.value);
    const char* method = "";
    switch (a.details.method) {
    case stats::TableMethod::ChiSquare:
        method = w.Zh() ? "，由χ²值求得的检验法区间" : ", test-based from χ²";
        break;
    case stats::TableMethod::Yates:
        method = w.Zh() ? "，由校正χ²值求得的检验法区间" : ", test-based from the corrected χ²";
        break;
    case stats::TableMethod::Fisher:
        method = w.Zh() ? "，条件精确法" : ", conditional exact";
        break;
    case stats::TableMethod::None:
        break;
    }
    const std::string estimate = Fixed(a.odds.estimate.value, decimals);
    const std::string low = Fixed(a.odds.ci.low.value, decimals), high = Fixed(a.odds.ci.high.value, decimals);
    const std::string name =
        a.details.method == stats::TableMethod::Fisher ? w("条件极大似然OR", "conditional MLE OR") : std::string("OR");
    if (w.Zh()) return name + " = " + estimate + "（95%CI：" + low + " ~ " + high + method + "）。";
    return " " + (name == "OR" ? name : std::string("The conditional MLE OR")) + " = " + estimate + ", 95% CI [" + low +
           ", " + high + "] (" + std::string(method + 2) + ").";
}

JournalTable FourFoldTable(const stats::DetailsInput& input, const Names& names, const Words& w)
{
    JournalTable t;
    t.title = w("表1 ", "Table 1. ") + w("", "Positive Rates of ") + names.first + w("与", " and ") + names.second +
              w("阳性率的比较", "");
    const auto a = detail::AnalyseFourFold(input);
    const bool fisher = a && a->details.method == stats::TableMethod::Fisher;
    const bool yates = a && a->details.method == stats::TableMethod::Yates;
    t.heading = {w("组别", "Group"), w("例数", "n"), w("阳性 n（%）", "Positive n (%)"),
                 w("阴性 n（%）", "Negative n (%)")};
    if (!fisher) t.heading.push_back(yates ? w("校正χ²值", "χ²(1), corrected") : w("χ²值", "χ²(1)"));
    t.heading.push_back(w("P值", "p"));
    if (!a) return t;
    const auto& c = a->counts;
    const double positive[2] = {c.a, c.c}, negative[2] = {c.b, c.d};
    const std::string* groupNames[2] = {&names.first, &names.second};
    for (int g = 0; g < 2; ++g) {
        const double total = positive[g] + negative[g];
        std::vector<std::string> row = {*groupNames[g], Count(total), CountPercent(positive[g], total, w),
                                        CountPercent(negative[g], total, w)};
        if (!fisher) row.push_back(g == 0 && a->statistic.Has() ? Statistic(a->statistic.value, w.language) : "");
        row.push_back(g == 0 ? PCell(a->p, w.language) : "");
        t.rows.push_back(row);
    }
    switch (a->details.method) {
    case stats::TableMethod::ChiSquare:
        t.note =
            w("注：χ²检验（n ≥ 40，理论数均 ≥ 5）；", "Note. Pearson's χ² test (N ≥ 40, all expected counts ≥ 5).");
        break;
    case stats::TableMethod::Yates:
        t.note = w("注：连续性校正χ²检验（n ≥ 40，有理论数 1 ≤ T < 5）；",
                   "Note. χ² test with Yates's continuity correction (N ≥ 40, an expected count below 5).");
        break;
    case stats::TableMethod::Fisher:
        t.note = w("注：Fisher确切概率法（n < 40或有理论数 T < 1），P为中心法双侧P（单侧P较小者的两倍）；",
                   "Note. Fisher's exact test (N < 40 or an expected count below 1); p is the central two-sided p "
                   "(twice the smaller one-sided p).");
        break;
    case stats::TableMethod::None:
        break;
    }
    const std::string odds = OddsRatioNote(*a, w);
    if (odds.empty() && w.Zh() && t.note.ends_with("；")) t.note.replace(t.note.size() - 3, 3, "。");
    t.note += odds;
    return t;
}

JournalTable PairedCountTable(const stats::DetailsInput& input, const Names& names, const Words& w)
{
    JournalTable t;
    t.title =
        w("表1 ", "Table 1. ") + names.first + w("与", " and ") + names.second + w("的配对比较", ": Paired Results");
    const auto a = detail::AnalysePairedTable(input);
    t.heading = {names.first + w("＼", " \\ ") + names.second,
                 "+",
                 "−",
                 w("合计", "Total"),
                 a && a->corrected ? w("校正χ²值", "χ²(1), corrected") : w("χ²值", "χ²(1)"),
                 w("P值", "p")};
    if (!a) return t;
    const auto& c = a->counts;
    t.rows.push_back({"+", Count(c.a), Count(c.b), Count(c.a + c.b), Statistic(a->statistic.value, w.language),
                      PCell(a->p, w.language)});
    t.rows.push_back({"−", Count(c.c), Count(c.d), Count(c.c + c.d), "", ""});
    t.rows.push_back({w("合计", "Total"), Count(c.a + c.c), Count(c.b + c.d), Count(c.N()), "", ""});
    t.note = a->corrected ? w("注：配对χ²检验（McNemar检验），b + c < 40，采用连续性校正。",
                              "Note. McNemar's test with continuity correction (b + c < 40).")
                          : w("注：配对χ²检验（McNemar检验）。", "Note. McNemar's test.");
    return t;
}

} // namespace

JournalTable MakeJournalTable(stats::TestMode mode, const stats::DetailsInput& input, const Names& names,
                              Language language)
{
    const Words w{language};
    switch (mode) {
    case stats::TestMode::TwoSample:
        return TwoSampleTable(input, names, w);
    case stats::TestMode::PairedT:
        return PairedTable(input, names, w);
    case stats::TestMode::Correlation:
        return CorrelationTable(input, names, w);
    case stats::TestMode::FourFold:
        return FourFoldTable(input, names, w);
    case stats::TestMode::PairedChiSquare:
        return PairedCountTable(input, names, w);
    }
    return {};
}

std::string JournalTableText(const JournalTable& table)
{
    const auto line = [](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t i = 0; i < cells.size(); ++i) text += (i ? "\t" : "") + cells[i];
        return text + "\n";
    };
    std::string text = table.title + "\n" + line(table.heading);
    for (const auto& row : table.rows) text += line(row);
    if (!table.note.empty()) text += table.note + "\n";
    return text;
}

} // namespace korvanta::results
