#include "results/resultsformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace korvanta::results {

namespace {
const std::string kMinus = "\u2212";
} // namespace

std::string Fixed(double value, int decimals)
{
    char buffer[400];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
    std::string text(buffer, end);
    if (text.starts_with('-')) {
        const bool zero = std::all_of(text.begin() + 1, text.end(), [](char c) { return c == '0' || c == '.'; });
        text = zero ? text.substr(1) : kMinus + text.substr(1);
    }
    return text;
}

std::string NoLeadingZero(const std::string& text)
{
    if (text.starts_with("0.")) return text.substr(1);
    if (text.starts_with(kMinus + "0.")) return kMinus + text.substr(kMinus.size() + 1);
    return text;
}

std::string Statistic(double value, Language language) { return Fixed(value, language == Language::Chinese ? 3 : 2); }

std::string PCell(const stats::Figure& p, Language language)
{
    if (!p.Has()) return "—";
    const bool chinese = language == Language::Chinese;
    if (p.value < 0.001) return chinese ? "<0.001" : "<.001";
    const std::string text = Fixed(p.value, 3);
    return chinese ? text : NoLeadingZero(text);
}

std::string PPhrase(const stats::Figure& p, Language language)
{
    const bool chinese = language == Language::Chinese;
    const std::string symbol = chinese ? "P" : "p";
    if (!p.Has()) return "";
    if (p.value < 0.001) return symbol + (chinese ? " < 0.001" : " < .001");
    const std::string text = Fixed(p.value, 3);
    return symbol + " = " + (chinese ? text : NoLeadingZero(text));
}

std::string Df(double df) { return df == std::floor(df) ? Fixed(df, 0) : Fixed(df, 2); }

int DecimalsFor(double estimate)
{
    const double magnitude = std::fabs(estimate);
    if (!(magnitude > 0) || !std::isfinite(magnitude)) return 2;
    return std::clamp(2 - static_cast<int>(std::floor(std::log10(magnitude))), 2, 6);
}

std::string CiText(const stats::Interval& ci, int decimals, Language language)
{
    if (!ci.low.Has() || !ci.high.Has()) return "";
    const std::string low = Fixed(ci.low.value, decimals), high = Fixed(ci.high.value, decimals);
    if (language == Language::Chinese) return "（95%CI：" + low + " ~ " + high + "）";
    return ", 95% CI [" + low + ", " + high + "]";
}

int MostDecimals(stats::Column column)
{
    int most = 0;
    for (const stats::CellValue& cell : column) {
        if (!cell.IsNumber()) continue;
        // The decimals the value needs: a trailing zero typed is not kept.
        most = std::max(most, cell.exact.decimals);
    }
    return most;
}

int TypedDecimals(std::string_view text)
{
    const auto point = text.find('.');
    if (point == std::string_view::npos) return 0;
    int digits = 0;
    for (std::size_t i = point + 1; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) ++digits;
    return digits;
}

} // namespace korvanta::results
