#include "results/resultstext.h"

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

const std::string kLevel = "以双侧P < 0.05为差异有统计学意义。";
const std::string kLevelEn = "A two-sided p < .05 was considered statistically significant.";

std::string Level(const Words& w) { return w.Zh() ? kLevel : kLevelEn; }

bool Significant(const stats::Figure& p) { return p.Has() && p.value < 0.05; }

// "（M = 12.35，SD = 2.10，n = 10）" style group description.
std::string GroupFigures(const detail::Group& g, const Words& w)
{
    if (w.Zh()) return "（" + MeanSd(g.mean, g.sd, g.decimals) + "，n = " + Fixed(g.n, 0) + "）";
    return " (M = " + Fixed(g.mean, g.decimals) + ", SD = " + Fixed(g.sd, g.decimals) + ", n = " + Fixed(g.n, 0) + ")";
}

// "t = 3.937，ν = 19，P < 0.001" / "t(19) = 3.94, p < .001"
std::string TStatement(const char* symbol, const stats::TFigures& t, const Words& w)
{
    const std::string value = Statistic(std::fabs(t.t.value), w.language);
    if (w.Zh())
        return std::string(symbol) + " = " + value + "，ν = " + Df(t.df.value) + "，" + PPhrase(t.p, w.language);
    return "t(" + Df(t.df.value) + ") = " + value + ", " + PPhrase(t.p, w.language);
}

ResultsText TwoSample(const stats::DetailsInput& input, const Names& names, const Words& w)
{
    ResultsText text;
    const auto a = detail::AnalyseTwoSample(input);
    const bool anyNonNormal = a && (a->nonNormal[0] || a->nonNormal[1]);
    if (w.Zh()) {
        text.methods = "统计学方法：计量资料以x̄ ± s表示。两组比较采用";
        text.methods += a && a->welch ? "Welch校正t检验（F检验提示方差不齐）" : "两独立样本t检验";
        text.methods += "，方差齐性采用F检验";
        if (a && a->details.rawData) text.methods += "，正态性采用Shapiro–Wilk检验";
        if (anyNonNormal) text.methods += "；小样本（n < 30）数据不服从正态分布时，同时采用Mann–Whitney U检验";
        text.methods += "。" + Level(w);
    } else {
        text.methods = "Statistical analysis. Data are presented as M ± SD. The two groups were compared with ";
        text.methods += a && a->welch ? "Welch's t test (the F test showed unequal variances)"
                                      : "Student's independent-samples t test";
        text.methods += "; equality of variances was checked with the F test";
        if (a && a->details.rawData) text.methods += " and normality with the Shapiro–Wilk test";
        if (anyNonNormal)
            text.methods +=
                "; where a small sample (n < 30) departed from normality, the Mann–Whitney U test was also used";
        text.methods += ". " + Level(w);
    }
    if (!a) return text;
    const auto& d = a->details;
    const bool significant = Significant(a->Test().p);
    const int dp = DecimalsFor(d.diff.value);
    const std::string difference = Fixed(d.diff.value, dp) + CiText(a->Test().ci, dp, w.language);
    const std::string statement = TStatement(a->welch ? "t′" : "t", a->Test(), w);
    if (w.Zh()) {
        text.results = "结果：" + names.first + GroupFigures(a->groups[0], w) + "与" + names.second +
                       GroupFigures(a->groups[1], w) + (significant ? "的差异有统计学意义（" : "的差异无统计学意义（") +
                       statement + "），均数差为" + difference +
                       (significant ? "。" : "，尚不能认为两组总体均数不同。");
    } else {
        text.results = "Results. ";
        if (significant) {
            text.results += names.first + GroupFigures(a->groups[0], w) +
                            (d.diff.value > 0 ? " scored higher than " : " scored lower than ") + names.second +
                            GroupFigures(a->groups[1], w) + ", " + statement + ", mean difference = " + difference +
                            ".";
        } else {
            text.results += "The difference between " + names.first + GroupFigures(a->groups[0], w) + " and " +
                            names.second + GroupFigures(a->groups[1], w) + " was not statistically significant, " +
                            statement + ", mean difference = " + difference + ".";
        }
    }
    const stats::NormalityFigures* sw[2] = {&d.sw1, &d.sw2};
    const std::string* groupNames[2] = {&names.first, &names.second};
    for (int g = 0; g < 2; ++g) {
        if (!a->nonNormal[g]) continue;
        text.results += w.Zh() ? *groupNames[g] + "数据不服从正态分布（Shapiro–Wilk检验 " +
                                     PPhrase(sw[g]->p, w.language) + "，n < 30）。"
                               : " The data of " + *groupNames[g] + " departed from normality (Shapiro–Wilk " +
                                     PPhrase(sw[g]->p, w.language) + ", n < 30).";
    }
    if (anyNonNormal && d.mannWhitney.p.Has()) {
        const bool rankSignificant = Significant(d.mannWhitney.p);
        const std::string u = Df(d.mannWhitney.statistic.value);
        text.results +=
            w.Zh()
                ? std::string("Mann–Whitney U检验：U = ") + u + "，" + PPhrase(d.mannWhitney.p, w.language) +
                      (rankSignificant ? "，差异有统计学意义。" : "，差异无统计学意义。")
                : std::string(" The Mann–Whitney U test gave U = ") + u + ", " + PPhrase(d.mannWhitney.p, w.language) +
                      (rankSignificant ? "." : " (not statistically significant).");
    }
    return text;
}

