#include "resultsview/detailstext.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace korvanta::ui::details {

namespace {
// The texts of this file, for the translation.
struct Words {
    Q_DECLARE_TR_FUNCTIONS(korvanta::ui::DetailsText)
};
} // namespace

using stats::Figure;
using stats::Interval;
using stats::Why;

namespace {

const QString kMinus = QStringLiteral("\u2212");
const QString kCi = QStringLiteral("95%CI");

// Reports are built line by line.
struct Builder {
    Report report;
    void Heading(const QString& text) { report.lines.push_back({Line::Kind::Heading, text, {}}); }
    void Figure(const QString& label, const QString& value)
    {
        report.lines.push_back({Line::Kind::Figure, label, value});
    }
    void Note(const QString& text) { report.lines.push_back({Line::Kind::Note, text, {}}); }
};

QString Or(const Figure& f, const QString& shown) { return f.Has() ? shown : WhyText(f.why); }

// Test statistics (t, F, chi-square): three decimals.
QString Statistic(const Figure& f) { return Or(f, Number(f.value, 3)); }
// Coefficients between -1 and 1 (r, rho, kappa, W): three or four decimals.
QString Coefficient(const Figure& f, int decimals = 3) { return Or(f, Number(f.value, decimals)); }
// Degrees of freedom and counts: whole numbers as such, Welch's df to two decimals.
QString Whole(const Figure& f)
{
    if (!f.Has()) return WhyText(f.why);
    return f.value == std::floor(f.value) ? Number(f.value, 0) : Number(f.value, 2);
}
QString Estimate(const Figure& f, int decimals) { return Or(f, Number(f.value, decimals)); }

QString Range(const Interval& ci, int decimals)
{
    if (!ci.low.Has()) return WhyText(ci.low.why);
    if (!ci.high.Has()) return WhyText(ci.high.why);
    return Number(ci.low.value, decimals) + QStringLiteral(" ~ ") + Number(ci.high.value, decimals);
}

int DecimalsOf(const Figure& estimate) { return DecimalsFor(estimate.Has() ? estimate.value : 0); }

// "−2.00（95%CI：−3.88 ~ −0.12）" for the sentence; empty without the estimate.
QString WithCi(const Figure& estimate, const Interval& ci, int decimals)
{
    if (!estimate.Has()) return {};
    QString text = Number(estimate.value, decimals);
    if (ci.low.Has() && ci.high.Has()) text += Words::tr("（%1：%2）").arg(kCi, Range(ci, decimals));
    return text;
}

// "t = 2.236，ν = 18，P = 0.038"; the t without its sign, as the panel shows it.
QString TPhrase(const QString& symbol, const stats::TFigures& t)
{
    return Words::tr("%1 = %2，ν = %3，%4").arg(symbol, Number(std::fabs(t.t.value), 3), Whole(t.df), PPhrase(t.p));
}

void Rank(Builder& b, const QString& label, const stats::RankFigures& r)
{
    b.Figure(label,
             Or(r.statistic, Number(r.statistic.value, r.statistic.value == std::floor(r.statistic.value) ? 0 : 1)));
    b.Figure(r.exact ? Words::tr("P（精确概率）") : Words::tr("P（正态近似，校正）"), PValue(r.p));
}

void Normality(Builder& b, const QString& what, const stats::NormalityFigures& sw)
{
    b.Figure(what + QStringLiteral(" W"), Coefficient(sw.w, 4));
    b.Figure(what + QStringLiteral(" P"), PValue(sw.p));
}

// "X1 − X2" or "甲组 − 乙组" when the groups were named.
QString Difference(const GroupNames& names, const QString& usual)
{
    return names.Given() ? GroupName(names, 0) + QStringLiteral(" − ") + GroupName(names, 1) : usual;
}

// "第1列" or the group's name.
QString ColumnName(const GroupNames& names, int group)
{
    return names.Given() ? GroupName(names, group) : Words::tr("第%1列").arg(group + 1);
}

Report TwoSample(const stats::DetailsInput& input, const GroupNames& names)
{
    const auto r = stats::TwoSampleDetail(input.summary, input.first, input.second);
    Builder b;
    b.report.title = Words::tr("两样本均数t检验");
    const int dp = DecimalsOf(r.diff);
    b.Figure(Words::tr("均数差（%1）").arg(Difference(names, QStringLiteral("X1 − X2"))), Estimate(r.diff, dp));
    b.Heading(Words::tr("t检验（合并方差）"));
    b.Figure(QStringLiteral("t"), Statistic(r.pooled.t));
    b.Figure(Words::tr("自由度 ν"), Whole(r.pooled.df));
    b.Figure(QStringLiteral("P"), PValue(r.pooled.p));
    b.Figure(Words::tr("均数差 ") + kCi, Range(r.pooled.ci, dp));
    b.Heading(Words::tr("校正t检验（Welch）"));
    b.Figure(QStringLiteral("t′"), Statistic(r.welch.t));
    b.Figure(Words::tr("自由度 ν′（Satterthwaite）"), Whole(r.welch.df));
    b.Figure(QStringLiteral("P"), PValue(r.welch.p));
    b.Figure(Words::tr("均数差 ") + kCi, Range(r.welch.ci, dp));
    b.Heading(Words::tr("方差齐性检验（F检验）"));
    b.Figure(QStringLiteral("F = S1² / S2²"), Statistic(r.varF));
    b.Figure(Words::tr("自由度 ν1，ν2"),
             r.varDf1.Has() ? Whole(r.varDf1) + Words::tr("，") + Whole(r.varDf2) : WhyText(r.varDf1.why));
    b.Figure(QStringLiteral("P"), PValue(r.varP));
    if (stats::PreferWelch(r)) b.Note(Words::tr("方差不齐，建议采用校正t检验（Welch）"));
    b.Heading(Words::tr("效应量"));
    const int de = DecimalsOf(r.cohenD);
    b.Figure(QStringLiteral("Cohen's d"), Estimate(r.cohenD, de));
    b.Figure(QStringLiteral("Cohen's d ") + kCi, Range(r.cohenDCi, de));
    b.Figure(QStringLiteral("Hedges' g"), Estimate(r.hedgesG, de));
    if (r.rawData) {
        b.Heading(Words::tr("Mann–Whitney U检验（两列原始数据）"));
        Rank(b, Words::tr("U（%1）").arg(ColumnName(names, 0)), r.mannWhitney);
        b.Heading(Words::tr("正态性检验（Shapiro–Wilk）"));
        Normality(b, ColumnName(names, 0), r.sw1);
        Normality(b, ColumnName(names, 1), r.sw2);
    }
    const stats::TFigures& chosen = stats::PreferWelch(r) ? r.welch : r.pooled;
    if (chosen.t.Has()) {
        b.report.sentence = TPhrase(stats::PreferWelch(r) ? QStringLiteral("t′") : QStringLiteral("t"), chosen) +
                            Words::tr("；均数差 ") + WithCi(r.diff, chosen.ci, dp);
    }
    return b.report;
}

Report Paired(const stats::DetailsInput& input, const GroupNames& names)
{
    const auto r = stats::PairedDetail(input.first, input.second);
    Builder b;
    b.report.title = Words::tr("配对资料t检验");
    const int dp = DecimalsOf(r.diff);
    b.Figure(Words::tr("对子数 n"), Whole(r.n));
    b.Figure(Words::tr("差值均数（%1）").arg(Difference(names, Words::tr("第1列 − 第2列"))), Estimate(r.diff, dp));
    b.Figure(Words::tr("差值均数 ") + kCi, Range(r.paired.ci, dp));
    b.Figure(QStringLiteral("t"), Statistic(r.paired.t));
    b.Figure(Words::tr("自由度 ν"), Whole(r.paired.df));
    b.Figure(QStringLiteral("P"), PValue(r.paired.p));
    b.Figure(QStringLiteral("Cohen's dz"), Estimate(r.dz, DecimalsOf(r.dz)));
    b.Heading(Words::tr("差值的正态性检验（Shapiro–Wilk）"));
    Normality(b, Words::tr("差值"), r.sw);
    b.Heading(Words::tr("Wilcoxon符号秩检验"));
    Rank(b, Words::tr("V（正差值秩和）"), r.wilcoxon);
    if (r.paired.t.Has())
        b.report.sentence =
            TPhrase(QStringLiteral("t"), r.paired) + Words::tr("；差值均数 ") + WithCi(r.diff, r.paired.ci, dp);
    return b.report;
}

void Coefficients(Builder& b, const QString& heading, const stats::CoefficientFigures& c)
{
    const int dp = DecimalsOf(c.estimate);
    b.Heading(heading);
    b.Figure(Words::tr("估计值"), Estimate(c.estimate, dp));
    b.Figure(Words::tr("标准误"), Estimate(c.se, DecimalsOf(c.se)));
    b.Figure(QStringLiteral("t"), Statistic(c.t));
    b.Figure(QStringLiteral("P"), PValue(c.p));
    b.Figure(kCi, Range(c.ci, dp));
}

Report Correlation(const stats::DetailsInput& input)
{
    const auto r = stats::CorrelationDetail(input.first, input.second);
    Builder b;
    b.report.title = Words::tr("直线相关与回归");
    b.Figure(Words::tr("例数 n"), Whole(r.n));
    b.Heading(Words::tr("Pearson相关"));
    b.Figure(QStringLiteral("r"), Coefficient(r.r));
    b.Figure(QStringLiteral("P"), PValue(r.rP));
    const Interval rCi = stats::AgreeingWith(r.rP, r.rCi, 0);
    b.Figure(kCi + Words::tr("（Fisher z）"), Range(rCi, 3));
    b.Figure(Words::tr("决定系数 r²"), Coefficient(r.r2));
    Coefficients(b, Words::tr("回归系数 b（Y 对 X）"), r.slope);
    Coefficients(b, Words::tr("截距 a"), r.intercept);
    b.Figure(Words::tr("剩余标准差 sY·X"), Estimate(r.residualSd, DecimalsOf(r.residualSd)));
    b.Heading(Words::tr("Spearman秩相关"));
    b.Figure(QStringLiteral("rs"), Coefficient(r.spearmanRho));
    b.Figure(Words::tr("P（t近似）"), PValue(r.spearmanP));
    if (r.r.Has()) {
        QString s = QStringLiteral("r = %1").arg(Number(r.r.value, 3));
        if (rCi.low.Has() && rCi.high.Has()) s += Words::tr("（%1：%2）").arg(kCi, Range(rCi, 3));
        if (r.rP.Has()) s += Words::tr("，") + PPhrase(r.rP);
        if (r.slope.estimate.Has())
            s += Words::tr("；回归系数 b = ") + WithCi(r.slope.estimate, r.slope.ci, DecimalsOf(r.slope.estimate));
        b.report.sentence = s;
    }
    return b.report;
}

QString TableWhy(const Figure& f, const QString& shown)
{
    if (f.Has()) return shown;
    // In a table a figure without variation has a zero row or column total.
    return f.why == Why::NoVariation ? Words::tr("无法计算（行或列合计为零）") : WhyText(f.why);
}

QString TableRange(const Interval& ci, int decimals)
{
    if (!ci.low.Has()) return TableWhy(ci.low, {});
    return Range(ci, decimals);
}

Report FourFold(const stats::DetailsInput& input)
{
    const auto r = stats::FourFoldDetail(input.table);
    Builder b;
    b.report.title = Words::tr("计数资料卡方检验");
    b.Figure(Words::tr("例数 n"), Whole(r.n));
    const char* cells[4] = {"a", "b", "c", "d"};
    for (int i = 0; i < 4; ++i)
        b.Figure(Words::tr("%1 的理论数(T)").arg(QLatin1String(cells[i])), Estimate(r.expected[i], 2));
    const Figure p = stats::RecommendedP(r);
    const int dor = DecimalsOf(r.oddsRatio), drr = DecimalsOf(r.relativeRisk);
    const int dc = DecimalsOf(r.conditionalOr);
    b.Heading(Words::tr("χ²检验"));
    b.Figure(Words::tr("χ²（Pearson）"), TableWhy(r.chi2, Statistic(r.chi2)));
    b.Figure(QStringLiteral("P"), TableWhy(r.chi2P, PValue(r.chi2P)));
    b.Figure(QStringLiteral("OR ") + kCi + Words::tr("（基于χ²，检验法）"), TableRange(r.orChi2Ci, dor));
    b.Figure(Words::tr("校正χ²（Yates）"), TableWhy(r.yates, Statistic(r.yates)));
    b.Figure(QStringLiteral("P"), TableWhy(r.yatesP, PValue(r.yatesP)));
    b.Figure(QStringLiteral("OR ") + kCi + Words::tr("（基于校正χ²，检验法）"), TableRange(r.orYatesCi, dor));
    b.Heading(Words::tr("Fisher确切概率法"));
    b.Figure(Words::tr("双侧 P（概率不大于观察表者之和）"), PValue(r.fisherP));
    b.Figure(Words::tr("双侧 P（中心法：单侧 P 较小者的两倍）"), TableWhy(r.fisherCentralP, PValue(r.fisherCentralP)));
    b.Figure(Words::tr("双侧 mid-P"), PValue(r.fisherMidP));
    b.Figure(Words::tr("条件极大似然 OR"), TableWhy(r.conditionalOr, Number(r.conditionalOr.value, dc)));
    b.Figure(QStringLiteral("OR ") + kCi + Words::tr("（条件精确法，配中心法 P）"), TableRange(r.conditionalOrCi, dc));
    switch (r.method) {
    case stats::TableMethod::ChiSquare:
        b.Note(Words::tr("n ≥ 40且理论数均 ≥ 5：推荐 χ²检验"));
        break;
    case stats::TableMethod::Yates:
        b.Note(Words::tr("n ≥ 40且有理论数 1 ≤ T < 5：推荐校正χ²检验"));
        break;
    case stats::TableMethod::Fisher:
        b.Note(Words::tr("n < 40或有理论数 T < 1：推荐 Fisher确切概率法"));
        break;
    case stats::TableMethod::None:
        break;
    }
    b.Heading(Words::tr("效应指标（阳性为结局）"));
    b.Figure(Words::tr("试验组阳性率"), TableWhy(r.risk1, Number(r.risk1.value, 3)));
    b.Figure(Words::tr("对照组阳性率"), TableWhy(r.risk2, Number(r.risk2.value, 3)));
    b.Figure(Words::tr("比值比 OR = ad / bc"), TableWhy(r.oddsRatio, Number(r.oddsRatio.value, dor)));
    // Katz's and Wald's intervals are shown only where they agree with the
    // recommended test's P.
    b.Figure(Words::tr("相对危险度 RR"), TableWhy(r.relativeRisk, Number(r.relativeRisk.value, drr)));
    b.Figure(QStringLiteral("RR ") + kCi + Words::tr("（Katz）"), TableRange(stats::AgreeingWith(p, r.rrCi, 1), drr));
    b.Figure(Words::tr("率差 RD"), TableWhy(r.riskDifference, Number(r.riskDifference.value, 3)));
    b.Figure(QStringLiteral("RD ") + kCi + Words::tr("（Wald）"), TableRange(stats::AgreeingWith(p, r.rdCi, 0), 3));
    b.Figure(Words::tr("需治疗人数 NNT"), TableWhy(r.nnt, Number(r.nnt.value, 1)));

    if (p.Has()) {
        QString s;
        if (r.method == stats::TableMethod::Fisher) {
            s = Words::tr("Fisher确切概率法（中心法）") + PPhrase(p);
        } else {
            const Figure& chi = r.method == stats::TableMethod::Yates ? r.yates : r.chi2;
            s = Words::tr("%1 = %2，%3")
                    .arg(r.method == stats::TableMethod::Yates ? Words::tr("校正χ²") : QStringLiteral("χ²"),
                         Number(chi.value, 3), PPhrase(p));
        }
        const stats::OddsRatioFigures odds = stats::RecommendedOddsRatio(r);
        if (odds.estimate.Has() && odds.ci.low.Has() && odds.ci.high.Has())
            s += Words::tr("；OR = ") + WithCi(odds.estimate, odds.ci, DecimalsOf(odds.estimate));
        b.report.sentence = s;
    }
    return b.report;
}

Report PairedTable(const stats::DetailsInput& input)
{
    const auto r = stats::PairedTableDetail(input.table);
    Builder b;
    b.report.title = Words::tr("配对资料卡方检验");
    b.Figure(Words::tr("对子数 n"), Whole(r.n));
    b.Heading(Words::tr("McNemar检验"));
    b.Figure(Words::tr("χ²（未校正）"), Statistic(r.mcnemar));
    b.Figure(QStringLiteral("P"), PValue(r.mcnemarP));
    b.Figure(Words::tr("校正χ²"), Statistic(r.mcnemarCc));
    b.Figure(QStringLiteral("P"), PValue(r.mcnemarCcP));
    b.Figure(Words::tr("确切概率（二项分布）P"), PValue(r.exactP));
    const auto counts = stats::ReadCounts(input.table);
    const bool few = counts && counts->b + counts->c < 40;
    if (counts && counts->b + counts->c > 0)
        b.Note(few ? Words::tr("b + c < 40：推荐确切概率法") : Words::tr("b + c ≥ 40：可用未校正χ²"));
    b.Heading(Words::tr("差值与一致性"));
    b.Figure(Words::tr("阳性率之差（b − c）/ n"), Estimate(r.pDiff, 3));
    // The P the note recommends: the Wald interval only where it agrees.
    const Figure recommended = few ? r.exactP : r.mcnemarP;
    b.Figure(Words::tr("阳性率之差 ") + kCi, Range(stats::AgreeingWith(recommended, r.pDiffCi, 0), 3));
    const int dm = DecimalsOf(r.matchedOr);
    b.Figure(Words::tr("配对 OR = b / c"), Estimate(r.matchedOr, dm));
    b.Figure(Words::tr("配对 OR ") + kCi + Words::tr("（精确法，配确切概率 P）"), Range(r.matchedOrExactCi, dm));
    b.Figure(QStringLiteral("Kappa"), Coefficient(r.kappa));
    b.Figure(QStringLiteral("Kappa ") + kCi, Range(r.kappaCi, 3));

    if (r.exactP.Has()) {
        QString s = few ? Words::tr("McNemar确切概率法 ") + PPhrase(r.exactP)
                        : Words::tr("McNemar χ² = %1，%2").arg(Number(r.mcnemar.value, 3), PPhrase(r.mcnemarP));
        if (r.kappa.Has()) s += Words::tr("；κ = ") + WithCi(r.kappa, r.kappaCi, 3);
        b.report.sentence = s;
    }
    return b.report;
}

} // namespace

