// The first sheet of a workbook and the number texts the writers store as
// numbers.
#include "excel/workbook.h"

#include "excel/plain_number.h"
#include "excel/readers.h"
#include "excel/sheets.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

namespace korvanta::excel {

ReadResult ReadFirstSheet(const std::filesystem::path& path)
{
    const DataFile file(path);
    // A text file is read only by the import, which knows it by its name.
    if (file.Format() == FileFormat::Text) return detail::Failure(ReadError::NotWorkbook);
    return file.ReadSheet(0);
}

std::string ImportText(const Cell& cell, const NumberFormatter& formatNumber)
{
    switch (cell.kind) {
    case Cell::Kind::Number:
        return formatNumber(cell.number);
    case Cell::Kind::Text:
        return cell.text;
    case Cell::Kind::Bool:
        return cell.number != 0 ? "TRUE" : "FALSE";
    case Cell::Kind::Empty:
    case Cell::Kind::Error:
        break;
    }
    return {};
}

namespace {

// Whether a number text of the strict form that is out of a double's
// range is so by being too small: its first significant digit, moved by
// the exponent, stands below the units place.
bool Underflows(std::string_view text)
{
    if (text.front() == '-') text.remove_prefix(1);
    const std::size_t e = std::min(text.find_first_of("eE"), text.size());
    const std::string_view mantissa = text.substr(0, e);
    // The place of the first significant digit, the units being 0.
    long long place = static_cast<long long>(std::min(mantissa.find('.'), mantissa.size())) - 1;
    for (const char c : mantissa) {
        if (c == '.') continue;
        if (c != '0') break;
        --place;
    }
    long long exponent = 0;
    bool negative = false;
    std::size_t k = e + 1;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) negative = text[k++] == '-';
    // Saturated: past a billion places either way the answer is the same.
    for (; k < text.size(); ++k) exponent = std::min(exponent * 10 + (text[k] - '0'), 1'000'000'000LL);
    return place + (negative ? -exponent : exponent) < 0;
}

} // namespace

bool IsNumberText(std::string_view text, double* value)
{
    const auto digitsAt = [&](std::size_t i) {
        std::size_t k = i;
        while (k < text.size() && text[k] >= '0' && text[k] <= '9') ++k;
        return k - i;
    };
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = digitsAt(i);
    i += digits;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fraction = digitsAt(i + 1);
        digits += fraction;
        i += 1 + fraction;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        const std::size_t exponent = digitsAt(i);
        if (exponent == 0) return false;
        i += exponent;
    }
    if (i != text.size()) return false;

    // from_chars reads '.' as the point whatever the program's locale and
    // rounds correctly. It takes no '+', and it refuses a result out of
    // range: an overflow is no number, an underflow is stored as the zero
    // Excel would store.
    std::string_view number = text;
    if (number.front() == '+') number.remove_prefix(1);
    double v = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), v);
    if (end != number.data() + number.size()) return false;
    if (error == std::errc::result_out_of_range) {
        if (!Underflows(number)) return false;
        v = number.front() == '-' ? -0.0 : 0.0;
    } else if (error != std::errc() || !std::isfinite(v))
        return false;
    if (value) *value = v;
    return true;
}

namespace {

// A decimal number as 0.digits x 10^point, without leading or trailing
// zeros in digits; zero has no digits and no sign.
struct Decimal {
    bool negative = false;
    std::string digits;
    long long point = 0;
    bool operator==(const Decimal&) const = default;
};

// The decimal a number text (IsNumberText) writes, exactly.
Decimal ReadDecimal(std::string_view text)
{
    Decimal d;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) d.negative = text[i++] == '-';
    bool afterPoint = false;
    for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
        if (text[i] == '.') {
            afterPoint = true;
        } else if (d.digits.empty() && text[i] == '0') {
            if (afterPoint) --d.point;
        } else {
            d.digits.push_back(text[i]);
            if (!afterPoint) ++d.point;
        }
    }
    if (i < text.size()) {
        ++i;
        const bool down = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        // Far past any double's exponent, an exponent only needs to stay far.
        constexpr long long kFar = 1'000'000'000'000;
        long long exponent = 0;
        for (; i < text.size(); ++i) exponent = std::min(kFar, exponent * 10 + (text[i] - '0'));
        d.point += down ? -exponent : exponent;
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) d = {};
    return d;
}

} // namespace

bool ShowsAsNumberText(double value, std::string_view text)
{
    if (!std::isfinite(value)) return false;
    // The value correctly rounded to 15 significant digits, as shown.
    char shown[48] = "-";
    const auto end =
        std::to_chars(shown + 1, shown + sizeof shown, std::fabs(value), std::chars_format::scientific, 14);
    const char* begin = value < 0 ? shown : shown + 1;
    return ReadDecimal(std::string_view(begin, static_cast<std::size_t>(end.ptr - begin))) == ReadDecimal(text);
}

bool IsKeptAsNumber(std::string_view text, double* value)
{
    if (detail::IsPlainNumberText(text)) {
        if (value) *value = detail::PlainNumberValue(text);
        return true;
    }
    double v = 0;
    if (!IsNumberText(text, &v) || !ShowsAsNumberText(v, text)) return false;
    if (value) *value = v;
    return true;
}

} // namespace korvanta::excel
