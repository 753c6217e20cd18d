#include "stats/ttable.h"

#include "stats/numbertext.h"
#include "stats/verdict.h"

#include <cmath>

namespace korvanta::stats {

namespace {

// Lines of the table that the lookup reads: the data rows and the infinity row.
constexpr int kFirstDataLine = 4;
constexpr int kInfinityLine = 53;
constexpr int kThousandLine = 52;

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offset of the character at 0-based index `character` (the size when
// the line is shorter). Table positions count characters, and "界", "—" or
// "∝" are several bytes each in UTF-8.
std::size_t ByteOffset(std::string_view line, std::size_t character)
{
    std::size_t offset = 0;
    for (std::size_t seen = 0; offset < line.size(); ++offset) {
        if (IsContinuationByte(line[offset])) continue;
        if (seen == character) return offset;
        ++seen;
    }
    return line.size();
}

// Characters `first` to `last` of a line, counted from 1.
std::string_view Characters(std::string_view line, std::size_t first, std::size_t last)
{
    const std::size_t begin = ByteOffset(line, first - 1);
    const std::size_t end = ByteOffset(line, last);
    return line.substr(begin, end - begin);
}

std::string_view TrimSpaces(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

} // namespace

std::string GetLineText(std::string_view text, int lineIndex)
{
    if (lineIndex < 0) return "";
    std::size_t begin = 0;
    for (int line = 0; line < lineIndex; ++line) {
        const std::size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) return "";
        begin = end + 1;
    }
    std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return std::string(line);
}

// The first data row whose df exceeds the wanted df ends the search; the row
// before it is used. The infinity row's "∝" reads as 0, so a df of 1000 or
// more runs off the tabulated rows and is placed by the last two rules.
std::optional<CriticalValues> LookupCriticalT(double df)
{
    // The table has no row below df 1 (the line above row 1 is a rule).
    if (std::isnan(df) || df < 1) return std::nullopt;
    const std::string_view table = TTableText();
    int selected = -1;
    for (int k = kFirstDataLine; k <= kInfinityLine; ++k) {
        const std::string line = GetLineText(table, k);
        if (LeadingNumber(TrimSpaces(Characters(line, 1, 7))) > df) {
            selected = k - 1;
            break;
        }
    }
    if (selected < 0) selected = df == 1000 ? kThousandLine : kInfinityLine;

    const std::string line = GetLineText(table, selected);
    // The infinity row's first field is one character narrower.
    const std::size_t shift = selected == kInfinityLine ? 1 : 0;
    return CriticalValues{
        std::string(TrimSpaces(Characters(line, 8 - shift, 12 - shift))),
        std::string(TrimSpaces(Characters(line, 17 - shift, 21 - shift))),
        std::string(TrimSpaces(Characters(line, 26 - shift, 30 - shift))),
    };
}

Verdict JudgeTStatistic(double statistic, const CriticalValues& critical)
{
    const double c05 = LeadingNumber(critical.t05);
    const double c01 = LeadingNumber(critical.t01);
    const double c001 = LeadingNumber(critical.t001);
    if (statistic >= c05 && statistic < c01) return Verdict::PBelow005;
    if (statistic >= c01 && statistic < c001) return Verdict::PBelow001;
    if (statistic >= c001) return Verdict::PBelow0001;
    return Verdict::PAbove005;
}

} // namespace korvanta::stats
