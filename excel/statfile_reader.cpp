// Reading the statistics packages' files through ReadStat: its callbacks
// fill a SheetBuilder (so the worksheet limits hold while the file is
// read) and the variables' names, labels, value labels and missing values.
#include "delimited/textfile.h"
#include "excel/date_text.h"
#include "excel/sheet_builder.h"
#include "excel/statfile.h"
#include "excel/text.h"

#include <readstat.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <new>

namespace korvanta::excel::detail {
namespace {

// How a numeric variable's values are shown, and where its clock starts.
enum class Clock : unsigned char {
    None,
    SpssSeconds,  // seconds from 1582-10-14
    Days1960,     // days from 1960-01-01 (Stata %td, SAS dates)
    Seconds1960,  // seconds from 1960-01-01 (SAS date-times)
    Millis1960,   // milliseconds from 1960-01-01 (Stata %tc)
    SecondsOfDay, // a time or a duration in seconds
};

struct Shown {
    Clock clock = Clock::None;
    DateStyle style = DateStyle::None;
};

std::string UpperLetters(std::string_view format)
{
    std::string letters;
    for (const char c : format) {
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) break;
        letters += static_cast<char>(c >= 'a' ? c - 'a' + 'A' : c);
    }
    return letters;
}

bool OneOf(const std::string& name, std::initializer_list<std::string_view> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

Shown ShownAs(FileFormat format, std::string_view display)
{
    if (format == FileFormat::Dta) {
        if (display.starts_with("%td") || display.starts_with("%d")) return {Clock::Days1960, DateStyle::Date};
        if (display.starts_with("%tc") || display.starts_with("%tC")) return {Clock::Millis1960, DateStyle::DateTime};
        return {};
    }
    const std::string name = UpperLetters(display);
    if (format == FileFormat::Sav || format == FileFormat::Por) {
        if (OneOf(name, {"DATE", "ADATE", "EDATE", "JDATE", "SDATE", "QYR", "MOYR", "WKYR"}))
            return {Clock::SpssSeconds, DateStyle::Date};
        if (OneOf(name, {"DATETIME", "YMDHMS"})) return {Clock::SpssSeconds, DateStyle::DateTime};
        if (OneOf(name, {"TIME", "DTIME", "MTIME"})) return {Clock::SecondsOfDay, DateStyle::Time};
        return {};
    }
    if (OneOf(name, {"DATE",  "MMDDYY", "DDMMYY", "YYMMDD",   "YYMMDDN",  "MMDDYYN",  "DDMMYYN",  "EDATE",
                     "EDA",   "BDATE",  "BDA",    "WORDDATE", "WORDDATX", "WEEKDATE", "WEEKDATX", "MONYY",
                     "YYMON", "JULIAN", "NLDATE", "MINGUO",   "YYQ",      "YYMM",     "MMYY"}) ||
        name.starts_with("E8601DA") || name.starts_with("B8601DA"))
        return {Clock::Days1960, DateStyle::Date};
    if (OneOf(name, {"DATETIME", "DATEAMPM", "NLDATM", "MDYAMPM"}) || name.starts_with("E8601DT") ||
        name.starts_with("B8601DT"))
        return {Clock::Seconds1960, DateStyle::DateTime};
    if (OneOf(name, {"TIME", "HHMM", "HOUR", "TOD", "TIMEAMPM", "MMSS"}) || name.starts_with("E8601TM") ||
        name.starts_with("B8601TM"))
        return {Clock::SecondsOfDay, DateStyle::Time};
    return {};
}

std::optional<std::string> ClockText(double value, const Shown& shown)
{
    switch (shown.clock) {
    case Clock::None:
        return std::nullopt;
    case Clock::SpssSeconds:
        return EpochSecondsText(value, 1582, 10, 14, shown.style);
    case Clock::Days1960:
        return EpochSecondsText(value * 86400.0, 1960, 1, 1, shown.style);
    case Clock::Seconds1960:
        return EpochSecondsText(value, 1960, 1, 1, shown.style);
    case Clock::Millis1960:
        return EpochSecondsText(value / 1000.0, 1960, 1, 1, shown.style);
    case Clock::SecondsOfDay:
        return EpochSecondsText(value, 1960, 1, 1, DateStyle::Time);
    }
    return std::nullopt;
}

// Text from the file as UTF-8: ReadStat converts what the file declares;
// an old file without a declaration (Stata before 14) keeps its bytes,
// which on a Chinese system are GB18030.
std::string FileText(const char* raw, bool trimSpaces)
{
    std::string text = raw ? raw : "";
    if (trimSpaces)
        while (!text.empty() && text.back() == ' ') text.pop_back();
    std::u16string units;
    if (!Utf8ToUtf16(text, units)) {
        std::optional<std::string> decoded = delimited::DecodeText(text);
        text = decoded ? std::move(*decoded) : std::string();
    }
    TruncateChars(text, kMaxCellChars);
    return text;
}

// The number a value holds; a float (Stata's default storage) as the
// shortest decimal that reads back as it, so 0.1f is 0.1 and not
// 0.100000001490116.
double NumberOf(const readstat_value_t& value)
{
    if (readstat_value_type(value) != READSTAT_TYPE_FLOAT) return readstat_double_value(value);
    const float f = readstat_float_value(value);
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, f);
    double d = f;
    std::from_chars(digits, written.ptr, d);
    return d;
}

constexpr std::size_t kMaxListedMissing = 8;
constexpr std::size_t kMaxValueLabels = 100000;

struct Parse {
    Parse(FileFormat f, const ReadLimits& l) : format(f), limits(l), builder(l) {}

