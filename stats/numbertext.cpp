#include "stats/numbertext.h"

#include "stats/decimalscan.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace korvanta::stats {

namespace {

using detail::Decimal;
__extension__ typedef unsigned __int128 u128; // GCC and Clang extension

constexpr std::uint64_t kMaxPositiveUnits = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
constexpr std::uint64_t kMaxNegativeUnits = kMaxPositiveUnits + 1; // |INT64_MIN|

// A magnitude and a sign to a count of units, when it fits in 64 bits.
std::optional<Fixed4> FromMagnitude(u128 magnitude, bool negative)
{
    if (negative) {
        if (magnitude > kMaxNegativeUnits) return std::nullopt;
        // Negate in unsigned arithmetic so that |INT64_MIN| converts exactly.
        return Fixed4::FromUnits(static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(magnitude)));
    }
    if (magnitude > kMaxPositiveUnits) return std::nullopt;
    return Fixed4::FromUnits(static_cast<std::int64_t>(magnitude));
}

// quotient = round(numerator / divisor), halves to even.
u128 DivideHalfEven(u128 numerator, u128 divisor)
{
    u128 quotient = numerator / divisor;
    const u128 remainder = numerator % divisor;
    const u128 rest = divisor - remainder; // remainder compared with half the divisor, exactly
    if (remainder > rest || (remainder == rest && (quotient & 1) != 0)) ++quotient;
    return quotient;
}

std::uint64_t Magnitude(std::int64_t units)
{
    return units < 0 ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
}

// The digits of a decimal string plus one in the last place ("199" -> "200").
void IncrementDigits(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// Units of 10^-4 of a decimal, rounded to the unit; empty past 64 bits.
// Halves go to even (ties) or away from zero.
enum class Halves { ToEven, AwayFromZero };
std::optional<std::string> RoundedUnitDigits(const Decimal& value, Halves halves, std::int64_t maxDigits)
{
    if (value.IsZero()) return std::string("0");
    const std::int64_t shift = value.exp10 + 4;
    const auto count = static_cast<std::int64_t>(value.digits.size());
    if (shift >= 0) {
        if (count + shift > maxDigits) return std::nullopt;
        return value.digits + std::string(static_cast<std::size_t>(shift), '0');
    }
    const std::int64_t keep = count + shift; // digits left of the rounding place
    if (keep > maxDigits) return std::nullopt;
    if (keep < 0) return std::string("0"); // below a tenth of a unit
    std::string whole = value.digits.substr(0, static_cast<std::size_t>(keep));
    const std::string_view dropped = std::string_view(value.digits).substr(static_cast<std::size_t>(keep));
    // Trailing zeros are stripped, so the dropped part is never zero and is an
    // exact half only when it is the single digit 5.
    bool up = dropped.front() > '5' || (dropped.front() == '5' && dropped.size() > 1);
    if (dropped == "5") {
        const bool lastOdd = !whole.empty() && ((whole.back() - '0') % 2 == 1);
        up = halves == Halves::AwayFromZero || lastOdd;
    }
    if (whole.empty()) whole = "0";
    if (up) IncrementDigits(whole);
    return whole;
}

} // namespace

// ----- Fixed4 -----

std::optional<Fixed4> Fixed4::FromInteger(std::int64_t whole)
{
    std::int64_t units = 0;
    if (__builtin_mul_overflow(whole, kScale, &units)) return std::nullopt;
    return FromUnits(units);
}

// Exact: the double is m x 2^e with an integer m below 2^53, so its count of
// ten-thousandths is m x 10000 x 2^e, rounded by an exact integer division.
std::optional<Fixed4> Fixed4::FromDouble(double value)
{
    if (!std::isfinite(value)) return std::nullopt;
    if (value == 0.0) return Fixed4{};
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent); // in [0.5, 1)
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int power = exponent - 53;
    const u128 scaled = static_cast<u128>(mantissa) * static_cast<u128>(kScale); // below 2^67
    u128 magnitude = 0;
    if (power >= 0) {
        if (power > 60) return std::nullopt; // at least 2^73, far beyond 64 bits
        magnitude = scaled << power;
    } else if (-power >= 100) {
        magnitude = 0; // below 2^-33 of a unit
    } else {
        magnitude = DivideHalfEven(scaled, static_cast<u128>(1) << -power);
    }
    return FromMagnitude(magnitude, value < 0);
}

namespace detail {
std::optional<Fixed4> MultiplyWide(Fixed4 a, Fixed4 b)
{
    // Both magnitudes are at most 2^63, so the product fits in 126 bits.
    const bool negative = (a.Units() < 0) != (b.Units() < 0);
    const u128 product = static_cast<u128>(Magnitude(a.Units())) * Magnitude(b.Units());
    return FromMagnitude(DivideHalfEven(product, Fixed4::kScale), negative);
}
} // namespace detail

// ----- Text to numbers -----

std::optional<Fixed4> ParseFixed4(std::string_view text)
{
    const auto scanned = detail::ScanWholeNumber(text);
    if (!scanned) return std::nullopt;
    const Decimal value = detail::ToDecimal(*scanned);
    // 2^63 has 19 digits; anything longer overflows before it is computed.
    const auto digits = RoundedUnitDigits(value, Halves::ToEven, 19);
    if (!digits) return std::nullopt;
    u128 magnitude = 0;
    for (char c : *digits) magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
    return FromMagnitude(magnitude, value.negative);
}

std::optional<double> ParseDouble(std::string_view text)
{
    const auto scanned = detail::ScanWholeNumber(text);
    if (!scanned) return std::nullopt;
    const auto value = detail::ToDouble(detail::ToDecimal(*scanned));
    if (!value) return std::nullopt;
    return *value == 0.0 ? 0.0 : *value; // no negative zero
}

