#include "stats/decimalscan.h"

#include <charconv>
#include <system_error>

namespace korvanta::stats::detail {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t CountDigits(std::string_view text, std::size_t from)
{
    std::size_t i = from;
    while (i < text.size() && IsDigit(text[i])) ++i;
    return i - from;
}

} // namespace

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::optional<ScannedNumber> ScanNumber(std::string_view text)
{
    ScannedNumber number;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.negative = text[i] == '-';
        ++i;
    }
    const std::size_t intCount = CountDigits(text, i);
    number.intDigits = text.substr(i, intCount);
    i += intCount;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fracCount = CountDigits(text, i + 1);
        if (intCount > 0 || fracCount > 0) {
            number.fracDigits = text.substr(i + 1, fracCount);
            i += 1 + fracCount;
        }
    }
    if (number.intDigits.empty() && number.fracDigits.empty()) return std::nullopt;

    // The exponent belongs to the number only when it has at least one digit.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        const std::size_t expCount = CountDigits(text, j);
        if (expCount > 0) {
            std::int64_t exponent = 0;
            for (std::size_t k = j; k < j + expCount; ++k) {
                exponent = exponent * 10 + (text[k] - '0');
                if (exponent > kExponentClamp) exponent = kExponentClamp;
            }
            number.exponent = negativeExponent ? -exponent : exponent;
            i = j + expCount;
        }
    }
    number.end = i;
    return number;
}

std::optional<ScannedNumber> ScanWholeNumber(std::string_view text)
{
    std::size_t first = 0;
    while (first < text.size() && IsSpace(text[first])) ++first;
    std::size_t last = text.size();
    while (last > first && IsSpace(text[last - 1])) --last;
    const std::string_view core = text.substr(first, last - first);
    auto number = ScanNumber(core);
    if (!number || number->end != core.size()) return std::nullopt;
    return number;
}

Decimal ToDecimal(const ScannedNumber& number)
{
    Decimal value;
    value.negative = number.negative;
    value.digits.reserve(number.intDigits.size() + number.fracDigits.size());
    for (std::string_view part : {number.intDigits, number.fracDigits}) {
        for (char c : part) {
            if (value.digits.empty() && c == '0') continue; // leading zeros
            value.digits.push_back(c);
        }
    }
    // Text lengths are far below the clamp, so this stays within 64 bits.
    value.exp10 = number.exponent - static_cast<std::int64_t>(number.fracDigits.size());
    std::size_t trailing = 0;
    while (trailing < value.digits.size() && value.digits[value.digits.size() - 1 - trailing] == '0') ++trailing;
    value.digits.resize(value.digits.size() - trailing);
    value.exp10 += static_cast<std::int64_t>(trailing);
    if (value.digits.empty()) value.exp10 = 0;
    return value;
}

std::optional<double> ToDouble(const Decimal& value)
{
    if (value.IsZero()) return 0.0;
    // Doubles span about 10^-324 to 10^308; beyond a safe margin the answer is
    // known without asking the converter to read an enormous exponent.
    if (value.Magnitude() > 400) return std::nullopt;
    if (value.Magnitude() < -400) return value.negative ? -0.0 : 0.0;

    std::string text = value.digits;
    text += 'e';
    text += std::to_string(value.exp10);
    double result = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
    if (ec == std::errc::result_out_of_range) {
        if (value.Magnitude() > 0) return std::nullopt; // overflow
        result = 0.0;                                   // underflow
    } else if (ec != std::errc{} || ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value.negative ? -result : result;
}

} // namespace korvanta::stats::detail
