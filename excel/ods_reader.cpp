// OpenDocument spreadsheets (.ods): the tables of content.xml, streamed.
// A cell's value comes from its value type: office:value for numbers,
// percentages and currencies, office:date-value and office:time-value as
// serial numbers the way Excel counts them, office:boolean-value, and the
// text of its paragraphs for strings. Repeated rows and cells are expanded
// only where they hold something: LibreOffice ends every table with a
// formatted run of a million empty rows.
#include "excel/sheet_choice.h"
#include "excel/zip_parts.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace korvanta::excel::detail {
namespace {

constexpr std::string_view kOffice = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr std::string_view kTable = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
constexpr std::string_view kText = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
constexpr std::string_view kCalcExt = "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0";
constexpr std::string_view kManifest = "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0";

// A repeat count past what any sheet holds is capped; a run that long with
// data in it is refused further on.
std::size_t Repeat(const char* text) {
    if (!text) return 1;
    std::size_t n = 0;
    const std::string_view s(text);
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (ec == std::errc::result_out_of_range) return kMaxXlsxRows + 1;
    if (ec != std::errc{} || n == 0) return 1;
    return std::min(n, kMaxXlsxRows + 1);
}

std::optional<double> Number(const char* text) {
    if (!text) return std::nullopt;
    const std::string_view s(text);
    double value = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc{} || p != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

long DaysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

// "2024-03-01" or "2024-03-01T12:30:00" as days since the null date. With
// LibreOffice's null date of 1899-12-30 this is Excel's serial number from
// March 1900 on.
std::optional<double> DateSerial(std::string_view s, long nullDay) {
    int y = 0, mo = 0, d = 0;
    if (s.size() < 10 || s[4] != '-' || s[7] != '-') return std::nullopt;
    if (std::from_chars(s.data(), s.data() + 4, y).ec != std::errc{} || std::from_chars(s.data() + 5, s.data() + 7, mo).ec != std::errc{} ||
        std::from_chars(s.data() + 8, s.data() + 10, d).ec != std::errc{} || mo < 1 || mo > 12 || d < 1 || d > 31)
        return std::nullopt;
    double serial = static_cast<double>(DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) - nullDay);
    if (s.size() >= 19 && s[10] == 'T') {
        int h = 0, mi = 0;
        double sec = 0;
        if (std::from_chars(s.data() + 11, s.data() + 13, h).ec != std::errc{} || std::from_chars(s.data() + 14, s.data() + 16, mi).ec != std::errc{})
            return std::nullopt;
        std::from_chars(s.data() + 17, s.data() + s.size(), sec);
        serial += (h * 3600.0 + mi * 60.0 + sec) / 86400.0;
    }
    return serial;
}

// "PT12H30M15S" (hours may pass 24) as a fraction of a day.
std::optional<double> TimeFraction(std::string_view s) {
    if (!s.starts_with("PT")) return std::nullopt;
    s.remove_prefix(2);
    double seconds = 0;
    while (!s.empty()) {
        double v = 0;
        const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        if (ec != std::errc{} || p == s.data() + s.size()) return std::nullopt;
        const char unit = *p;
        seconds += unit == 'H' ? v * 3600 : unit == 'M' ? v * 60 : unit == 'S' ? v : NAN;
        if (std::isnan(seconds)) return std::nullopt;
        s.remove_prefix(static_cast<std::size_t>(p - s.data()) + 1);
    }
    return seconds / 86400.0;
}

// Walks the tables of content.xml; keeps the names of all and the cells of
// table `wanted` (none when wanted is past the end).
class ContentSink final : public XmlSink {
public:
    explicit ContentSink(std::size_t wanted) : wanted_(wanted) {}

    std::vector<std::string> names;
    std::vector<Row> rows;
    bool tooLarge = false;

    void start(std::string_view uri, std::string_view local, const char** a) override {
        if (annotation_ > 0) {
            ++annotation_;
            return;
        }
        if (uri == kTable && local == "null-date") {
            if (const char* v = attribute(a, kTable, "date-value"))
                if (const auto day = DateSerial(v, 0)) nullDay_ = static_cast<long>(*day);
        } else if (uri == kTable && local == "table") {
            ++depth_;
            if (depth_ == 1) {
                const char* name = attribute(a, kTable, "name");
                names.emplace_back(name ? name : "");
                inWanted_ = names.size() - 1 == wanted_;
            }
        } else if (!inWanted_ || depth_ != 1) {
            return;
        } else if (uri == kTable && local == "table-row") {
            rowRepeat_ = Repeat(attribute(a, kTable, "number-rows-repeated"));
            column_ = 0;
            rowHasData_ = false;
            current_ = Row{};
        } else if (uri == kTable && (local == "table-cell" || local == "covered-table-cell")) {
            startCell(a);
        } else if (inCell_ && uri == kOffice && local == "annotation") {
            annotation_ = 1;
        } else if (inCell_ && uri == kText && local == "p") {
            if (paragraphs_++ > 0) text_ += '\n';
        } else if (inCell_ && uri == kText && local == "s") {
            const std::size_t count = std::min<std::size_t>(Repeat(attribute(a, kText, "c")), kMaxCellChars);
            text_.append(count, ' ');
        } else if (inCell_ && uri == kText && local == "tab") {
            text_ += '\t';
        } else if (inCell_ && uri == kText && local == "line-break") {
            text_ += '\n';
        }
    }

    void end(std::string_view uri, std::string_view local) override {
        if (annotation_ > 0) {
            --annotation_;
            return;
        }
        if (uri != kTable) return;
        if (local == "table") {
            if (depth_-- == 1 && inWanted_) {
                inWanted_ = false;
                stop = true;
            }
        } else if (inWanted_ && depth_ == 1 && (local == "table-cell" || local == "covered-table-cell")) {
            finishCell();
        } else if (inWanted_ && depth_ == 1 && local == "table-row") {
            finishRow();
        }
    }

