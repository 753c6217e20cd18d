// The one numeric core of the tests: exact sums of the data (kept up to
// date cell by cell by the grid store) and the exact figures the result
// panels and the detailed results are both drawn from. Every figure is an
// exact rational, or the square root of one; the panels round it once to
// four decimals, the detailed results take its nearest double.
#pragma once

#include "stats/cellvalue.h"
#include "stats/exact.h"

#include <cstdint>
#include <optional>

namespace korvanta::stats {

// Count, sum and sum of squares of the numbers of one column.
struct ColumnMoments {
    std::int64_t n = 0;
    ExactSum sum, squares;

    // sign +1 puts the cell's value in, -1 takes it out; a cell that is not a
    // number counts for nothing.
    void Add(const CellValue& cell, int sign);
};

// Sums over the rows where both cells hold numbers.
struct PairMoments {
    std::int64_t n = 0;
    ExactSum x, y, xx, yy, xy;

    void Add(const CellValue& x, const CellValue& y, int sign);
};

ColumnMoments MomentsOf(Column column);
PairMoments MomentsOf(Column x, Column y);

// A group as the two-sample test sees it. A count may be typed with a
// fraction; the variance is 0 for a single value.
struct SampleFigures {
    Rational count, mean, variance;
};
// Empty without values.
std::optional<SampleFigures> SampleOf(const ColumnMoments& moments);

// The differences x - y of the complete rows: count, mean and variance
// (the variance needs two rows).
struct DifferenceFigures {
    std::int64_t n = 0;
    Rational mean, variance;
};
DifferenceFigures DifferencesOf(const PairMoments& moments);

// Sums of squares and products about the means.
struct LineFigures {
    std::int64_t n = 0;
    Rational meanX, meanY, lxx, lyy, lxy;

    Rational Slope() const { return lxy / lxx; } // lxx != 0
    Rational Intercept() const { return meanY - Slope() * meanX; }
    Rational RSquared() const { return lxy * lxy / (lxx * lyy); } // lxx, lyy != 0
    // t_r^2 = r^2 (n - 2) / (1 - r^2); empty for a perfect line.
    std::optional<Rational> TrSquared() const;
    // sum of squared residuals about the line / (n - 2).
    Rational ResidualVariance() const { return (lyy - lxy * lxy / lxx) / (n - 2); }
};
LineFigures LineOf(const PairMoments& moments);

// Student's t with the pooled variance:
//   Sc^2 = ((N1 - 1) S1^2 + (N2 - 1) S2^2) / (N1 + N2 - 2), SE^2 = Sc^2 (1/N1 + 1/N2).
struct PooledFigures {
    Rational difference;     // X1 - X2
    Rational df;             // N1 + N2 - 2
    Rational pooledVariance; // Sc^2
    Rational seSquared;      // SE^2
};
// Empty when a count is zero or the df are not positive.
std::optional<PooledFigures> PooledOf(const SampleFigures& first, const SampleFigures& second);

// The 2x2 table. n as given (the panel rounds its grand total first).
// Expected count of a cell: row total x column total / n.
// chi2 = n (ad - bc)^2 / D with D the product of the margins; corrected, the
// deviation |ad - bc| - n/2 is never taken below zero. Empty for D = 0.
struct TableFigures {
    Rational a, b, c, d;
    Rational Row1() const { return a + b; }
    Rational Row2() const { return c + d; }
    Rational Col1() const { return a + c; }
    Rational Col2() const { return b + d; }
};
std::optional<Rational> FourFoldChiSquareOf(const TableFigures& table, const Rational& n, bool corrected);
// McNemar: (b - c)^2 / (b + c), corrected (|b - c| - 1)^2 / (b + c) with
// the deviation never below zero. Empty for b + c = 0.
std::optional<Rational> McNemarOf(const Rational& b, const Rational& c, bool corrected);

} // namespace korvanta::stats
