#include "stats/cellvalue.h"

#include "stats/decimalscan.h"

#include <cstdint>

namespace korvanta::stats {

namespace {

// The exact powers of ten a double holds.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The texts a cell nearly always holds, "12", "-3.75", " 0.5 ", read in one
// pass: at most 15 digits, at most 14 before the point and no exponent, so
// the digits are a whole number below 2^53, the value is inside the fixed
// point's range, and the double is one correctly rounded division of exact
// operands. Gives the same three values as the separate conversions, which
// read every other text.
bool ReadPlain(const detail::ScannedNumber& scanned, CellValue& cell)
{
    const std::size_t whole = scanned.intDigits.size();
    const std::size_t decimals = scanned.fracDigits.size();
    if (scanned.exponent != 0 || whole > 14 || whole + decimals > 15) return false;
    std::uint64_t digits = 0;
    for (std::string_view part : {scanned.intDigits, scanned.fracDigits})
        for (const char c : part) digits = digits * 10 + static_cast<std::uint64_t>(c - '0');

    // Ten-thousandths, halves to even; below 10^18, far inside 64 bits.
    std::uint64_t units = digits;
    if (decimals <= 4) {
        for (std::size_t k = decimals; k < 4; ++k) units *= 10;
    } else {
        std::uint64_t divisor = 1;
        for (std::size_t k = 4; k < decimals; ++k) divisor *= 10;
        units = digits / divisor;
        const std::uint64_t remainder = digits % divisor;
        const std::uint64_t rest = divisor - remainder;
        if (remainder > rest || (remainder == rest && (units & 1) != 0)) ++units;
    }
    const auto signedUnits = static_cast<std::int64_t>(units);
    cell.value = Fixed4::FromUnits(scanned.negative ? -signedUnits : signedUnits);

    // The exact value without trailing zeros in its fraction.
    std::uint64_t mantissa = digits;
    int places = static_cast<int>(decimals);
    while (places > 0 && mantissa % 10 == 0) {
        mantissa /= 10;
        --places;
    }
    cell.exact = {};
    if (mantissa != 0) {
        cell.exact.mantissa = scanned.negative ? -static_cast<Int128>(mantissa) : static_cast<Int128>(mantissa);
        cell.exact.decimals = places;
    }

    const double magnitude = static_cast<double>(digits) / kPowersOfTen[decimals];
    cell.number = digits == 0 ? 0.0 : scanned.negative ? -magnitude : magnitude; // no negative zero
    cell.kind = CellValue::Kind::Number;
    return true;
}

} // namespace

CellValue ReadCell(std::string_view text)
{
    CellValue cell;
    if (text.empty()) return cell;
    const auto scanned = detail::ScanWholeNumber(text);
    if (!scanned) {
        cell.kind = CellValue::Kind::NotANumber;
        return cell;
    }
    if (ReadPlain(*scanned, cell)) return cell;
    const auto exact = ParseExact(text);
    const auto value = ParseFixed4(text);
    const auto number = ParseDouble(text);
    if (exact && value && number) {
        cell.kind = CellValue::Kind::Number;
        cell.exact = *exact;
        cell.value = *value;
        cell.number = *number;
    } else {
        cell.kind = CellValue::Kind::NotANumber;
    }
    return cell;
}

} // namespace korvanta::stats