QString Number(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    // A negative value that rounds to zero has no direction left to show.
    bool zero = true;
    for (QChar c : text)
        if (c.isDigit() && c != QLatin1Char('0')) zero = false;
    if (zero && text.startsWith(QLatin1Char('-'))) text.remove(0, 1);
    return text.replace(QLatin1Char('-'), kMinus);
}

int DecimalsFor(double estimate)
{
    const double magnitude = std::fabs(estimate);
    if (!(magnitude > 0) || !std::isfinite(magnitude)) return 2;
    return std::clamp(2 - static_cast<int>(std::floor(std::log10(magnitude))), 2, 6);
}

QString PValue(const Figure& p)
{
    if (!p.Has()) return WhyText(p.why);
    return p.value < 0.001 ? QStringLiteral("< 0.001") : Number(p.value, 3);
}

QString PPhrase(const Figure& p)
{
    if (!p.Has()) return QStringLiteral("P ") + WhyText(p.why);
    return p.value < 0.001 ? QStringLiteral("P < 0.001") : QStringLiteral("P = ") + Number(p.value, 3);
}

QString WhyText(Why why)
{
    switch (why) {
    case Why::Computed:
        return {};
    case Why::NoInput:
        return Words::tr("无法计算（数据不全）");
    case Why::TooFewCases:
        return Words::tr("无法计算（例数不足）");
    case Why::NoVariation:
        return Words::tr("无法计算（数据无变异）");
    case Why::ZeroCell:
        return Words::tr("无法计算（有零格）");
    case Why::TooManyCases:
        return Words::tr("无法计算（n > 5000）");
    case Why::PerfectFit:
        return Words::tr("无法计算（完全相关）");
    case Why::NotSignificant:
        return Words::tr("差异无统计学意义，不计算");
    case Why::OutOfRange:
        return Words::tr("无法计算（超出计算范围）");
    case Why::Disagrees:
        return Words::tr("不给出（与所用检验的P不一致）");
    }
    return {};
}

