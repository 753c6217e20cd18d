#include "excel/date_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace korvanta::excel::detail {
namespace {

// Days from 1970-01-01 of a civil date and back (proleptic Gregorian).
long DaysFromCivil(long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

struct Civil {
    long year;
    unsigned month, day;
};

Civil CivilFromDays(long z)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<long>(yoe) + era * 400 + (m <= 2), m, d};
}

std::string DateText(const Civil& c)
{
    char out[16];
    std::snprintf(out, sizeof out, "%04ld-%02u-%02u", c.year, c.month, c.day);
    return out;
}

std::string TimeText(long seconds)
{
    char out[64]; // room for three longs of any size, so no time is cut short
    const long h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    if (s == 0)
        std::snprintf(out, sizeof out, "%02ld:%02ld", h, m);
    else
        std::snprintf(out, sizeof out, "%02ld:%02ld:%02ld", h, m, s);
    return out;
}

bool Digits(std::string_view s, std::size_t at, std::size_t count, unsigned& value)
{
    if (at + count > s.size()) return false;
    for (std::size_t i = at; i < at + count; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    std::from_chars(s.data() + at, s.data() + at + count, value);
    return true;
}

} // namespace

DateStyle BuiltInDateStyle(unsigned id)
{
    if ((id >= 14 && id <= 17) || id == 22) return id == 22 ? DateStyle::DateTime : DateStyle::Date;
    if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47)) return DateStyle::Time;
    return DateStyle::None;
}

DateStyle FormatCodeDateStyle(std::string_view code)
{
    bool date = false, time = false, month = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == ';') break; // later sections are for negatives, zero and text
        if (c == '"') {
            const auto close = code.find('"', i + 1);
            if (close == std::string_view::npos) break;
            i = close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i; // the next character is shown as it is, or is padding
        } else if (c == '[') {
            const auto close = code.find(']', i + 1);
            if (close == std::string_view::npos) break;
            // [h], [mm], [ss] are elapsed times; [Red], [$-409] are not formats.
            const std::string_view inside = code.substr(i + 1, close - i - 1);
            if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos) time = true;
            i = close;
        } else if ((c == 'G' || c == 'g') && code.substr(i).size() >= 7 &&
                   (code.substr(i, 7) == "General" || code.substr(i, 7) == "GENERAL" ||
                    code.substr(i, 7) == "general")) {
            i += 6;
        } else {
            switch (c) {
            case 'y':
            case 'Y':
            case 'd':
            case 'D':
                date = true;
                break;
            case 'h':
            case 'H':
            case 's':
            case 'S':
                time = true;
                break;
            case 'm':
            case 'M':
                month = true;
                break;
            default:
                break;
            }
        }
    }
    // "m" is minutes next to hours or seconds, a month otherwise.
    if (month && !time) date = true;
    if (date && time) return DateStyle::DateTime;
    return date ? DateStyle::Date : time ? DateStyle::Time : DateStyle::None;
}

std::optional<std::string> SerialDateText(double serial, bool date1904, DateStyle style)
{
    if (style == DateStyle::None || !std::isfinite(serial) || serial < 0 || serial >= 2958466) return std::nullopt;
    // Whole seconds, rounded, so that 0.354166... is 08:30.
    const auto totalSeconds = static_cast<long long>(std::llround(serial * 86400.0));
    long days = static_cast<long>(totalSeconds / 86400);
    // A serial that rounds past 9999-12-31 names no day Excel shows: it
    // stays the number it is.
    if (days >= 2958466) return std::nullopt;
    const long seconds = static_cast<long>(totalSeconds % 86400);
    if (style == DateStyle::Time) return TimeText(seconds);
    long first = 0; // the day count of serial 0
    if (date1904) {
        first = DaysFromCivil(1904, 1, 1);
    } else {
        // Excel's 1900 system counts a 29 February 1900 that never was
        // (serial 60), and shows serial 0 as 1900-01-00.
        if (days == 0 || days == 60) return std::nullopt;
        first = days < 60 ? DaysFromCivil(1899, 12, 31) : DaysFromCivil(1899, 12, 30);
    }
    std::string text = DateText(CivilFromDays(first + days));
    if (style == DateStyle::DateTime && seconds != 0) text += ' ' + TimeText(seconds);
    return text;
}

std::optional<std::string> EpochSecondsText(double seconds, long year, unsigned month, unsigned day, DateStyle style)
{
    // 10,000 years of seconds either way bounds every date shown.
    if (style == DateStyle::None || !std::isfinite(seconds) || std::fabs(seconds) > 3.2e11) return std::nullopt;
    const long long total = std::llround(seconds);
    if (style == DateStyle::Time) {
        if (total < 0) return std::nullopt;
        return TimeText(static_cast<long>(total));
    }
    long long days = total / 86400;
    long long rest = total % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const Civil civil = CivilFromDays(DaysFromCivil(year, month, day) + static_cast<long>(days));
    if (civil.year < 1 || civil.year > 9999) return std::nullopt;
    std::string text = DateText(civil);
    if (style == DateStyle::DateTime && rest != 0) text += ' ' + TimeText(static_cast<long>(rest));
    return text;
}

std::optional<std::string> IsoDateText(std::string_view iso)
{
    unsigned y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (iso.size() < 10 || iso[4] != '-' || iso[7] != '-' || !Digits(iso, 0, 4, y) || !Digits(iso, 5, 2, mo) ||
        !Digits(iso, 8, 2, d) || mo < 1 || mo > 12 || d < 1 || d > 31)
        return std::nullopt;
    std::string text = DateText({static_cast<long>(y), mo, d});
    if (iso.size() == 10) return text;
    if (iso.size() < 16 || iso[10] != 'T' || iso[13] != ':' || !Digits(iso, 11, 2, h) || !Digits(iso, 14, 2, mi) ||
        h > 23 || mi > 59)
        return std::nullopt;
    // A time that is no time of day ("23:59:60") stays the text it is.
    if (iso.size() >= 19 && iso[16] == ':' && (!Digits(iso, 17, 2, s) || s > 59)) return std::nullopt;
    const long seconds = static_cast<long>(h * 3600 + mi * 60 + s);
    if (seconds != 0) text += ' ' + TimeText(seconds);
    return text;
}

std::optional<std::string> IsoDurationText(std::string_view duration)
{
    if (!duration.starts_with("PT")) return std::nullopt;
    duration.remove_prefix(2);
    double seconds = 0;
    while (!duration.empty()) {
        double v = 0;
        const auto [p, ec] = std::from_chars(duration.data(), duration.data() + duration.size(), v);
        if (ec != std::errc{} || p == duration.data() + duration.size() || !(v >= 0)) return std::nullopt;
        const char unit = *p;
        if (unit == 'H')
            seconds += v * 3600;
        else if (unit == 'M')
            seconds += v * 60;
        else if (unit == 'S')
            seconds += v;
        else
            return std::nullopt;
        duration.remove_prefix(static_cast<std::size_t>(p - duration.data()) + 1);
    }
    if (seconds >= 1e9) return std::nullopt;
    return TimeText(static_cast<long>(std::lround(seconds)));
}

} // namespace korvanta::excel::detail
