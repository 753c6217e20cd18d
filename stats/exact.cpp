#include "stats/exact.h"

#include "stats/decimalscan.h"
#include "stats/numbertext.h"

#include <boost/multiprecision/cpp_bin_float.hpp>

#include <array>

namespace korvanta::stats {

namespace {

using Float = boost::multiprecision::cpp_bin_float_50; // 166 bits: far past a double's 53

// 10^0 .. 10^38, every power of ten a signed 128-bit integer holds.
constexpr int kInt128Powers = 39;
constexpr std::array<Int128, kInt128Powers> MakePowers()
{
    std::array<Int128, kInt128Powers> powers{};
    Int128 p = 1;
    for (int k = 0; k < kInt128Powers; ++k) {
        powers[static_cast<std::size_t>(k)] = p;
        if (k + 1 < kInt128Powers) p *= 10;
    }
    return powers;
}
constexpr auto kPowers = MakePowers();

BigInt Big(Int128 value)
{
    // Through two 64-bit halves: no reliance on the library's 128-bit support.
    const bool negative = value < 0;
    __extension__ unsigned __int128 magnitude =
        negative ? 0 - static_cast<unsigned __int128>(value) : static_cast<unsigned __int128>(value);
    BigInt big = static_cast<std::uint64_t>(magnitude >> 64);
    big <<= 64;
    big += static_cast<std::uint64_t>(magnitude);
    return negative ? BigInt(-big) : big;
}

// "1234" as 12.34 with four decimals; value is a count of ten-thousandths >= 0.
std::string FourDecimalText(const BigInt& units, bool negative)
{
    std::string digits = units.str();
    if (digits.size() < 5) digits.insert(0, 5 - digits.size(), '0');
    std::string text = (negative && units != 0) ? "-" : "";
    text += digits.substr(0, digits.size() - 4);
    text += '.';
    text += digits.substr(digits.size() - 4);
    return text;
}

} // namespace

BigInt PowerOfTen(int power)
{
    if (power < kInt128Powers) return Big(kPowers[static_cast<std::size_t>(power)]);
    return boost::multiprecision::pow(BigInt(10), static_cast<unsigned>(power));
}

std::optional<ExactDecimal> ParseExact(std::string_view text)
{
    // The accepted texts and the range are the fixed point's.
    if (!ParseFixed4(text)) return std::nullopt;
    const auto scanned = detail::ScanWholeNumber(text);
    const detail::Decimal value = detail::ToDecimal(*scanned);
    if (value.IsZero()) return ExactDecimal{};

    std::string digits = value.digits;
    std::int64_t exponent = value.exp10;
    if (-exponent > ExactDecimal::kMaxDecimals) {
        // Round to the last held place, halves to even. The digits have no
        // trailing zeros, so the dropped part is a half only when it is "5".
        const std::int64_t keep = static_cast<std::int64_t>(digits.size()) + exponent + ExactDecimal::kMaxDecimals;
        if (keep < 0) return ExactDecimal{};
        std::string whole = digits.substr(0, static_cast<std::size_t>(keep));
        const std::string dropped = digits.substr(static_cast<std::size_t>(keep));
        bool up = dropped.front() > '5' || (dropped.front() == '5' && dropped.size() > 1);
        if (dropped == "5") up = !whole.empty() && (whole.back() - '0') % 2 == 1;
        if (whole.empty()) whole = "0";
        if (up) {
            auto it = whole.rbegin();
            for (; it != whole.rend() && *it == '9'; ++it) *it = '0';
            if (it == whole.rend())
                whole.insert(whole.begin(), '1');
            else
                ++*it;
        }
        digits = whole;
        exponent = -ExactDecimal::kMaxDecimals;
        while (digits.size() > 1 && digits.back() == '0') {
            digits.pop_back();
            ++exponent;
        }
        if (digits == "0") return ExactDecimal{};
    }
    if (exponent > 0) digits.append(static_cast<std::size_t>(exponent), '0');

    ExactDecimal exact;
    exact.decimals = exponent < 0 ? static_cast<int>(-exponent) : 0;
    // At most 15 whole digits (the range) and 22 decimals: below 10^37.
    for (char c : digits) exact.mantissa = exact.mantissa * 10 + (c - '0');
    if (value.negative) exact.mantissa = -exact.mantissa;
    return exact;
}

std::string ExactText(const ExactDecimal& value)
{
    if (value.IsZero()) return "0";
    std::string digits = Big(value.mantissa < 0 ? -value.mantissa : value.mantissa).str();
    const auto decimals = static_cast<std::size_t>(value.decimals);
    if (digits.size() <= decimals) digits.insert(0, decimals - digits.size(), '0');
    std::string whole = digits.substr(0, digits.size() - decimals);
    std::string fraction = digits.substr(digits.size() - decimals);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    std::string text = value.mantissa < 0 ? "-" : "";
    text += whole;
    if (!fraction.empty()) text += "." + fraction;
    return text == "-" ? "0" : text;
}

Rational ToRational(const ExactDecimal& value) { return Rational(Big(value.mantissa), PowerOfTen(value.decimals)); }

ExactDecimal Add(const ExactDecimal& a, const ExactDecimal& b)
{
    // Both below 10^37 at no more than 22 decimals: the aligned sum fits.
    const int decimals = a.decimals > b.decimals ? a.decimals : b.decimals;
    const Int128 sum = a.mantissa * kPowers[static_cast<std::size_t>(decimals - a.decimals)] +
                       b.mantissa * kPowers[static_cast<std::size_t>(decimals - b.decimals)];
    ExactDecimal result{sum, decimals};
    while (result.decimals > 0 && result.mantissa % 10 == 0) {
        result.mantissa /= 10;
        --result.decimals;
    }
    if (result.mantissa == 0) result.decimals = 0;
    return result;
}

ExactDecimal Negate(const ExactDecimal& value) { return {-value.mantissa, value.decimals}; }

// ----- ExactSum -----

void ExactSum::RescaleTo(int decimals)
{
    const int shift = decimals - decimals_;
    decimals_ = decimals;
    if (!big_) {
        Int128 rescaled = 0;
        if (shift < kInt128Powers &&
            !__builtin_mul_overflow(small_, kPowers[static_cast<std::size_t>(shift)], &rescaled)) {
            small_ = rescaled;
            return;
        }
        big_ = Big(small_);
    }
    *big_ *= PowerOfTen(shift);
}

void ExactSum::AddScaledBig(const BigInt& units, int decimals)
{
    if (decimals > decimals_) RescaleTo(decimals);
    if (!big_) big_ = Big(small_);
    *big_ += units * PowerOfTen(decimals_ - decimals);
}

void ExactSum::AddScaled(Int128 units, int decimals, int sign)
{
    if (decimals > decimals_) RescaleTo(decimals);
    if (!big_) {
        const int shift = decimals_ - decimals;
        Int128 term = 0, sum = 0;
        if (shift < kInt128Powers &&
            !__builtin_mul_overflow(units, kPowers[static_cast<std::size_t>(shift)] * sign, &term) &&
            !__builtin_add_overflow(small_, term, &sum)) {
            small_ = sum;
            return;
        }
    }
    AddScaledBig(Big(units) * sign, decimals);
}

void ExactSum::Add(const ExactDecimal& term, int sign) { AddScaled(term.mantissa, term.decimals, sign); }

void ExactSum::AddProduct(const ExactDecimal& a, const ExactDecimal& b, int sign)
{
    Int128 product = 0;
    if (!__builtin_mul_overflow(a.mantissa, b.mantissa, &product)) {
        AddScaled(product, a.decimals + b.decimals, sign);
        return;
    }
    AddScaledBig(Big(a.mantissa) * Big(b.mantissa) * sign, a.decimals + b.decimals);
}

BigInt ExactSum::Scaled(int decimals) const
{
    BigInt units = big_ ? *big_ : Big(small_);
    if (decimals > decimals_) units *= PowerOfTen(decimals - decimals_);
    return units;
}

Rational ExactSum::Value() const { return Rational(Scaled(decimals_), PowerOfTen(decimals_)); }

// ----- Display and doubles -----

std::string FourDecimals(const Rational& value)
{
    const BigInt numerator = boost::multiprecision::numerator(value);
    const BigInt denominator = boost::multiprecision::denominator(value); // > 0
    const bool negative = numerator < 0;
    const BigInt scaled = (negative ? BigInt(-numerator) : numerator) * 10000;
    // floor(x + 1/2) = floor((2 scaled + denominator) / (2 denominator)).
    const BigInt units = (2 * scaled + denominator) / (2 * denominator);
    return FourDecimalText(units, negative);
}

std::string FourDecimalsOfRoot(const Rational& square)
{
    // m = floor(sqrt(R) + 1/2) with R = square x 10^8 is the largest m with
    // 2m - 1 <= sqrt(4R), that is 2m - 1 <= isqrt(floor(4R)).
    const BigInt numerator = boost::multiprecision::numerator(square) * 400000000;
    const BigInt w = boost::multiprecision::sqrt(BigInt(numerator / boost::multiprecision::denominator(square)));
    return FourDecimalText((w + 1) / 2, false);
}

double ToDouble(const Rational& value)
{
    const Float quotient =
        Float(boost::multiprecision::numerator(value)) / Float(boost::multiprecision::denominator(value));
    return quotient.convert_to<double>();
}

double RootToDouble(const Rational& square)
{
    const Float quotient =
        Float(boost::multiprecision::numerator(square)) / Float(boost::multiprecision::denominator(square));
    return boost::multiprecision::sqrt(quotient).convert_to<double>();
}

} // namespace korvanta::stats