    FileFormat format;
    ReadLimits limits;
    SheetBuilder builder;
    ReadError error = ReadError::None;
    std::vector<Variable> variables;
    std::vector<Shown> shown;
    std::vector<std::string> labelSet; // per variable
    std::map<std::string, std::vector<std::pair<Cell, std::string>>> labels;
    std::size_t labelCount = 0;
    std::size_t labelBytes = 0;
    std::size_t cases = 0;
    long version = 0; // the file's format version, as the metadata says

    // The name of a set of value labels. A Stata file keeps each in a
    // fixed-width entry (9, 33 or 129 bytes by the version) that ReadStat
    // hands over as it is, without an end when the entry is full.
    std::string SetName(const char* name) const
    {
        if (!name) return {};
        if (format != FileFormat::Dta) return name;
        const std::size_t entry = version >= 118 ? 129 : version >= 110 ? 33 : 9;
        return std::string(name, strnlen(name, entry));
    }

    int Stop(ReadError why)
    {
        if (error == ReadError::None) error = why;
        return READSTAT_HANDLER_ABORT;
    }
    bool Trims() const { return format != FileFormat::Dta; }
};

int OnMetadata(readstat_metadata_t* metadata, void* context)
{
    auto& parse = *static_cast<Parse*>(context);
    // Counts the file declares (-1 when it does not say): a file past the
    // limits is refused before its data are read.
    const long long rows = readstat_get_row_count(metadata);
    const long long vars = readstat_get_var_count(metadata);
    if (rows > 0 && static_cast<unsigned long long>(rows) > parse.limits.rows)
        return parse.Stop(ReadError::TooManyRows);
    if (vars > 0 && static_cast<unsigned long long>(vars) > kMaxImportColumns)
        return parse.Stop(ReadError::TooManyColumns);
    parse.version = readstat_get_file_format_version(metadata);
    return READSTAT_HANDLER_OK;
}

int OnVariable(int index, readstat_variable_t* variable, const char* labelSet, void* context)
{
    auto& parse = *static_cast<Parse*>(context);
    if (index < 0 || static_cast<std::size_t>(index) != parse.variables.size()) return parse.Stop(ReadError::Corrupt);
    if (parse.variables.size() >= kMaxImportColumns) return parse.Stop(ReadError::TooManyColumns);
    Variable v;
    v.name = FileText(readstat_variable_get_name(variable), true);
    v.label = FileText(readstat_variable_get_label(variable), true);
    v.text = readstat_variable_get_type_class(variable) == READSTAT_TYPE_CLASS_STRING;
    const char* display = readstat_variable_get_format(variable);
    const Shown shown = v.text ? Shown{} : ShownAs(parse.format, display ? display : "");
    v.date = shown.clock != Clock::None;
    const std::size_t bytes = v.name.size() + v.label.size();
    if (bytes > parse.limits.textBytes - std::min(parse.limits.textBytes, parse.labelBytes))
        return parse.Stop(ReadError::TooLarge);
    parse.labelBytes += bytes;
    parse.variables.push_back(std::move(v));
    parse.shown.push_back(shown);
    parse.labelSet.push_back(parse.SetName(labelSet));
    return READSTAT_HANDLER_OK;
}

int OnValueLabel(const char* set, readstat_value_t value, const char* label, void* context)
{
    auto& parse = *static_cast<Parse*>(context);
    Cell key;
    if (readstat_value_type_class(value) == READSTAT_TYPE_CLASS_STRING)
        key = Cell::MakeText(FileText(readstat_string_value(value), parse.Trims()));
    else if (readstat_value_is_system_missing(value) || readstat_value_is_tagged_missing(value))
        return READSTAT_HANDLER_OK; // a label of a missing value: the cell is empty anyway
    else
        key = Cell::MakeNumber(NumberOf(value));
    std::string text = FileText(label, true);
    const std::size_t bytes = text.size() + key.text.size() + 16;
    if (++parse.labelCount > kMaxValueLabels ||
        bytes > parse.limits.textBytes - std::min(parse.limits.textBytes, parse.labelBytes))
        return parse.Stop(ReadError::TooLarge);
    parse.labelBytes += bytes;
    parse.labels[parse.SetName(set)].emplace_back(std::move(key), std::move(text));
    return READSTAT_HANDLER_OK;
}

int OnValue(int row, readstat_variable_t* variable, readstat_value_t value, void* context)
{
    auto& parse = *static_cast<Parse*>(context);
    const int index = readstat_variable_get_index(variable);
    if (row < 0 || index < 0 || static_cast<std::size_t>(index) >= parse.variables.size())
        return parse.Stop(ReadError::Corrupt);
    const auto r = static_cast<std::size_t>(row);
    const auto c = static_cast<std::size_t>(index);
    Variable& v = parse.variables[c];
    parse.cases = std::max(parse.cases, r + 1);
    Cell cell;
    if (readstat_value_type_class(value) == READSTAT_TYPE_CLASS_STRING) {
        std::string text = FileText(readstat_string_value(value), parse.Trims());
        if (!text.empty()) cell = Cell::MakeText(std::move(text));
    } else if (readstat_value_is_system_missing(value) || readstat_value_is_tagged_missing(value)) {
        ++v.missing;
    } else {
        const double number = NumberOf(value);
        if (readstat_value_is_defined_missing(value, variable)) {
            ++v.missing;
            const Cell met = Cell::MakeNumber(number);
            if (v.userMissing.size() < kMaxListedMissing &&
                std::find(v.userMissing.begin(), v.userMissing.end(), met) == v.userMissing.end())
                v.userMissing.push_back(met);
        } else if (std::optional<std::string> shown = ClockText(number, parse.shown[c])) {
            cell = Cell::MakeText(std::move(*shown));
        } else if (std::isfinite(number)) {
            cell = Cell::MakeNumber(number);
        } else {
            ++v.missing;
        }
    }
    // Every case is a row, an empty one too.
    if (!parse.builder.Set(r, c, std::move(cell))) return parse.Stop(parse.builder.Error());
    return READSTAT_HANDLER_OK;
}

void OnError(const char*, void*) {}

// ReadStat reads through these from the bytes in memory.
struct Source {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
};

int OpenSource(const char*, void*) { return 0; }
int CloseSource(void*) { return 0; }

readstat_off_t SeekSource(readstat_off_t offset, readstat_io_flags_t whence, void* context)
{
    auto& source = *static_cast<Source*>(context);
    long long base = 0;
    if (whence == READSTAT_SEEK_CUR) base = static_cast<long long>(source.at);
    if (whence == READSTAT_SEEK_END) base = static_cast<long long>(source.bytes.size());
    const long long target = base + static_cast<long long>(offset);
    if (target < 0 || target > static_cast<long long>(source.bytes.size())) return -1;
    source.at = static_cast<std::size_t>(target);
    return static_cast<readstat_off_t>(target);
}

ssize_t ReadSource(void* out, size_t count, void* context)
{
    auto& source = *static_cast<Source*>(context);
    const std::size_t n = std::min(count, source.bytes.size() - source.at);
    if (n > 0) std::memcpy(out, source.bytes.data() + source.at, n);
    source.at += n;
    return static_cast<ssize_t>(n);
}

readstat_error_t UpdateSource(long, readstat_progress_handler, void*, void*) { return READSTAT_OK; }

// A portable file's translation table lists each character's byte; the
// unused places hold a repeat of another ("0" in PSPP's files), and
// ReadStat lets the last place of a byte win, which reads the digits of
// PSPP's files as other characters. A repeated byte is given, in a copy, a
// byte the file does not use, so each byte reads as its first place says.
std::vector<std::uint8_t> PortableWithFirstPlaces(std::span<const std::uint8_t> bytes)
{
    std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    bool used[256] = {};
    for (const std::uint8_t b : copy) used[b] = true;
    std::vector<std::uint8_t> spare;
    for (int b = 255; b > 0; --b)
        if (!used[b] && b != '\r' && b != '\n') spare.push_back(static_cast<std::uint8_t>(b));
    // The table is bytes 200 to 455 of the file with its line ends left out.
    bool seen[256] = {};
    std::size_t logical = 0;
    std::vector<std::size_t> places; // where each table byte is in copy
    for (std::size_t i = 0; i < copy.size() && logical < 456; ++i) {
        if (copy[i] == '\r' || copy[i] == '\n') continue;
        if (logical >= 200) places.push_back(i);
        ++logical;
    }
    if (places.size() != 256) return copy;
    // The digit 0 is at place 64; the places before it are control
    // characters nobody writes.
    seen[copy[places[64]]] = true;
    for (std::size_t k = 65; k < 256; ++k) {
        std::uint8_t& b = copy[places[k]];
        if (!seen[b]) {
            seen[b] = true;
            continue;
        }
        if (spare.empty()) break;
        b = spare.back();
        spare.pop_back();
    }
    for (std::size_t k = 0; k < 64; ++k) {
        std::uint8_t& b = copy[places[k]];
        if (seen[b] && !spare.empty()) {
            b = spare.back();
            spare.pop_back();
        }
    }
    return copy;
}

ReadError Mapped(readstat_error_t error)
{
    switch (error) {
    case READSTAT_OK:
        return ReadError::None;
    case READSTAT_ERROR_MALLOC:
        return ReadError::TooLarge;
    case READSTAT_ERROR_UNSUPPORTED_FILE_FORMAT_VERSION:
        return ReadError::OldFormat;
    default:
        return ReadError::Corrupt;
    }
}

struct ParserDeleter {
    void operator()(readstat_parser_t* parser) const { readstat_parser_free(parser); }
};

readstat_error_t RunParser(Parse& parse, std::span<const std::uint8_t> bytes, const char* encoding)
{
    std::unique_ptr<readstat_parser_t, ParserDeleter> parser(readstat_parser_init());
    if (!parser) throw std::bad_alloc();
    Source source{bytes, 0};
    readstat_set_metadata_handler(parser.get(), OnMetadata);
    readstat_set_variable_handler(parser.get(), OnVariable);
    readstat_set_value_label_handler(parser.get(), OnValueLabel);
    readstat_set_value_handler(parser.get(), OnValue);
    readstat_set_error_handler(parser.get(), OnError);
    readstat_set_open_handler(parser.get(), OpenSource);
    readstat_set_close_handler(parser.get(), CloseSource);
    readstat_set_seek_handler(parser.get(), SeekSource);
    readstat_set_read_handler(parser.get(), ReadSource);
    readstat_set_update_handler(parser.get(), UpdateSource);
    readstat_set_io_ctx(parser.get(), &source);
    if (encoding) readstat_set_file_character_encoding(parser.get(), encoding);
    switch (parse.format) {
    case FileFormat::Sav:
        return readstat_parse_sav(parser.get(), "", &parse);
    case FileFormat::Por:
        return readstat_parse_por(parser.get(), "", &parse);
    case FileFormat::Dta:
        return readstat_parse_dta(parser.get(), "", &parse);
    case FileFormat::Sas:
        return readstat_parse_sas7bdat(parser.get(), "", &parse);
    case FileFormat::Xpt:
        return readstat_parse_xport(parser.get(), "", &parse);
    default:
        return READSTAT_ERROR_PARSE;
    }
}

} // namespace

