// Numbers shown as dates or times, and the text they import as. A
// spreadsheet stores a date as a day count; the user sees "2023-03-15",
// and that text, not the count, is what a cell of dates must import as.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvanta::excel::detail {

enum class DateStyle : unsigned char { None, Date, Time, DateTime };

// The built-in number formats of Excel that show dates or times (ids 14 to
// 22 and 45 to 47).
DateStyle BuiltInDateStyle(unsigned id);

// What a number format code ("yyyy-mm-dd", "[h]:mm", "0.00") shows, by its
// first section; quoted text, escapes and colours do not count.
DateStyle FormatCodeDateStyle(std::string_view code);

// A day count ("serial number") as text: "2023-03-15", "08:30" (seconds only
// when there are any) or "2023-03-15 08:30". Nothing for a count outside
// the years 1900 (1904) to 9999.
std::optional<std::string> SerialDateText(double serial, bool date1904, DateStyle style);

// A count of seconds from the start of a day (year, month, day) as the same
// texts; a Time is the seconds alone, hours past 24 kept ("30:00"). Nothing
// for a value that is not finite or lies outside the years 1 to 9999.
std::optional<std::string> EpochSecondsText(double seconds, long year, unsigned month, unsigned day, DateStyle style);

// An ISO 8601 date or date-time as the same text ("2023-03-15T08:30:00"
// as "2023-03-15 08:30"); nothing when it is not one.
std::optional<std::string> IsoDateText(std::string_view iso);

// An ISO 8601 duration of a time of day ("PT08H30M00S") as "08:30".
std::optional<std::string> IsoDurationText(std::string_view duration);

} // namespace korvanta::excel::detail
