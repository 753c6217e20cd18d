#include "delimited/separator.h"

#include "delimited/commanumbers.h"
#include "delimited/splitter.h"

#include <algorithm>
#include <array>
#include <map>

namespace korvanta::delimited {
namespace {

// The number of records that share the most common field count of two or
// more: how consistently the separator splits the text.
int Consistency(std::string_view text, Separator separator, std::size_t maxRecords)
{
    int records = 0;
    int best = 0;
    for (const auto& [count, n] : FieldCountRecords(text, separator, maxRecords, &records))
        if (count >= 2) best = std::max(best, n);
    return best;
}

bool HasComma(const std::string& field) { return field.find(',') != std::string::npos; }

} // namespace

Separator ChooseSeparator(std::string_view text, std::size_t maxRecords, std::size_t cap)
{
    text = text.substr(0, kSeparatorSample);
    constexpr std::array kCandidates = {Separator::Tab, Separator::Semicolon, Separator::Comma, Separator::Spaces};
    // The best candidate, and the best one that is not a comma.
    Separator best = Separator::None;
    Separator bestOther = Separator::None;
    int bestScore = 0;
    int bestOtherScore = 0;
    for (const Separator candidate : kCandidates) {
        const int score = Consistency(text, candidate, maxRecords);
        if (score > bestScore) {
            best = candidate;
            bestScore = score;
        }
        if (candidate != Separator::Comma && score > bestOtherScore) {
            bestOther = candidate;
            bestOtherScore = score;
        }
    }
    if (best != Separator::Comma) return best;

    const bool spacesAsGood = bestOther == Separator::Spaces && bestOtherScore >= bestScore;
    if (spacesAsGood && EveryField(text, Separator::Spaces, maxRecords, cap, [](const std::string& field) {
            return !HasComma(field) || IsGroupedNumber(field) || IsDecimalCommaNumber(field);
        }))
        return Separator::Spaces;
    // Commas that split several records alike separate ("141,130" twice is
    // two columns); commas each in a number with group separators do not
    // where they split records unevenly ("980", "1,234", "1,234,567") or
    // there is one record only (one cell copied: "215,000").
    int records = 0;
    FieldCountRecords(text, Separator::None, maxRecords, &records);
    if ((records == 1 || bestScore < records) &&
        EveryField(text, bestOther, maxRecords, cap,
                   [](const std::string& field) { return !HasComma(field) || IsGroupedNumber(field); }))
        return bestOther;
    return Separator::Comma;
}

} // namespace korvanta::delimited
