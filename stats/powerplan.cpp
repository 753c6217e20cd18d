// A power plan for the current test: the effect the data show, checked,
// then the size the target needs, the power of the present size and the
// curve between them.
#include "stats/power.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace korvanta::stats::power {

namespace {

// A summary box of the two-sample test, read as the test reads it.
std::optional<double> BoxValue(std::string_view text)
{
    if (!ParseFixed4(text)) return std::nullopt;
    return ParseDouble(text);
}

Effect TwoSampleEffect(const TwoSampleInput& boxes)
{
    const auto x1 = BoxValue(boxes.x1), s1 = BoxValue(boxes.s1), n1 = BoxValue(boxes.n1);
    const auto x2 = BoxValue(boxes.x2), s2 = BoxValue(boxes.s2), n2 = BoxValue(boxes.n2);
    Effect e;
    if (x1 && x2) e.first = *x1 - *x2;
    if (s1 && s2 && n1 && n2 && *n1 + *n2 > 2)
        e.second = std::sqrt(((*n1 - 1) * *s1 * *s1 + (*n2 - 1) * *s2 * *s2) / (*n1 + *n2 - 2));
    if (n1 && n2 && *n1 > 0 && *n2 > 0) {
        e.n1 = *n1;
        e.n2 = *n2;
        e.ratio = *n2 / *n1;
    }
    // The exact figures of the data behind boxes that still show their
    // summary, as the test takes them, rather than the four decimals shown.
    if (const auto groups = ReadTwoSampleGroups(boxes); groups && e.first) {
        e.first = ToDouble(groups->first.mean - groups->second.mean);
        if (e.second) {
            if (const auto pooled = PooledOf(groups->first, groups->second))
                e.second = RootToDouble(pooled->pooledVariance);
        }
    }
    return e;
}

// Mean and SD of the differences of the complete rows, each difference
// exact in fixed point where it fits, as the paired test forms them.
Effect PairedEffect(Column first, Column second)
{
    double count = 0, mean = 0, squares = 0; // Welford's running sums
    const std::size_t rows = std::min(first.size(), second.size());
    for (std::size_t k = 0; k < rows; ++k) {
        if (!first[k].IsNumber() || !second[k].IsNumber()) continue;
        const auto exact = Subtract(first[k].value, second[k].value);
        const double d = exact ? exact->ToDouble() : first[k].value.ToDouble() - second[k].value.ToDouble();
        count += 1;
        const double step = d - mean;
        mean += step / count;
        squares += step * (d - mean);
    }
    Effect e;
    if (count == 0) return e;
    e.n1 = count;
    e.first = mean;
    if (count >= 2) e.second = std::sqrt(squares / (count - 1));
    return e;
}

Effect CorrelationEffect(Column x, Column y)
{
    const CorrelationDetails details = CorrelationDetail(x, y);
    Effect e;
    if (details.n.Has() && details.n.value > 0) e.n1 = details.n.value;
    if (details.r.Has()) e.first = details.r.value;
    return e;
}

Effect TableEffect(const TableCells& cells, bool paired)
{
    Effect e;
    const std::optional<Counts> counts = ReadCounts(cells);
    if (!counts) return e;
    if (paired) {
        const double n = counts->N();
        if (n > 0) {
            e.n1 = n;
            e.first = counts->b / n;
            e.second = counts->c / n;
        }
        return e;
    }
    const double row1 = counts->a + counts->b, row2 = counts->c + counts->d;
    if (row1 > 0) e.first = counts->a / row1;
    if (row2 > 0) e.second = counts->c / row2;
    if (row1 > 0 && row2 > 0) {
        e.n1 = row1;
        e.n2 = row2;
        e.ratio = row2 / row1;
    }
    return e;
}

bool Probability(double p) { return p > 0 && p < 1; }
bool Proportion(double p) { return p >= 0 && p <= 1; }

// The second group at ratio k to a first group of n1, rounded up; the
// search and the curve use whole groups so the size shown truly reaches
// the target.
double SecondGroup(double n1, double ratio)
{
    return ratio == 1 ? n1 : std::max(1.0, std::ceil(n1 * ratio * (1 - 1e-12)));
}

// What a test's effect gives: the power at a first-group size, the least
// size the test works with and the reason when the effect gives nothing.
struct Model {
    NoSize why = NoSize::None;
    std::function<double(double)> powerAt;
    double least = 2;
    double ratio = 1;
};

Model ModelOf(Test test, const Effect& e, double alpha)
{
    Model m;
    const auto fail = [&m](NoSize why) {
        m.why = why;
        return m;
    };
    switch (test) {
    case Test::TwoSample:
    case Test::Paired: {
        if (!e.first || !e.second || !std::isfinite(*e.first) || !std::isfinite(*e.second))
            return fail(NoSize::NoEffect);
        const double difference = *e.first, sd = *e.second;
        if (!(sd > 0)) return fail(NoSize::BadEffect);
        if (test == Test::TwoSample) {
            m.ratio = e.ratio.value_or(1);
            if (!(m.ratio > 0) || !std::isfinite(m.ratio)) return fail(NoSize::BadEffect);
        }
        if (difference == 0) return fail(NoSize::ZeroEffect);
        if (test == Test::Paired)
            m.powerAt = [=](double n) { return PairedPower(n, difference, sd, alpha); };
        else
            m.powerAt = [=, ratio = m.ratio](double n) {
                return TwoSamplePower(n, SecondGroup(n, ratio), difference, sd, alpha);
            };
        return m;
    }
    case Test::Correlation: {
        if (!e.first || !std::isfinite(*e.first)) return fail(NoSize::NoEffect);
        const double r = *e.first;
        if (!(std::fabs(r) < 1)) return fail(NoSize::BadEffect);
        if (r == 0) return fail(NoSize::ZeroEffect);
        m.least = 4;
        m.powerAt = [=](double n) { return CorrelationPower(n, r, alpha); };
        return m;
    }
    case Test::FourFold: {
        if (!e.first || !e.second) return fail(NoSize::NoEffect);
        const double p1 = *e.first, p2 = *e.second;
        m.ratio = e.ratio.value_or(1);
        if (!Proportion(p1) || !Proportion(p2) || !(m.ratio > 0) || !std::isfinite(m.ratio))
            return fail(NoSize::BadEffect);
        if (p1 == p2) return fail(NoSize::ZeroEffect);
        if (p1 * (1 - p1) + p2 * (1 - p2) == 0) return fail(NoSize::NoSpread);
        m.powerAt = [=, ratio = m.ratio](double n) {
            return ProportionsPower(n, SecondGroup(n, ratio), p1, p2, alpha);
        };
        return m;
    }
    case Test::PairedTable: {
        if (!e.first || !e.second) return fail(NoSize::NoEffect);
        const double p10 = *e.first, p01 = *e.second;
        if (!Proportion(p10) || !Proportion(p01) || p10 + p01 > 1) return fail(NoSize::BadEffect);
        if (p10 == p01) return fail(NoSize::ZeroEffect);
        const double delta = p10 - p01;
        if (!(p10 + p01 - delta * delta > 0)) return fail(NoSize::NoSpread);
        m.least = 1;
        m.powerAt = [=](double n) { return McNemarPower(n, p10, p01, alpha); };
        return m;
    }
    }
    return fail(NoSize::NoEffect);
}

// A formula's size rounded up; NaN beyond the largest size.
double RoundedUp(double size, double least)
{
    if (!(size <= kLargestSize)) return std::numeric_limits<double>::quiet_NaN();
    return std::max(least, std::ceil(size));
}

void Size(Plan& plan, Test test, const Effect& e, const Model& m)
{
    double first = std::numeric_limits<double>::quiet_NaN();
    switch (test) {
    case Test::TwoSample:
    case Test::Paired:
    case Test::FourFold:
        first = SmallestSize(m.powerAt, m.least, plan.target);
        break;
    case Test::Correlation:
        first = RoundedUp(CorrelationSize(*e.first, plan.alpha, plan.target), m.least);
        break;
    case Test::PairedTable:
        first = RoundedUp(McNemarSize(*e.first, *e.second, plan.alpha, plan.target), m.least);
        break;
    }
    const double corrected =
        test == Test::FourFold
            ? RoundedUp(ProportionsSizeCorrected(*e.first, *e.second, m.ratio, plan.alpha, plan.target), m.least)
            : 0;
    if (std::isnan(first) || std::isnan(corrected)) {
        plan.whyNoSize = NoSize::TooLarge;
        return;
    }
    plan.whyNoSize = NoSize::None;
    plan.required = first;
    plan.required2 = SecondGroup(first, m.ratio);
    plan.requiredCorrected = corrected;
    plan.requiredCorrected2 = SecondGroup(corrected, m.ratio);
}

void Achieved(Plan& plan, Test test, const Effect& e)
{
    if (!e.n1 || ((test == Test::TwoSample || test == Test::FourFold) && !e.n2)) {
        plan.whyNoPower = NoPower::NoData;
        return;
    }
    const double n1 = *e.n1, n2 = e.n2.value_or(0);
    double power = std::numeric_limits<double>::quiet_NaN();
    switch (test) {
    case Test::TwoSample:
        if (n1 + n2 >= 3) power = TwoSamplePower(n1, n2, *e.first, *e.second, plan.alpha);
        break;
    case Test::Paired:
        if (n1 >= 2) power = PairedPower(n1, *e.first, *e.second, plan.alpha);
        break;
    case Test::Correlation:
        if (n1 >= 4) power = CorrelationPower(n1, *e.first, plan.alpha);
        break;
    case Test::FourFold:
        power = ProportionsPower(n1, n2, *e.first, *e.second, plan.alpha);
        break;
    case Test::PairedTable:
        power = McNemarPower(n1, *e.first, *e.second, plan.alpha);
        break;
    }
    if (std::isnan(power)) {
        plan.whyNoPower = NoPower::TooFew;
        return;
    }
    plan.whyNoPower = NoPower::None;
    plan.achieved = power;
}

// The curve from the least size to half as far again as the larger of the
// size needed and the size present.
constexpr int kCurvePoints = 81;

void Curve(Plan& plan, const Effect& e, const Model& m)
{
    double top = m.least + 20;
    if (plan.HasSize()) top = std::max(top, plan.required * 1.5);
    if (e.n1) top = std::max(top, *e.n1 * 1.5);
    top = std::min(std::ceil(top), kLargestSize);
    double last = -1;
    for (int i = 0; i < kCurvePoints; ++i) {
        const double n = std::round(m.least + (top - m.least) * i / (kCurvePoints - 1));
        if (n == last) continue;
        last = n;
        const double power = m.powerAt(n);
        if (std::isfinite(power)) plan.curve.push_back({n, power});
    }
}

} // namespace

