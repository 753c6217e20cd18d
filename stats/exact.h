// Exact decimal arithmetic for the statistics: a typed value as an integer
// scaled by a power of ten, sums of such values and of their products that
// never round, and the four-decimal display of an exact figure (rational, or
// the square root of a rational) rounded once, at the end.
//
// The fast path holds everything in 128-bit integers; a sum or product that
// would not fit moves to an arbitrary-precision integer, so the result is
// exact for every value a cell accepts.
#pragma once

#include <boost/multiprecision/cpp_int.hpp>

#include <optional>
#include <string>
#include <string_view>

namespace korvanta::stats {

__extension__ typedef __int128 Int128; // GCC and Clang extension
using BigInt = boost::multiprecision::cpp_int;
using Rational = boost::multiprecision::cpp_rational;

// value = mantissa x 10^-decimals. Values are held to kMaxDecimals places
// (more are rounded there, halves to even) within the range of the
// four-decimal fixed point, so the mantissa always fits in 128 bits. No
// trailing zeros are kept in the fraction ("1.50" has one decimal).
struct ExactDecimal {
    static constexpr int kMaxDecimals = 22;
    Int128 mantissa = 0;
    int decimals = 0;

    bool IsZero() const { return mantissa == 0; }
    friend bool operator==(const ExactDecimal&, const ExactDecimal&) = default;
};

// The exact value of a number's text, under the grammar and range of
// ParseFixed4 (which accepts exactly the same texts).
std::optional<ExactDecimal> ParseExact(std::string_view text);

// Plain decimal text: no trailing zeros, no zero before the point below 1
// (".5", "-.25"), "0" for zero; like FixedText, at full precision.
std::string ExactText(const ExactDecimal& value);

Rational ToRational(const ExactDecimal& value);
ExactDecimal Add(const ExactDecimal& a, const ExactDecimal& b);
ExactDecimal Negate(const ExactDecimal& value);

// 10^power as a big integer.
BigInt PowerOfTen(int power);

// A running sum of exact terms. Terms come and go (a changed cell takes its
// old term out and puts the new one in); the integers never drift, so the
// sum is always that of the terms present.
class ExactSum {
public:
    void Add(const ExactDecimal& term, int sign);
    // sign x a x b.
    void AddProduct(const ExactDecimal& a, const ExactDecimal& b, int sign);

    Rational Value() const;
    // The sum as an integer count of 10^-decimals; decimals must be at least
    // the sum's own (any earlier term's decimals).
    BigInt Scaled(int decimals) const;
    int Decimals() const { return decimals_; }

private:
    void AddScaled(Int128 units, int decimals, int sign);
    void AddScaledBig(const BigInt& units, int decimals);
    void RescaleTo(int decimals);

    int decimals_ = 0;
    Int128 small_ = 0;
    std::optional<BigInt> big_; // once the sum has left 128 bits
};

// The four-decimal display of an exact figure: halves away from zero, at
// least one digit before the point, and "0.0000" (no sign) for a negative
// value that rounds to zero, as FormatFourDecimals shows it.
std::string FourDecimals(const Rational& value);
// The same of sqrt(square), square >= 0.
std::string FourDecimalsOfRoot(const Rational& square);

// The nearest double (to well within an ulp) of an exact figure and of its
// root; infinite beyond the double range.
double ToDouble(const Rational& value);
double RootToDouble(const Rational& square);

} // namespace korvanta::stats
