// Number text: every conversion between the texts the user types or reads and
// the numbers the tests compute with. Numbers are text only at the edges of the
// program; each conversion lives here once, with its rounding rule beside it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvanta::stats {

// A decimal with exactly four fractional digits, held as a signed 64-bit count
// of ten-thousandths (range -922,337,203,685,477.5808 to 922,337,203,685,477.5807).
// Sums and differences of typed values are exact in this form; the arithmetic
// reports overflow (an empty optional) instead of wrapping.
class Fixed4 {
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Fixed4() = default;
    static constexpr Fixed4 FromUnits(std::int64_t units)
    {
        Fixed4 f;
        f.units_ = units;
        return f;
    }
    // Whole numbers; empty when out of range.
    static std::optional<Fixed4> FromInteger(std::int64_t whole);
    // Rounds a double to four places, halves to even; empty when not finite or out of range.
    static std::optional<Fixed4> FromDouble(double value);

    constexpr std::int64_t Units() const { return units_; }
    // The nearest double to the decimal value (one correctly rounded division).
    double ToDouble() const { return static_cast<double>(units_) / static_cast<double>(kScale); }

    // add, subtract and multiply (the exact product rounded to four places,
    // halves to even) are below.

    friend constexpr bool operator==(Fixed4, Fixed4) = default;
    friend constexpr auto operator<=>(Fixed4, Fixed4) = default;

private:
    std::int64_t units_ = 0;
};

// Inline: the tests run these for every stored row on every keystroke.
inline std::optional<Fixed4> Add(Fixed4 a, Fixed4 b)
{
    std::int64_t units = 0;
    if (__builtin_add_overflow(a.Units(), b.Units(), &units)) return std::nullopt;
    return Fixed4::FromUnits(units);
}

inline std::optional<Fixed4> Subtract(Fixed4 a, Fixed4 b)
{
    std::int64_t units = 0;
    if (__builtin_sub_overflow(a.Units(), b.Units(), &units)) return std::nullopt;
    return Fixed4::FromUnits(units);
}

namespace detail {
// The product of magnitudes too large for 64 bits, in 128 bits.
std::optional<Fixed4> MultiplyWide(Fixed4 a, Fixed4 b);
} // namespace detail

inline std::optional<Fixed4> Multiply(Fixed4 a, Fixed4 b)
{
    const bool negative = (a.Units() < 0) != (b.Units() < 0);
    const auto magnitude = [](std::int64_t units) {
        return units < 0 ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    };
    // Products of everyday values fit in 64 bits, where dividing by the
    // constant scale is a multiplication.
    std::uint64_t product = 0;
    if (__builtin_mul_overflow(magnitude(a.Units()), magnitude(b.Units()), &product)) return detail::MultiplyWide(a, b);
    constexpr auto scale = static_cast<std::uint64_t>(Fixed4::kScale);
    std::uint64_t quotient = product / scale;
    const std::uint64_t remainder = product % scale;
    const std::uint64_t rest = scale - remainder;
    if (remainder > rest || (remainder == rest && (quotient & 1) != 0)) ++quotient; // halves to even
    // quotient < 2^64 / 10^4, far inside the signed range.
    const auto units = static_cast<std::int64_t>(quotient);
    return Fixed4::FromUnits(negative ? -units : units);
}

// Text to fixed point. Accepts surrounding spaces, an optional sign, digits with
// an optional point (at least one digit in all), and an optional exponent
// ("1e3", "2.5E-2"). More than four decimals are rounded to four, halves to even.
// "", "-", ".", "1..2", "nan", "inf", hexadecimal and everything else fail.
std::optional<Fixed4> ParseFixed4(std::string_view text);

// Fixed point to text: plain decimal, no trailing zeros, no zero before the
// point below 1 (".5", "-.25"), "0" for zero.
std::string FixedText(Fixed4 value);

// Double to text in the general form: up to 15 significant digits, no
// thousands separators, no zero before the point below magnitude 1 (".5",
// "-.5"); exponent form ("1E+15", "1.5E-05") for magnitudes of 1e15 and above
// or below 1e-4.
std::string GeneralNumberText(double value);

// Reads a whole text as a double (the calculator's display, general form);
// empty when the text is not a number.
std::optional<double> ParseDouble(std::string_view text);

// The leading number of a text, for reading labels and table cells back:
// leading spaces are skipped, reading stops at the first character that cannot
// continue the number, and a text that does not start with a number reads as 0.
double LeadingNumber(std::string_view text);

// The four-decimal display of a number's text: repairs a missing zero before
// the point, then rounds to four places (halves away from zero). A text that is
// not a number is returned as repaired. Never fails.
std::string FormatFourDecimals(std::string_view text);

} // namespace korvanta::stats
