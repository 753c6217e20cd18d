#include "resultsview/powertext.h"

#include <QCoreApplication>
#include <cmath>

namespace korvanta::ui::power {

namespace {
// The texts of this file, for the translation.
struct Words {
    Q_DECLARE_TR_FUNCTIONS(korvanta::ui::PowerText)
};
} // namespace

using stats::power::Effect;
using stats::power::NoPower;
using stats::power::NoSize;
using stats::power::Plan;
using stats::power::Test;

namespace {

QString Count(double n) { return QString::number(n, 'f', 0); }

// "每组 64 例，共 128 例", "第一组 50 例，第二组 100 例，共 150 例", "34 对".
QString Size(Test test, double first, double second)
{
    switch (test) {
    case Test::TwoSample:
    case Test::FourFold:
        if (first == second) return Words::tr("每组 %1 例，共 %2 例").arg(Count(first), Count(first + second));
        return Words::tr("第一组 %1 例，第二组 %2 例，共 %3 例")
            .arg(Count(first), Count(second), Count(first + second));
    case Test::Paired:
    case Test::PairedTable:
        return Words::tr("%1 对").arg(Count(first));
    case Test::Correlation:
        return Words::tr("%1 例（每例观察 X、Y）").arg(Count(first));
    }
    return {};
}

QString PresentSize(Test test, const Effect& present)
{
    if (!present.n1) return {};
    const QString size = test == Test::Correlation ? Words::tr("%1 例").arg(Count(*present.n1))
                                                   : Size(test, *present.n1, present.n2.value_or(*present.n1));
    return (size.front().isDigit() ? Words::tr("现有 ") : Words::tr("现有")) + size;
}

QString NoSizeText(Test test, NoSize why)
{
    const QString none = Words::tr("，无法给出样本量");
    switch (why) {
    case NoSize::None:
        return {};
    case NoSize::BadLevel:
        return Words::tr("检验水准 α 应大于 0 且小于 1");
    case NoSize::BadTarget:
        return Words::tr("目标检验效能应大于 0 且小于 1");
    case NoSize::NoEffect:
        return Words::tr("效应大小不全（请填写，或先输入数据）") + none;
    case NoSize::ZeroEffect:
        switch (test) {
        case Test::TwoSample:
        case Test::Paired:
            return Words::tr("均数差为 0，没有要检出的差别") + none;
        case Test::Correlation:
            return Words::tr("r = 0，没有要检出的相关") + none;
        case Test::FourFold:
            return Words::tr("两组率相等，没有要检出的差别") + none;
        case Test::PairedTable:
            return Words::tr("b/n 与 c/n 相等，没有要检出的差别") + none;
        }
        break;
    case NoSize::BadEffect:
        switch (test) {
        case Test::TwoSample:
            return Words::tr("标准差与例数比都应大于 0") + none;
        case Test::Paired:
            return Words::tr("差值的标准差应大于 0") + none;
        case Test::Correlation:
            return Words::tr("|r| 应小于 1（|r| = 1 时 Fisher z 无定义）") + none;
        case Test::FourFold:
            return Words::tr("率应在 0 与 1 之间，例数比应大于 0") + none;
        case Test::PairedTable:
            return Words::tr("b/n、c/n 应在 0 与 1 之间且两者之和不超过 1") + none;
        }
        break;
    case NoSize::NoSpread:
        if (test == Test::FourFold) return Words::tr("两组率分别为 0 与 1，正态近似的方差为 0") + none;
        return Words::tr("全部对子都不一致且方向相同，方差为 0") + none;
    case NoSize::TooLarge:
        return Words::tr("超过 1000 万，效应太小，无法给出实际可行的样本量");
    }
    return {};
}

QString PowerValue(double power) { return power > 0.999 ? QStringLiteral("> 0.999") : details::Number(power, 3); }

QString Method(Test test)
{
    switch (test) {
    case Test::TwoSample:
    case Test::Paired:
        return Words::tr("非中心t分布，双侧（两侧拒绝域均计入）");
    case Test::Correlation:
        return Words::tr("Fisher z 变换，双侧");
    case Test::FourFold:
        return Words::tr("正态近似（H0 合并方差，H1 分别方差），双侧；另给 Fleiss 连续性校正");
    case Test::PairedTable:
        return Words::tr("McNemar 检验，Connor（1987）公式，双侧");
    }
    return {};
}

// A level or target as typed back: "0.05", "0.8".
QString Level(double value) { return value > 0 && value < 1 ? QString::number(value, 'g', 6) : Words::tr("无效"); }

} // namespace

Texts Describe(Test test, const Plan& plan, const Effect& present)
{
    Texts t;
    t.method = Method(test);
    if (plan.HasSize()) {
        t.required = Size(test, plan.required, plan.required2);
        if (test == Test::FourFold) t.requiredCorrected = Size(test, plan.requiredCorrected, plan.requiredCorrected2);
    } else {
        t.required = NoSizeText(test, plan.whyNoSize);
        if (test == Test::FourFold) t.requiredCorrected = QStringLiteral("—");
    }
    switch (plan.whyNoPower) {
    case NoPower::None:
        t.achieved = PowerValue(plan.achieved) + Words::tr("（%1）").arg(PresentSize(test, present));
        break;
    case NoPower::NoPlan:
        t.achieved = QStringLiteral("—");
        break;
    case NoPower::NoData:
        t.achieved = Words::tr("无现有数据");
        break;
    case NoPower::TooFew:
        t.achieved = Words::tr("现有例数不足，无法计算");
        break;
    }
    return t;
}

std::vector<details::Line> Lines(Test test, const Plan& plan, const Effect& present,
                                 const std::vector<std::pair<QString, QString>>& effect)
{
    using Kind = details::Line::Kind;
    const Texts t = Describe(test, plan, present);
    std::vector<details::Line> lines;
    lines.push_back({Kind::Heading, Words::tr("样本量与检验效能"), {}});
    lines.push_back({Kind::Figure, Words::tr("检验水准 α（双侧）"), Level(plan.alpha)});
    lines.push_back({Kind::Figure, Words::tr("目标检验效能 1 − β"), Level(plan.target)});
    for (const auto& [caption, value] : effect)
        lines.push_back({Kind::Figure, caption, value.isEmpty() ? QStringLiteral("—") : value});
    lines.push_back({Kind::Figure, Words::tr("所需样本量"), t.required});
    if (test == Test::FourFold)
        lines.push_back({Kind::Figure, Words::tr("所需样本量（连续性校正）"), t.requiredCorrected});
    lines.push_back({Kind::Figure, Words::tr("现有样本的检验效能"), t.achieved});
    lines.push_back({Kind::Figure, Words::tr("计算方法"), t.method});
    return lines;
}

plot::PlotData Curve(Test test, const Plan& plan, const Effect& present)
{
    if (plan.curve.empty()) return {};
    plot::PowerCurvePlot curve;
    for (const auto& point : plan.curve) curve.points.push_back({point.n, point.power});
    curve.target = plan.target;
    if (plan.HasSize()) curve.required = plan.required;
    if (present.n1) curve.present = *present.n1;
    switch (test) {
    case Test::TwoSample:
    case Test::FourFold:
        curve.axisTitle =
            plan.ratio == 1 ? QCoreApplication::translate("korvanta::ui::PowerText", "每组例数 n").toStdString()
                            : QCoreApplication::translate("korvanta::ui::PowerText", "第一组例数 n1（第二组按例数比）")
                                  .toStdString();
        break;
    case Test::Paired:
    case Test::PairedTable:
        curve.axisTitle = QCoreApplication::translate("korvanta::ui::PowerText", "对子数 n").toStdString();
        break;
    case Test::Correlation:
        curve.axisTitle = QCoreApplication::translate("korvanta::ui::PowerText", "例数 n").toStdString();
        break;
    }
    return curve;
}

} // namespace korvanta::ui::power