Test TestOfMode(TestMode mode)
{
    switch (mode) {
    case TestMode::TwoSample:
        return Test::TwoSample;
    case TestMode::PairedT:
        return Test::Paired;
    case TestMode::Correlation:
        return Test::Correlation;
    case TestMode::FourFold:
        return Test::FourFold;
    case TestMode::PairedChiSquare:
        return Test::PairedTable;
    }
    return Test::TwoSample;
}

Effect EffectOfData(TestMode mode, const DetailsInput& input)
{
    switch (mode) {
    case TestMode::TwoSample:
        return TwoSampleEffect(input.summary);
    case TestMode::PairedT:
        return PairedEffect(input.first, input.second);
    case TestMode::Correlation:
        return CorrelationEffect(input.first, input.second);
    case TestMode::FourFold:
        return TableEffect(input.table, false);
    case TestMode::PairedChiSquare:
        return TableEffect(input.table, true);
    }
    return {};
}

Plan MakePlan(Test test, const Effect& effect, double alpha, double target)
{
    Plan plan;
    plan.alpha = alpha;
    plan.target = target;
    if (!Probability(alpha)) {
        plan.whyNoSize = NoSize::BadLevel;
        return plan;
    }
    const Model model = ModelOf(test, effect, alpha);
    if (model.why != NoSize::None) {
        plan.whyNoSize = model.why;
        return plan;
    }
    plan.ratio = model.ratio;
    Achieved(plan, test, effect);
    if (Probability(target))
        Size(plan, test, effect, model);
    else
        plan.whyNoSize = NoSize::BadTarget;
    Curve(plan, effect, model);
    return plan;
}

FigureList Figures(Test test, const Plan& plan)
{
    const auto figure = [](bool has, double value) {
        return ShortestText(has ? Figure::Of(value) : Figure::None(Why::NoInput));
    };
    FigureList list{
        {"power.alpha", figure(Probability(plan.alpha), plan.alpha)},
        {"power.target", figure(Probability(plan.target), plan.target)},
        {"power.n_required", figure(plan.HasSize(), plan.required)},
        {"power.achieved", figure(plan.HasPower(), plan.achieved)},
    };
    if (test == Test::FourFold)
        list.emplace_back("power.n_required_cc", figure(plan.HasSize(), plan.requiredCorrected));
    return list;
}

} // namespace korvanta::stats::power
