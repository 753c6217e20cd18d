// The 2x2 table: totals, the four-fold chi-square test (plain, or with Yates'
// continuity correction when an expected count is below 5) and McNemar's
// paired chi-square test. Both judge the statistic as displayed against the
// chi-square critical values 3.84 (P = 0.05) and 6.63 (P = 0.01), one df.
#include "stats/chisquare.h"

#include "stats/numbertext.h"
#include "stats/verdict.h"

#include <array>
#include <cmath>

namespace korvanta::stats {

namespace {

constexpr double kChiSquare005 = 3.84;
constexpr double kChiSquare001 = 6.63;

struct Cells {
    Fixed4 a, b, c, d;  // a cell that is empty or not a number counts as 0
};

Cells ReadCells(const TableCells& cells) {
    const auto read = [](std::string_view text) { return ParseFixed4(text).value_or(Fixed4{}); };
    return {read(cells.a), read(cells.b), read(cells.c), read(cells.d)};
}

// The margins and n; a total beyond the fixed-point range has no value.
struct Margins {
    std::optional<Fixed4> positive, negative, row1, row2, grand;
    std::optional<std::int64_t> n;
};

Margins ComputeMargins(const Cells& cells) {
    Margins m;
    m.positive = add(cells.a, cells.c);
    m.negative = add(cells.b, cells.d);
    m.row1 = add(cells.a, cells.b);
    m.row2 = add(cells.c, cells.d);
    if (m.row1 && m.row2) m.grand = add(*m.row1, *m.row2);
    if (m.grand) {
        // n is the grand total rounded to a whole number, halves to even.
        const std::int64_t units = m.grand->units();
        std::int64_t whole = units / Fixed4::kScale;
        const std::int64_t rest = units % Fixed4::kScale;  // same sign as units
        const std::int64_t twice = 2 * (rest < 0 ? -rest : rest);
        if (twice > Fixed4::kScale || (twice == Fixed4::kScale && whole % 2 != 0)) whole += units < 0 ? -1 : 1;
        m.n = whole;
    }
    return m;
}

std::string TextOf(const std::optional<Fixed4>& value) { return value ? FixedText(*value) : ""; }

std::string ShowFourDecimals(const std::optional<double>& value) {
    return value ? FormatFourDecimals(GeneralNumberText(*value)) : "";
}

// A product of table figures as a double. It is formed exactly in fixed point,
// as the figures themselves are held; a product too large for that is formed
// in double instead, so that a large table still has its result.
template <std::size_t N>
double Product(const std::array<Fixed4, N>& factors) {
    std::optional<Fixed4> exact = factors[0];
    for (std::size_t i = 1; i < N && exact; ++i) exact = multiply(*exact, factors[i]);
    if (exact) return exact->toDouble();
    double product = 1;
    for (Fixed4 factor : factors) product *= factor.toDouble();
    return product;
}

// ad - bc, exact where it fits in fixed point.
double CrossDifference(const Cells& t) {
    const auto ad = multiply(t.a, t.d);
    const auto bc = multiply(t.b, t.c);
    const auto difference = (ad && bc) ? subtract(*ad, *bc) : std::nullopt;
    if (difference) return difference->toDouble();
    return t.a.toDouble() * t.d.toDouble() - t.b.toDouble() * t.c.toDouble();
}

std::optional<double> Finite(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace

TableTotals ComputeTableTotals(const TableCells& cells) {
    const Margins m = ComputeMargins(ReadCells(cells));
    return {TextOf(m.positive), TextOf(m.negative), TextOf(m.row1), TextOf(m.row2), TextOf(m.grand)};
}

std::string_view JudgeChiSquare(std::string_view shownValue) {
    const double x = LeadingNumber(shownValue);
    if (x >= kChiSquare005 && x < kChiSquare001) return kPBelow005;
    if (x >= kChiSquare001) return kPBelow001;
    return kPAbove005;
}

// T = row total x column total / n for each cell; chi-square = (ad - bc)^2 n / D,
// or (|ad - bc| - n/2)^2 n / D when an expected count is below 5, where D is
// the product of the four margins. The corrected difference is deliberately
// not clamped at zero.
FourFoldResult FourFoldChiSquare(const TableCells& texts) {
    const Cells cells = ReadCells(texts);
    const Margins m = ComputeMargins(cells);
    const bool haveMargins = m.positive && m.negative && m.row1 && m.row2 && m.n;
    const bool computable = haveMargins && *m.n != 0;

    std::array<std::optional<double>, 4> expected;  // T(a), T(b), T(c), T(d)
    std::optional<Fixed4> expectedD;                // T(d) is held to four places
    if (computable) {
        const double n = static_cast<double>(*m.n);
        expected[0] = Finite(Product(std::array{*m.row1, *m.positive}) / n);
        expected[1] = Finite(Product(std::array{*m.row1, *m.negative}) / n);
        expected[2] = Finite(Product(std::array{*m.row2, *m.positive}) / n);
        const auto d = Finite(Product(std::array{*m.row2, *m.negative}) / n);
        if (d) expectedD = Fixed4::fromDouble(*d);
        if (expectedD) expected[3] = expectedD->toDouble();
    }

    FourFoldResult result;
    result.expectedA = ShowFourDecimals(expected[0]);
    result.expectedB = ShowFourDecimals(expected[1]);
    result.expectedC = ShowFourDecimals(expected[2]);
    result.expectedD = expectedD ? FormatFourDecimals(FixedText(*expectedD)) : "";
    result.n = m.n ? std::to_string(*m.n) : "";

    // An expected count that cannot be computed counts as 0.
    bool allAtLeast5 = true, anyBelow1 = false;
    for (const auto& t : expected) {
        const double value = t.value_or(0.0);
        allAtLeast5 = allAtLeast5 && value >= 5;
        anyBelow1 = anyBelow1 || value < 1;
    }

    if (computable) {
        const double n = static_cast<double>(*m.n);
        const double margins = Product(std::array{*m.row1, *m.row2, *m.positive, *m.negative});
        double difference = CrossDifference(cells);
        if (!allAtLeast5) difference = std::fabs(difference) - n / 2;
        if (margins != 0) result.chiSquare = ShowFourDecimals(Finite(difference * difference * n / margins));
    }

    result.verdict = JudgeChiSquare(result.chiSquare);
    if (!m.n || *m.n < 40 || anyBelow1) result.verdict = kFourFoldWarning;
    return result;
}

// McNemar: chi-square = (b - c)^2 / (b + c) when b + c >= 40, otherwise
// (|b - c| - 1)^2 / (b + c). The correction is not clamped, so b = c gives
// 1 / (b + c).
PairedChiSquareResult PairedChiSquare(const TableCells& texts) {
    const Cells cells = ReadCells(texts);
    const Margins m = ComputeMargins(cells);
    PairedChiSquareResult result;
    result.n = m.n ? std::to_string(*m.n) : "";

    const auto discordant = add(cells.b, cells.c);
    const auto difference = subtract(cells.b, cells.c);
    if (discordant && difference && discordant->units() != 0) {
        double numerator = difference->toDouble();
        if (*discordant < Fixed4::fromUnits(40 * Fixed4::kScale)) numerator = std::fabs(numerator) - 1;
        result.chiSquare = ShowFourDecimals(Finite(numerator * numerator / discordant->toDouble()));
    }
    result.verdict = JudgeChiSquare(result.chiSquare);
    return result;
}

} // namespace korvanta::stats
