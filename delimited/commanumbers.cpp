#include "delimited/commanumbers.h"

#include <algorithm>

namespace korvanta::delimited {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view WithoutSign(std::string_view text)
{
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    return text;
}

std::size_t LeadingDigits(std::string_view text)
{
    std::size_t n = 0;
    while (n < text.size() && IsDigit(text[n])) ++n;
    return n;
}

std::string WithoutCommas(std::string_view text)
{
    std::string plain;
    plain.reserve(text.size());
    for (const char c : text)
        if (c != ',') plain += c;
    return plain;
}

std::string CommaAsPoint(std::string_view text)
{
    std::string plain(text);
    std::replace(plain.begin(), plain.end(), ',', '.');
    return plain;
}

} // namespace

bool IsGroupedNumber(std::string_view text)
{
    text = WithoutSign(text);
    const std::size_t lead = LeadingDigits(text);
    if (lead < 1 || lead > 3) return false;
    text.remove_prefix(lead);
    bool grouped = false;
    while (!text.empty() && text.front() == ',') {
        if (text.size() < 4 || LeadingDigits(text.substr(1)) < 3) return false;
        text.remove_prefix(4);
        grouped = true;
    }
    if (!grouped || (!text.empty() && IsDigit(text.front()))) return false;
    if (text.empty()) return true;
    // A fraction after the groups: ".5", "." alone as in "1,234."
    return text.front() == '.' && LeadingDigits(text.substr(1)) == text.size() - 1;
}

bool IsDecimalCommaNumber(std::string_view text)
{
    text = WithoutSign(text);
    const std::size_t whole = LeadingDigits(text);
    if (whole == text.size() || text[whole] != ',') return false;
    const std::string_view fraction = text.substr(whole + 1);
    return !fraction.empty() && LeadingDigits(fraction) == fraction.size();
}

int ReadCommaNumbers(std::span<std::string* const> column)
{
    bool allGrouped = true;
    bool allDecimal = true;
    bool any = false;
    for (const std::string* field : column) {
        const bool grouped = IsGroupedNumber(*field);
        const bool decimal = IsDecimalCommaNumber(*field);
        if (!grouped && !decimal) continue;
        any = true;
        allGrouped = allGrouped && grouped;
        allDecimal = allDecimal && decimal;
    }
    if (!any) return 0;

    int leftAlone = 0;
    for (std::string* field : column) {
        const bool grouped = IsGroupedNumber(*field);
        const bool decimal = IsDecimalCommaNumber(*field);
        if (grouped && (allGrouped || !decimal))
            *field = WithoutCommas(*field);
        else if (decimal && (allDecimal || !grouped))
            *field = CommaAsPoint(*field);
        else if (grouped && decimal)
            ++leftAlone;
    }
    return leftAlone;
}

} // namespace korvanta::delimited
