#include "stats/fullwidth.h"

namespace korvanta::stats {
namespace {

// "０".."９" are U+FF10..U+FF19 and the full-width forms of "+", "-" and "."
// U+FF0B, U+FF0D, U+FF0E: all "\xEF\xBC" followed by one byte.
char FullWidthForm(unsigned char last)
{
    if (last >= 0x90 && last <= 0x99) return static_cast<char>('0' + (last - 0x90));
    switch (last) {
    case 0x8B:
        return '+';
    case 0x8D:
        return '-';
    case 0x8E:
        return '.';
    default:
        return '\0';
    }
}

} // namespace

std::string FoldFullWidthDigits(std::string_view text)
{
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, 3, "\xE3\x80\x82") == 0) { // "。"
            folded.push_back('.');
            i += 3;
            continue;
        }
        if (i + 2 < text.size() && text[i] == '\xEF' && text[i + 1] == '\xBC') {
            if (const char ascii = FullWidthForm(static_cast<unsigned char>(text[i + 2]))) {
                folded.push_back(ascii);
                i += 3;
                continue;
            }
        }
        folded.push_back(text[i++]);
    }
    return folded;
}

} // namespace korvanta::stats
