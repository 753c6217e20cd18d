// The common case of a number text the writers store as a number, checked
// and read without strtod, which took most of an export's time.
#pragma once

#include <charconv>
#include <string_view>

namespace korvanta::excel::detail {

// An optional '-', digits, and at most one point with digits on both
// sides; at most 15 digits in all, no leading zero before another digit.
// IsNumberText accepts every such text, and from_chars reads it as the
// same nearest double; with at most 15 digits the text is also the exact
// decimal form of that double's shortest text, so it can be stored as is.
inline bool IsPlainNumberText(std::string_view text)
{
    std::size_t i = text.starts_with('-') ? 1 : 0;
    if (i == text.size() || text[i] == '.' || text.back() == '.') return false;
    if (text[i] == '0' && i + 1 < text.size() && text[i + 1] != '.') return false;
    std::size_t digits = 0, points = 0;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            ++digits;
        else if (text[i] == '.')
            ++points;
        else
            return false;
    }
    return digits <= 15 && points <= 1;
}

// The value of a plain number text (IsPlainNumberText).
inline double PlainNumberValue(std::string_view text)
{
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace korvanta::excel::detail