    void text(std::string_view t) override {
        if (inCell_ && annotation_ == 0 && paragraphs_ > 0 && text_.size() < kMaxCellChars * 4) text_ += t;
    }

private:
    void startCell(const char** a) {
        inCell_ = true;
        cellRepeat_ = Repeat(attribute(a, kTable, "number-columns-repeated"));
        text_.clear();
        paragraphs_ = 0;
        const char* type = attribute(a, kOffice, "value-type");
        const char* ext = attribute(a, kCalcExt, "value-type");
        const std::string_view kind = type ? type : "";
        cell_ = Cell{};
        valueFromText_ = errorFromText_ = false;
        if (ext && std::string_view(ext) == "error") {
            errorFromText_ = true;
        } else if (kind == "float" || kind == "percentage" || kind == "currency") {
            if (const auto v = Number(attribute(a, kOffice, "value"))) cell_ = Cell::MakeNumber(*v);
        } else if (kind == "date") {
            const char* v = attribute(a, kOffice, "date-value");
            if (const auto serial = v ? DateSerial(v, nullDay_) : std::nullopt) cell_ = Cell::MakeNumber(*serial);
            else valueFromText_ = true;
        } else if (kind == "time") {
            const char* v = attribute(a, kOffice, "time-value");
            if (const auto fraction = v ? TimeFraction(v) : std::nullopt) cell_ = Cell::MakeNumber(*fraction);
            else valueFromText_ = true;
        } else if (kind == "boolean") {
            const char* v = attribute(a, kOffice, "boolean-value");
            cell_ = Cell::MakeBool(v && std::string_view(v) == "true");
        } else if (kind == "string") {
            if (const char* v = attribute(a, kOffice, "string-value")) cell_ = Cell::MakeText(v);
            else valueFromText_ = true;
        }
    }

    void finishCell() {
        inCell_ = false;
        if (valueFromText_ || errorFromText_) {
            TruncateText(text_);
            cell_ = errorFromText_ ? Cell::MakeError(text_) : Cell::MakeText(text_);
        }
        if (cell_.kind != Cell::Kind::Empty) {
            rowHasData_ = true;
            for (std::size_t c = column_; c < std::min<std::size_t>(column_ + cellRepeat_, 2); ++c)
                (c == 0 ? current_.first : current_.second) = cell_;
        }
        column_ += cellRepeat_;
    }

    void finishRow() {
        if (!rowHasData_) {
            pendingEmpty_ += rowRepeat_;
            return;
        }
        if (rows.size() + pendingEmpty_ + rowRepeat_ > kMaxXlsxRows) {
            tooLarge = true;
            stop = true;
            return;
        }
        rows.resize(rows.size() + pendingEmpty_);
        pendingEmpty_ = 0;
        rows.insert(rows.end(), rowRepeat_, current_);
    }

    static void TruncateText(std::string& text) {
        // Cut after kMaxCellChars code points, never inside one.
        std::size_t chars = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
            if (chars++ == kMaxCellChars) {
                text.resize(i);
                return;
            }
        }
    }

    std::size_t wanted_;
    long nullDay_ = DaysFromCivil(1899, 12, 30);
    int depth_ = 0;
    int annotation_ = 0;
    bool inWanted_ = false;
    bool inCell_ = false;
    bool rowHasData_ = false;
    bool valueFromText_ = false;  // a string, date or time given only as text
    bool errorFromText_ = false;  // a formula's error, shown as its text
    std::size_t rowRepeat_ = 1, cellRepeat_ = 1, column_ = 0, paragraphs_ = 0;
    std::size_t pendingEmpty_ = 0;
    Row current_;
    Cell cell_;
    std::string text_;
};

class ManifestSink final : public XmlSink {
public:
    bool encrypted = false;
    void start(std::string_view uri, std::string_view local, const char**) override {
        if (uri == kManifest && local == "encryption-data") encrypted = stop = true;
    }
    void end(std::string_view, std::string_view) override {}
};


ReadError ReadContent(const std::filesystem::path& path, ContentSink& content) {
    ZipParts zip;
    if (const auto s = zip.open(path); s != ZipParts::Status::Ok) return ReadErrorOf(s);
    ManifestSink manifest;
    if (const auto s = zip.parse("META-INF/manifest.xml", manifest); s != ZipParts::Status::Ok && s != ZipParts::Status::Missing)
        return ReadErrorOf(s);
    if (manifest.encrypted) return ReadError::Encrypted;
    if (const auto s = zip.parse("content.xml", content); s != ZipParts::Status::Ok) return ReadErrorOf(s);
    if (content.tooLarge) return ReadError::TooLarge;
    return content.names.empty() ? ReadError::NoWorksheet : ReadError::None;
}

}  // namespace

SheetList ListOdsSheets(const std::filesystem::path& path) {
    ContentSink content(static_cast<std::size_t>(-1));
    if (const ReadError e = ReadContent(path, content); e != ReadError::None) return ListFailure(e);
    SheetList list;
    list.names = std::move(content.names);
    return list;
}

ReadResult ReadOdsSheet(const std::filesystem::path& path, std::size_t index) {
    ContentSink content(index);
    if (const ReadError e = ReadContent(path, content); e != ReadError::None) return Failure(e);
    if (index >= content.names.size()) return Failure(ReadError::NoWorksheet);
    ReadResult result;
    result.rows = std::move(content.rows);
    return result;
}

}  // namespace korvanta::excel::detail