ReadResult ParseStatistics(FileFormat format, std::span<const std::uint8_t> bytes, const ReadLimits& limits)
{
    std::vector<std::uint8_t> portable;
    if (format == FileFormat::Por) {
        portable = PortableWithFirstPlaces(bytes);
        bytes = portable;
    }
    auto parse = std::make_unique<Parse>(format, limits);
    readstat_error_t status = RunParser(*parse, bytes, nullptr);
    // ReadStat knows no iconv name for some code pages older SPSS files
    // declare; on a Chinese system those are GBK, which GB18030 contains.
    if (status == READSTAT_ERROR_UNSUPPORTED_CHARSET) {
        parse = std::make_unique<Parse>(format, limits);
        status = RunParser(*parse, bytes, "GB18030");
    }
    if (parse->error != ReadError::None) return Failure(parse->error);
    if (status != READSTAT_OK) return Failure(Mapped(status));
    if (parse->variables.empty()) return Failure(ReadError::NoWorksheet);
    // The last cases may all be missing: the file's case count holds.
    if (parse->cases > 0 && !parse->builder.Touch(parse->cases - 1)) return Failure(parse->builder.Error());
    ReadResult result = parse->builder.Take();
    // A set of labels may serve many variables; each gets a copy, counted.
    std::size_t copied = 0;
    for (std::size_t c = 0; c < parse->variables.size(); ++c) {
        const auto set = parse->labels.find(parse->labelSet[c]);
        if (parse->labelSet[c].empty() || set == parse->labels.end()) continue;
        for (const auto& [key, label] : set->second) copied += key.text.size() + label.size() + 16;
        if (copied > limits.textBytes) return Failure(ReadError::TooLarge);
        parse->variables[c].valueLabels = set->second;
    }
    result.variables = std::move(parse->variables);
    return result;
}

} // namespace korvanta::excel::detail