ResultsText Paired(const stats::DetailsInput& input, const Names& names, const Words& w)
{
    ResultsText text;
    const auto a = detail::AnalysePaired(input);
    const bool nonNormal = a && a->nonNormal;
    if (w.Zh()) {
        text.methods = "统计学方法：计量资料以x̄ ± s表示。" + names.first + "与" + names.second +
                       "的比较采用配对t检验，差值的正态性采用Shapiro–Wilk检验";
        if (nonNormal) text.methods += "；差值不服从正态分布（n < 30），同时采用Wilcoxon符号秩检验";
        text.methods += "。" + Level(w);
    } else {
        text.methods = "Statistical analysis. Data are presented as M ± SD. " + names.first + " and " + names.second +
                       " were compared with the paired t test; normality of the differences was checked with the "
                       "Shapiro–Wilk test";
        if (nonNormal)
            text.methods +=
                "; as the differences departed from normality (n < 30), the Wilcoxon signed-rank test was also used";
        text.methods += ". " + Level(w);
    }
    if (!a) return text;
    const auto& d = a->details;
    const bool significant = Significant(d.paired.p);
    const int dp = DecimalsFor(d.diff.value);
    const std::string difference = Fixed(d.diff.value, dp) + CiText(d.paired.ci, dp, w.language);
    const std::string statement = TStatement("t", d.paired, w);
    if (w.Zh()) {
        text.results = "结果：" + Fixed(a->difference.n, 0) + "对资料中，" + names.first +
                       GroupFigures(a->columns[0], w) + "与" + names.second + GroupFigures(a->columns[1], w) +
                       (significant ? "的差异有统计学意义（" : "的差异无统计学意义（") + statement + "），差值均数为" +
                       difference + (significant ? "。" : "，尚不能认为两者总体均数不同。");
    } else {
        text.results = "Results. Across " + Fixed(a->difference.n, 0) + " pairs, " + names.first +
                       GroupFigures(a->columns[0], w) + (significant ? " differed from " : " and ") + names.second +
                       GroupFigures(a->columns[1], w) + (significant ? ", " : " did not differ significantly, ") +
                       statement + ", mean difference = " + difference + ".";
    }
    if (nonNormal && d.wilcoxon.p.Has()) {
        const bool rankSignificant = Significant(d.wilcoxon.p);
        const std::string v = Df(d.wilcoxon.statistic.value);
        text.results += w.Zh() ? "差值不服从正态分布（Shapiro–Wilk检验 " + PPhrase(d.sw.p, w.language) +
                                     "），Wilcoxon符号秩检验：V = " + v + "，" + PPhrase(d.wilcoxon.p, w.language) +
                                     (rankSignificant ? "，差异有统计学意义。" : "，差异无统计学意义。")
                               : " The differences departed from normality (Shapiro–Wilk " +
                                     PPhrase(d.sw.p, w.language) + "); the Wilcoxon signed-rank test gave V = " + v +
                                     ", " + PPhrase(d.wilcoxon.p, w.language) +
                                     (rankSignificant ? "." : " (not statistically significant).");
    }
    return text;
}

