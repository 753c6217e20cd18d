// The 2x2 table: totals, the four-fold chi-square test (plain, or with Yates'
// continuity correction when an expected count is below 5) and McNemar's
// paired chi-square test. Both judge the statistic as displayed against the
// chi-square critical values 3.84 (P = 0.05) and 6.63 (P = 0.01), one df.
#include "stats/chisquare.h"

#include "stats/exactfigures.h"
#include "stats/numbertext.h"
#include "stats/verdict.h"

#include <array>
#include <cmath>

namespace korvanta::stats {

namespace {

constexpr double kChiSquare005 = 3.84;
constexpr double kChiSquare001 = 6.63;

struct Cells {
    ExactDecimal a, b, c, d; // a cell that is empty or not a number counts as 0
};

Cells ReadCells(const TableCells& cells)
{
    const auto read = [](std::string_view text) { return ParseExact(text).value_or(ExactDecimal{}); };
    return {read(cells.a), read(cells.b), read(cells.c), read(cells.d)};
}

struct Margins {
    ExactDecimal positive, negative, row1, row2, grand;
    std::int64_t n = 0; // the grand total rounded to a whole number, halves to even
};

Margins ComputeMargins(const Cells& cells)
{
    Margins m;
    m.positive = Add(cells.a, cells.c);
    m.negative = Add(cells.b, cells.d);
    m.row1 = Add(cells.a, cells.b);
    m.row2 = Add(cells.c, cells.d);
    m.grand = Add(m.row1, m.row2);
    const Rational grand = ToRational(m.grand);
    const Rational magnitude = abs(grand);
    BigInt whole = boost::multiprecision::numerator(magnitude) / boost::multiprecision::denominator(magnitude);
    const Rational rest = magnitude - Rational(whole);
    if (rest > Rational(1, 2) || (rest == Rational(1, 2) && whole % 2 != 0)) ++whole;
    // Four cells within the fixed-point range: the total fits in 64 bits.
    m.n = static_cast<std::int64_t>(whole) * (grand < 0 ? -1 : 1);
    return m;
}

TableFigures Figures(const Cells& cells)
{
    return {ToRational(cells.a), ToRational(cells.b), ToRational(cells.c), ToRational(cells.d)};
}

std::string Shown(const std::optional<Rational>& value) { return value ? FourDecimals(*value) : ""; }

} // namespace

TableTotals ComputeTableTotals(const TableCells& cells)
{
    const Margins m = ComputeMargins(ReadCells(cells));
    return {ExactText(m.positive), ExactText(m.negative), ExactText(m.row1), ExactText(m.row2), ExactText(m.grand)};
}

Verdict JudgeChiSquare(std::string_view shownValue)
{
    const double x = LeadingNumber(shownValue);
    if (x >= kChiSquare005 && x < kChiSquare001) return Verdict::PBelow005;
    if (x >= kChiSquare001) return Verdict::PBelow001;
    return Verdict::PAbove005;
}

// T = row total x column total / n for each cell; chi-square = (ad - bc)^2 n / D,
// or (|ad - bc| - n/2)^2 n / D when an expected count is below 5, where D is
// the product of the four margins. A correction larger than the deviation it
// corrects would invent one: the corrected deviation stops at zero.
FourFoldResult FourFoldChiSquare(const TableCells& texts)
{
    const Cells cells = ReadCells(texts);
    const Margins m = ComputeMargins(cells);
    const TableFigures table = Figures(cells);

    std::array<std::optional<Rational>, 4> expected; // T(a), T(b), T(c), T(d)
    if (m.n != 0) {
        const Rational n = m.n;
        expected[0] = table.Row1() * table.Col1() / n;
        expected[1] = table.Row1() * table.Col2() / n;
        expected[2] = table.Row2() * table.Col1() / n;
        expected[3] = table.Row2() * table.Col2() / n;
    }

    FourFoldResult result;
    result.expectedA = Shown(expected[0]);
    result.expectedB = Shown(expected[1]);
    result.expectedC = Shown(expected[2]);
    result.expectedD = Shown(expected[3]);
    result.n = std::to_string(m.n);

    // An expected count that cannot be computed counts as 0.
    bool allAtLeast5 = true, anyBelow1 = false;
    for (const auto& t : expected) {
        const Rational value = t.value_or(Rational(0));
        allAtLeast5 = allAtLeast5 && value >= 5;
        anyBelow1 = anyBelow1 || value < 1;
    }
    if (m.n != 0) result.chiSquare = Shown(FourFoldChiSquareOf(table, m.n, !allAtLeast5));

    result.verdict = JudgeChiSquare(result.chiSquare);
    if (m.n < 40 || anyBelow1) result.verdict = Verdict::NotSuitable;
    return result;
}

// McNemar: chi-square = (b - c)^2 / (b + c) when b + c >= 40, otherwise
// (|b - c| - 1)^2 / (b + c), the corrected deviation stopping at zero
// (b = c gives 0).
PairedChiSquareResult PairedChiSquare(const TableCells& texts)
{
    const Cells cells = ReadCells(texts);
    const Margins m = ComputeMargins(cells);
    PairedChiSquareResult result;
    result.n = std::to_string(m.n);
    const Rational b = ToRational(cells.b), c = ToRational(cells.c);
    result.chiSquare = Shown(McNemarOf(b, c, b + c < 40));
    result.verdict = JudgeChiSquare(result.chiSquare);
    return result;
}

} // namespace korvanta::stats
