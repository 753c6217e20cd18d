#include "stats/exactfigures.h"

#include <algorithm>

namespace korvanta::stats {

void ColumnMoments::Add(const CellValue& cell, int sign)
{
    if (!cell.IsNumber()) return;
    n += sign;
    sum.Add(cell.exact, sign);
    squares.AddProduct(cell.exact, cell.exact, sign);
}

void PairMoments::Add(const CellValue& xCell, const CellValue& yCell, int sign)
{
    if (!xCell.IsNumber() || !yCell.IsNumber()) return;
    n += sign;
    x.Add(xCell.exact, sign);
    y.Add(yCell.exact, sign);
    xx.AddProduct(xCell.exact, xCell.exact, sign);
    yy.AddProduct(yCell.exact, yCell.exact, sign);
    xy.AddProduct(xCell.exact, yCell.exact, sign);
}

ColumnMoments MomentsOf(Column column)
{
    ColumnMoments moments;
    for (const CellValue& cell : column) moments.Add(cell, 1);
    return moments;
}

PairMoments MomentsOf(Column x, Column y)
{
    PairMoments moments;
    const std::size_t rows = std::min(x.size(), y.size());
    for (std::size_t k = 0; k < rows; ++k) moments.Add(x[k], y[k], 1);
    return moments;
}

namespace {

// sum of squares about the mean: sum x^2 - (sum x)^2 / n.
Rational AboutMean(const Rational& squares, const Rational& sum, std::int64_t n) { return squares - sum * sum / n; }

} // namespace

std::optional<SampleFigures> SampleOf(const ColumnMoments& moments)
{
    if (moments.n <= 0) return std::nullopt;
    const Rational sum = moments.sum.Value();
    SampleFigures figures;
    figures.count = moments.n;
    figures.mean = sum / moments.n;
    if (moments.n > 1) figures.variance = AboutMean(moments.squares.Value(), sum, moments.n) / (moments.n - 1);
    return figures;
}

DifferenceFigures DifferencesOf(const PairMoments& moments)
{
    DifferenceFigures figures;
    figures.n = moments.n;
    if (moments.n <= 0) return figures;
    // d = x - y: sum d = sum x - sum y, sum d^2 = sum x^2 - 2 sum xy + sum y^2.
    const Rational sum = moments.x.Value() - moments.y.Value();
    const Rational squares = moments.xx.Value() - 2 * moments.xy.Value() + moments.yy.Value();
    figures.mean = sum / moments.n;
    if (moments.n > 1) figures.variance = AboutMean(squares, sum, moments.n) / (moments.n - 1);
    return figures;
}

LineFigures LineOf(const PairMoments& moments)
{
    LineFigures figures;
    figures.n = moments.n;
    if (moments.n <= 0) return figures;
    const Rational sx = moments.x.Value(), sy = moments.y.Value();
    figures.meanX = sx / moments.n;
    figures.meanY = sy / moments.n;
    figures.lxx = AboutMean(moments.xx.Value(), sx, moments.n);
    figures.lyy = AboutMean(moments.yy.Value(), sy, moments.n);
    figures.lxy = moments.xy.Value() - sx * sy / moments.n;
    return figures;
}

std::optional<Rational> LineFigures::TrSquared() const
{
    const Rational spread = lxx * lyy;
    const Rational rest = spread - lxy * lxy; // (1 - r^2) lxx lyy
    if (rest <= 0) return std::nullopt;
    return lxy * lxy * (n - 2) / rest;
}

std::optional<PooledFigures> PooledOf(const SampleFigures& first, const SampleFigures& second)
{
    PooledFigures figures;
    figures.df = first.count + second.count - 2;
    if (first.count == 0 || second.count == 0 || figures.df <= 0) return std::nullopt;
    figures.difference = first.mean - second.mean;
    figures.pooledVariance = ((first.count - 1) * first.variance + (second.count - 1) * second.variance) / figures.df;
    figures.seSquared = figures.pooledVariance * (1 / first.count + 1 / second.count);
    return figures;
}

std::optional<Rational> FourFoldChiSquareOf(const TableFigures& t, const Rational& n, bool corrected)
{
    const Rational margins = t.Row1() * t.Row2() * t.Col1() * t.Col2();
    if (margins == 0) return std::nullopt;
    Rational deviation = abs(t.a * t.d - t.b * t.c);
    if (corrected) deviation = std::max(Rational(0), Rational(deviation - n / 2));
    return n * deviation * deviation / margins;
}

std::optional<Rational> McNemarOf(const Rational& b, const Rational& c, bool corrected)
{
    const Rational discordant = b + c;
    if (discordant == 0) return std::nullopt;
    Rational deviation = abs(b - c);
    if (corrected) deviation = std::max(Rational(0), Rational(deviation - 1));
    return deviation * deviation / discordant;
}

} // namespace korvanta::stats