ResultsText Correlation(const stats::DetailsInput& input, const Names& names, const Words& w)
{
    ResultsText text;
    text.methods = w.Zh() ? "统计学方法：" + names.first + "与" + names.second +
                                "的关系采用Pearson直线相关分析（r的95%CI由Fisher z变换求得）和最小二乘直线回归。" +
                                Level(w)
                          : "Statistical analysis. The association of " + names.first + " and " + names.second +
                                " was assessed with Pearson correlation (95% CI of r by Fisher's z) and "
                                "least-squares linear regression. " +
                                Level(w);
    const auto a = detail::AnalyseCorrelation(input);
    if (!a) return text;
    const auto& d = a->details;
    const bool significant = Significant(d.rP);
    std::string r = Fixed(d.r.value, w.Zh() ? 3 : 2);
    if (!w.Zh()) r = NoLeadingZero(r);
    std::string ci;
    if (a->rCi.low.Has() && a->rCi.high.Has()) {
        const int rd = w.Zh() ? 3 : 2;
        std::string low = Fixed(a->rCi.low.value, rd), high = Fixed(a->rCi.high.value, rd);
        ci = w.Zh() ? "，95%CI：" + low + " ~ " + high
                    : ", 95% CI [" + NoLeadingZero(low) + ", " + NoLeadingZero(high) + "]";
    }
    const std::string df = Df(d.n.value - 2);
    const bool line = d.slope.estimate.Has() && d.intercept.estimate.Has();
    std::string equation;
    if (line) {
        const double b = d.slope.estimate.value, intercept = d.intercept.estimate.value;
        const std::string bText = Fixed(std::fabs(b), DecimalsFor(b));
        equation = "Ŷ = " + Fixed(intercept, DecimalsFor(intercept)) + (b < 0 ? " − " : " + ") + bText + "X";
    }
    const int bd = line ? DecimalsFor(d.slope.estimate.value) : 2;
    if (w.Zh()) {
        text.results = "结果：" + names.first + "与" + names.second +
                       (significant ? (d.r.value > 0 ? "呈正相关（" : "呈负相关（") : "的直线相关无统计学意义（") +
                       "r = " + r + ci + "，n = " + Fixed(d.n.value, 0) + "，" + PPhrase(d.rP, w.language) + "）";
        if (significant && line)
            text.results += "，回归方程为" + equation + "，回归系数b = " + Fixed(d.slope.estimate.value, bd) +
                            CiText(d.slope.ci, bd, w.language) + "。";
        else
            text.results += significant ? "。" : "，尚不能认为两者存在直线相关。";
    } else {
        text.results =
            "Results. " + names.first + " and " + names.second +
            (significant ? (d.r.value > 0 ? " were positively correlated, " : " were negatively correlated, ")
                         : " were not significantly correlated, ") +
            "r(" + df + ") = " + r + ci + ", " + PPhrase(d.rP, w.language) + ".";
        if (significant && line)
            text.results += " The regression equation was " + equation + ", b = " + Fixed(d.slope.estimate.value, bd) +
                            CiText(d.slope.ci, bd, w.language) + ".";
    }
    return text;
}

std::string Percent(double count, double total) { return total > 0 ? Fixed(100 * count / total, 1) + "%" : "—"; }

ResultsText FourFold(const stats::DetailsInput& input, const Names& names, const Words& w)
{
    ResultsText text;
    const auto a = detail::AnalyseFourFold(input);
    const stats::TableMethod method = a ? a->details.method : stats::TableMethod::None;
    std::string test;
    switch (method) {
    case stats::TableMethod::ChiSquare:
        test = w("χ²检验", "Pearson's χ² test");
        break;
    case stats::TableMethod::Yates:
        test = w("连续性校正χ²检验（有理论数 1 ≤ T < 5）",
                 "the χ² test with Yates's continuity correction (an expected count below 5)");
        break;
    case stats::TableMethod::Fisher:
        test =
            w("Fisher确切概率法（n < 40或有理论数 T < 1；P为中心法双侧P，即单侧P较小者的两倍，与条件精确法OR区间相应）",
              "Fisher's exact test (N < 40 or an expected count below 1; the central two-sided p, twice the smaller "
              "one-sided p, which agrees with the conditional exact CI of the OR)");
        break;
    case stats::TableMethod::None:
        test = w("χ²检验或Fisher确切概率法", "the χ² test or Fisher's exact test");
        break;
    }
    if (w.Zh()) {
        text.methods = "统计学方法：计数资料以例数（%）表示，组间比较采用" + test + "。" + Level(w);
    } else {
        text.methods = "Statistical analysis. Counts are presented as n (%); the groups were compared with " + test +
                       ". " + Level(w);
    }
    if (!a) return text;
    const auto& c = a->counts;
    const bool significant = Significant(a->p);
    std::string statement;
    if (method == stats::TableMethod::Fisher) {
        statement = w("Fisher确切概率法，", "Fisher's exact test, ") + PPhrase(a->p, w.language);
    } else if (a->statistic.Has()) {
        const std::string value = Statistic(a->statistic.value, w.language);
        statement = w.Zh() ? (method == stats::TableMethod::Yates ? "校正χ² = " : "χ² = ") + value + "，" +
                                 PPhrase(a->p, w.language)
                           : "χ²(1, N = " + Fixed(c.N(), 0) + ") = " + value + ", " + PPhrase(a->p, w.language);
    }
    std::string odds;
    if (a->odds.estimate.Has() && a->odds.ci.low.Has() && a->odds.ci.high.Has()) {
        const int od = DecimalsFor(a->odds.estimate.value);
        odds =
            (w.Zh() ? "，OR = " : ", OR = ") + Fixed(a->odds.estimate.value, od) + CiText(a->odds.ci, od, w.language);
    }
    const double row1 = c.a + c.b, row2 = c.c + c.d;
    if (w.Zh()) {
        text.results = "结果：" + names.first + "阳性率为" + Percent(c.a, row1) + "（" + Fixed(c.a, 0) + "/" +
                       Fixed(row1, 0) + "），" + names.second + "为" + Percent(c.c, row2) + "（" + Fixed(c.c, 0) + "/" +
                       Fixed(row2, 0) + "），" + (significant ? "差异有统计学意义（" : "差异无统计学意义（") +
                       statement + "）" + odds + (significant ? "。" : "，尚不能认为两组阳性率不同。");
    } else {
        text.results = "Results. The positive rate was " + Percent(c.a, row1) + " (" + Fixed(c.a, 0) + "/" +
                       Fixed(row1, 0) + ") in " + names.first + " and " + Percent(c.c, row2) + " (" + Fixed(c.c, 0) +
                       "/" + Fixed(row2, 0) + ") in " + names.second +
                       (significant ? "; the difference was statistically significant, "
                                    : "; the difference was not statistically significant, ") +
                       statement + odds + ".";
    }
    return text;
}