// A number's text too large for a double reads as the infinity of its sign.
double LeadingNumber(std::string_view text)
{
    std::size_t first = 0;
    while (first < text.size() && detail::IsSpace(text[first])) ++first;
    const auto scanned = detail::ScanNumber(text.substr(first));
    if (!scanned) return 0.0;
    const Decimal decimal = detail::ToDecimal(*scanned);
    const auto value = detail::ToDouble(decimal);
    if (!value) {
        return decimal.negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    return *value == 0.0 ? 0.0 : *value;
}

// ----- Numbers to text -----

std::string FixedText(Fixed4 value)
{
    const std::uint64_t magnitude = Magnitude(value.Units());
    if (magnitude == 0) return "0";
    const std::uint64_t whole = magnitude / Fixed4::kScale;
    std::string fraction = std::to_string(magnitude % Fixed4::kScale);
    fraction.insert(0, 4 - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();

    std::string text = value.Units() < 0 ? "-" : "";
    if (whole != 0) text += std::to_string(whole);
    if (!fraction.empty()) text += "." + fraction;
    return text;
}

// Plain form for rounded magnitudes 1e-4 <= |x| < 1e15, that is decimal
// exponents -4 to 14 after rounding to 15 significant digits (so 0.0001 reads
// ".0001", 0.00001 "1E-05", 999999999999999 "999999999999999" and 1e15 "1E+15").
// Zero of either sign is "0". A value that is not finite has no text here.
std::string GeneralNumberText(double value)
{
    if (!std::isfinite(value)) return "";
    if (value == 0.0) return "0";
    char out[40];
    char* o = out;
    if (value < 0) *o++ = '-';
    const double magnitude = std::fabs(value);
    // A whole number below 10^15 is its own 15-digit rounding; an import
    // writes tens of thousands of them.
    if (magnitude < 1e15 && magnitude == std::floor(magnitude)) {
        o = std::to_chars(o, out + sizeof out, static_cast<std::int64_t>(magnitude)).ptr;
        return std::string(out, o);
    }
    char buffer[64];
    // The shortest text that reads back as a normal double, "d.ddde+XX":
    // with at most 15 significant digits it is also the value rounded to 15
    // (it is within half a unit of the 17th digit of the value, far inside
    // half a unit of the 15th), and it is quicker to find. A subnormal has
    // fewer digits of its own, so its shortest text proves nothing.
    std::string_view scientific;
    std::size_t e = std::string_view::npos;
    if (magnitude >= std::numeric_limits<double>::min()) {
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
        scientific = std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer));
        e = scientific.find('e');
    }
    if (e > 16) {
        // "d.dddddddddddddde+XX": the value correctly rounded to 15 significant digits.
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
        scientific = std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer));
        e = scientific.find('e');
    }
    char digits[16];
    std::size_t count = 0;
    for (char c : scientific.substr(0, e))
        if (c != '.') digits[count++] = c;
    while (count > 1 && digits[count - 1] == '0') --count;
    int exponent = 0;
    std::string_view exponentText = scientific.substr(e + 1);
    if (!exponentText.empty() && exponentText.front() == '+') exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    const auto put = [&o](const char* from, std::size_t n) {
        std::memcpy(o, from, n);
        o += n;
    };
    if (exponent < -4 || exponent >= 15) {
        *o++ = digits[0];
        if (count > 1) {
            *o++ = '.';
            put(digits + 1, count - 1);
        }
        *o++ = 'E';
        *o++ = exponent < 0 ? '-' : '+';
        const int size = exponent < 0 ? -exponent : exponent;
        if (size < 10) *o++ = '0';
        o = std::to_chars(o, out + sizeof out, size).ptr;
    } else if (exponent >= 0) {
        const auto intCount = static_cast<std::size_t>(exponent) + 1;
        if (count <= intCount) {
            put(digits, count);
            o = std::fill_n(o, intCount - count, '0');
        } else {
            put(digits, intCount);
            *o++ = '.';
            put(digits + intCount, count - intCount);
        }
    } else {
        *o++ = '.';
        o = std::fill_n(o, -exponent - 1, '0');
        put(digits, count);
    }
    return std::string(out, o);
}

// A negative value that rounds to zero is shown as "0.0000": a minus sign on
// a zero would suggest a direction the value does not have at this precision.
// Texts of numbers beyond the double range are not numbers to the display and
// are returned as repaired, like any other text.
std::string FormatFourDecimals(std::string_view text)
{
    std::string repaired;
    if (!text.empty() && text.front() == '.') {
        repaired = "0";
        repaired += text;
    } else if (text.starts_with("-.")) {
        std::size_t from = 0;
        while (from < text.size()) {
            const std::size_t at = text.find("-.", from);
            if (at == std::string_view::npos) {
                repaired += text.substr(from);
                break;
            }
            repaired += text.substr(from, at - from);
            repaired += "-0.";
            from = at + 2;
        }
    } else {
        repaired = text;
    }

    const auto scanned = detail::ScanWholeNumber(repaired);
    if (!scanned) return repaired;
    const Decimal value = detail::ToDecimal(*scanned);
    if (!detail::ToDouble(value)) return repaired;
    // Within the double range the whole part has at most 309 digits.
    auto units = RoundedUnitDigits(value, Halves::AwayFromZero, 400);
    if (!units) return repaired;
    if (units->size() < 5) units->insert(0, 5 - units->size(), '0');

    std::string shown = (value.negative && *units != "00000") ? "-" : "";
    shown += std::string_view(*units).substr(0, units->size() - 4);
    shown += '.';
    shown += std::string_view(*units).substr(units->size() - 4);
    return shown;
}

} // namespace korvanta::stats
