// Internal to the statistics library: the one grammar of a number's text that
// every conversion of numbertext.cpp shares, and the decimal digits it names.
//
//   number   = [sign] (digits ["." [digits]] | "." digits) [exponent]
//   exponent = ("e" | "E") [sign] digits
//
// Scanning never converts to a binary number, so texts of any length and with
// any exponent are read without overflow; rounding is then done on the digits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvanta::stats::detail {

// Exponents are held up to this magnitude; anything larger is equally out of
// every range the program uses, and clamping keeps the arithmetic in 64 bits.
inline constexpr std::int64_t kExponentClamp = 1'000'000'000'000;

struct ScannedNumber {
    bool negative = false;
    std::string_view intDigits;  // digits before the point, possibly empty
    std::string_view fracDigits; // digits after the point, possibly empty
    std::int64_t exponent = 0;   // value of the exponent part, clamped
    std::size_t end = 0;         // index just past the number
};

// The longest number at the very start of text (no spaces skipped), or empty
// when the text does not start with one. An "e" not followed by digits ends
// the number before the "e".
std::optional<ScannedNumber> ScanNumber(std::string_view text);

// A whole text that is one number with optional spaces (or tabs) around it.
std::optional<ScannedNumber> ScanWholeNumber(std::string_view text);

// The value of a scanned number as significant digits: value = digits x 10^exp10,
// digits without leading or trailing zeros ("" for zero).
struct Decimal {
    bool negative = false;
    std::string digits;
    std::int64_t exp10 = 0;

    bool IsZero() const { return digits.empty(); }
    // Count of digits before the point of the value's plain form (can be <= 0):
    // 10^(magnitude - 1) <= |value| < 10^magnitude.
    std::int64_t Magnitude() const { return static_cast<std::int64_t>(digits.size()) + exp10; }
};
Decimal ToDecimal(const ScannedNumber& number);

// The nearest double; empty when the magnitude is beyond the double range.
// Values too small for a double become zero.
std::optional<double> ToDouble(const Decimal& value);

bool IsSpace(char c);

} // namespace korvanta::stats::detail