ResultsText PairedCounts(const stats::DetailsInput& input, const Names& names, const Words& w)
{
    ResultsText text;
    const auto a = detail::AnalysePairedTable(input);
    const bool corrected = !a || a->corrected;
    text.methods = w.Zh() ? std::string("统计学方法：配对计数资料采用配对χ²检验（McNemar检验）") +
                                (corrected ? "，b + c < 40时采用连续性校正公式" : "") + "。" + Level(w)
                          : std::string("Statistical analysis. Paired counts were compared with McNemar's test") +
                                (corrected ? ", with continuity correction where b + c < 40" : "") + ". " + Level(w);
    if (!a) return text;
    const auto& c = a->counts;
    const bool significant = Significant(a->p);
    const std::string value = Statistic(a->statistic.value, w.language);
    const double n = c.N();
    // The matched odds ratio b / c with its exact interval, where that
    // interval agrees with the P reported.
    std::string odds;
    const stats::Interval ci = stats::AgreeingWith(a->p, a->details.matchedOrExactCi, 1);
    if (a->details.matchedOr.Has() && ci.low.Has() && ci.high.Has()) {
        const int od = DecimalsFor(a->details.matchedOr.value);
        odds = (w.Zh() ? "，配对OR = " : ", matched OR = ") + Fixed(a->details.matchedOr.value, od) +
               CiText(ci, od, w.language);
    }
    if (w.Zh()) {
        text.results = "结果：" + Fixed(n, 0) + "对中，" + names.second + "阳性、" + names.first + "阴性" +
                       Fixed(c.c, 0) + "对，" + names.second + "阴性、" + names.first + "阳性" + Fixed(c.b, 0) +
                       "对，" + (significant ? "差异有统计学意义（" : "差异无统计学意义（") +
                       (corrected ? "校正χ² = " : "χ² = ") + value + "，" + PPhrase(a->p, w.language) + "）" + odds +
                       (significant ? "。" : "，尚不能认为两者阳性率不同。");
    } else {
        text.results = "Results. Of " + Fixed(n, 0) + " pairs, " + Fixed(c.b, 0) + " were positive by " + names.first +
                       " only and " + Fixed(c.c, 0) + " by " + names.second + " only; " +
                       (significant ? "the difference was statistically significant, "
                                    : "the difference was not statistically significant, ") +
                       "χ²(1, N = " + Fixed(n, 0) + ") = " + value + ", " + PPhrase(a->p, w.language) +
                       (corrected ? " (continuity-corrected)" : "") + odds + ".";
    }
    return text;
}

} // namespace

ResultsText MakeResultsText(stats::TestMode mode, const stats::DetailsInput& input, const Names& names,
                            Language language)
{
    const Words w{language};
    switch (mode) {
    case stats::TestMode::TwoSample:
        return TwoSample(input, names, w);
    case stats::TestMode::PairedT:
        return Paired(input, names, w);
    case stats::TestMode::Correlation:
        return Correlation(input, names, w);
    case stats::TestMode::FourFold:
        return FourFold(input, names, w);
    case stats::TestMode::PairedChiSquare:
        return PairedCounts(input, names, w);
    }
    return {};
}

std::string ResultsTextPlain(const ResultsText& text)
{
    return text.results.empty() ? text.methods : text.methods + "\n\n" + text.results;
}

} // namespace korvanta::results