QString DefaultGroupName(int group) { return group == 0 ? Words::tr("第一组") : Words::tr("第二组"); }

QString GroupName(const GroupNames& names, int group)
{
    const QString& given = group == 0 ? names.first : names.second;
    return given.isEmpty() ? DefaultGroupName(group) : given;
}

Report BuildReport(stats::TestMode mode, const stats::DetailsInput& input, const GroupNames& names)
{
    switch (mode) {
    case stats::TestMode::TwoSample:
        return TwoSample(input, names);
    case stats::TestMode::PairedT:
        return Paired(input, names);
    case stats::TestMode::Correlation:
        return Correlation(input);
    case stats::TestMode::FourFold:
        return FourFold(input);
    case stats::TestMode::PairedChiSquare:
        return PairedTable(input);
    }
    return {};
}

QString PlainTable(const Report& report)
{
    QStringList lines;
    lines << report.title + Words::tr(" 详细结果");
    for (const Line& line : report.lines) {
        switch (line.kind) {
        case Line::Kind::Heading:
            lines << Words::tr("【%1】").arg(line.label);
            break;
        case Line::Kind::Figure:
            lines << line.label + QLatin1Char('\t') + line.value;
            break;
        case Line::Kind::Note:
            lines << line.label;
            break;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace korvanta::ui::details
