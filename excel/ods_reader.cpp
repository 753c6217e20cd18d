// OpenDocument spreadsheets (.ods): the tables of content.xml, streamed
// through the package's XML scanner. A cell's value comes from its value
// type: office:value for numbers, percentages and currencies, the date or
// time as the text it is shown as, office:boolean-value, and the text of its
// paragraphs for strings. Repeated rows and cells are expanded only where
// they hold something (LibreOffice ends every table with a formatted run of
// a million empty rows), and every copy is counted against the import's
// limits before it is made.
#include "excel/date_text.h"
#include "excel/package.h"
#include "excel/readers.h"
#include "excel/sheet_builder.h"
#include "excel/text.h"

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

// Raw text kept for one cell: what kMaxCellChars characters take at most.
constexpr std::size_t kMaxRawTextBytes = kMaxCellChars * 4;

// A repeat count past what any sheet holds is capped there.
std::size_t Repeat(const char* text)
{
    if (!text) return 1;
    std::size_t n = 0;
    const std::string_view s(text);
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (ec == std::errc::result_out_of_range) return kMaxXlsxRows;
    if (ec != std::errc{} || n == 0) return 1;
    return std::min(n, kMaxXlsxRows);
}

std::optional<double> Number(const char* text)
{
    if (!text) return std::nullopt;
    const std::string_view s(text);
    double value = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc{} || p != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

// Elements and attributes are matched by namespace, not by the prefix a
// writer chose: the prefixes of the namespaces read here are learnt from
// their declarations (every writer declares them on the root element).
class OdsHandler : public XmlHandler {
protected:
    enum Space { kOfficeNs, kTableNs, kTextNs, kCalcExtNs, kManifestNs, kSpaces };

    void Learn(const char** a)
    {
        for (const char** p = a; p && *p; p += 2) {
            const std::string_view name(*p);
            if (!name.starts_with("xmlns")) continue;
            const std::string_view declared = name.size() > 6 && name[5] == ':' ? name.substr(6) : std::string_view();
            const std::string_view uri(p[1]);
            const std::string_view uris[kSpaces] = {kOffice, kTable, kText, kCalcExt, kManifest};
            for (int k = 0; k < kSpaces; ++k)
                if (uri == uris[k]) prefixes_[k].assign(declared);
        }
    }
    bool In(Space space) const { return prefix == prefixes_[space]; }
    const char* Attr(const char** a, Space space, std::string_view local) const
    {
        const std::string& p = prefixes_[space];
        for (const char** q = a; q && *q; q += 2) {
            const std::string_view name(*q);
            if (p.empty() ? name == local
                          : name.size() == p.size() + 1 + local.size() && name.starts_with(p) &&
                                name[p.size()] == ':' && name.ends_with(local))
                return q[1];
        }
        return nullptr;
    }

private:
    std::string prefixes_[kSpaces] = {"office", "table", "text", "calcext", "manifest"};
};

// Walks the tables of content.xml; lists the names of all and, when
// wanted is one of them, puts its cells into sheet.
class ContentHandler final : public OdsHandler {
public:
    ContentHandler(std::size_t wanted, SheetBuilder* sheet) : wanted_(wanted), sheet_(sheet) {}

    std::vector<std::string> names;
    ReadError limit = ReadError::None; // the limit the table passed

    void Start(std::string_view local, const char** a) override
    {
        Learn(a);
        if (annotation_ > 0) {
            ++annotation_;
            return;
        }
        if (In(kTableNs) && local == "table") {
            ++depth_;
            if (depth_ == 1) {
                if (names.size() >= kMaxSheets) return StopAt(ReadError::TooLarge);
                const char* name = Attr(a, kTableNs, "name");
                names.emplace_back(name ? name : "");
                inWanted_ = sheet_ && names.size() - 1 == wanted_;
                row_ = 0;
            }
        } else if (!inWanted_ || depth_ != 1) {
            return;
        } else if (In(kTableNs) && local == "table-row") {
            rowRepeat_ = Repeat(Attr(a, kTableNs, "number-rows-repeated"));
            column_ = 0;
            cells_.clear();
        } else if (In(kTableNs) && (local == "table-cell" || local == "covered-table-cell")) {
            StartCell(a);
        } else if (inCell_ && In(kOfficeNs) && local == "annotation") {
            annotation_ = 1;
        } else if (inCell_ && In(kTextNs) && local == "p") {
            if (paragraphs_++ > 0) AppendText("\n", 1);
        } else if (inCell_ && In(kTextNs) && local == "s") {
            AppendText(" ", Repeat(Attr(a, kTextNs, "c")));
        } else if (inCell_ && In(kTextNs) && local == "tab") {
            AppendText("\t", 1);
        } else if (inCell_ && In(kTextNs) && local == "line-break") {
            AppendText("\n", 1);
        }
    }

    void End(std::string_view local) override
    {
        if (annotation_ > 0) {
            --annotation_;
            return;
        }
        if (!In(kTableNs)) return;
        if (local == "table") {
            if (depth_-- == 1 && inWanted_) {
                inWanted_ = false;
                outcome = Outcome::Done;
            }
        } else if (inWanted_ && depth_ == 1 && (local == "table-cell" || local == "covered-table-cell")) {
            FinishCell();
        } else if (inWanted_ && depth_ == 1 && local == "table-row") {
            FinishRow();
        }
    }

    void Text(std::string_view t) override
    {
        if (inCell_ && annotation_ == 0 && paragraphs_ > 0) AppendText(t.data(), 1, t.size());
    }

private:
    // Appends count copies of text, up to what a cell keeps.
    void AppendText(const char* text, std::size_t count, std::size_t length = 1)
    {
        for (std::size_t k = 0; k < count && text_.size() < kMaxRawTextBytes; ++k)
            text_.append(text, std::min(length, kMaxRawTextBytes - text_.size()));
    }

    void StartCell(const char** a)
    {
        inCell_ = true;
        cellRepeat_ = Repeat(Attr(a, kTableNs, "number-columns-repeated"));
        text_.clear();
        paragraphs_ = 0;
        const char* type = Attr(a, kOfficeNs, "value-type");
        const char* ext = Attr(a, kCalcExtNs, "value-type");
        const std::string_view kind = type ? type : "";
        cell_ = Cell{};
        valueFromText_ = errorFromText_ = false;
        // A formula saved without a result has no value type.
        uncalculated_ = !type && Attr(a, kTableNs, "formula") != nullptr;
        if (ext && std::string_view(ext) == "error") {
            errorFromText_ = true;
        } else if (kind == "float" || kind == "percentage" || kind == "currency") {
            if (const auto v = Number(Attr(a, kOfficeNs, "value"))) cell_ = Cell::MakeNumber(*v);
        } else if (kind == "date") {
            const char* v = Attr(a, kOfficeNs, "date-value");
            if (auto date = v ? IsoDateText(v) : std::nullopt)
                cell_ = Cell::MakeText(std::move(*date));
            else
                valueFromText_ = true;
        } else if (kind == "time") {
            const char* v = Attr(a, kOfficeNs, "time-value");
            if (auto time = v ? IsoDurationText(v) : std::nullopt)
                cell_ = Cell::MakeText(std::move(*time));
            else
                valueFromText_ = true;
        } else if (kind == "boolean") {
            const char* v = Attr(a, kOfficeNs, "boolean-value");
            cell_ = Cell::MakeBool(v && std::string_view(v) == "true");
        } else if (kind == "string") {
            if (const char* v = Attr(a, kOfficeNs, "string-value")) {
                std::string text(v);
                TruncateChars(text, kMaxCellChars);
                cell_ = Cell::MakeText(std::move(text));
            } else {
                valueFromText_ = true;
            }
        }
    }

    void FinishCell()
    {
        inCell_ = false;
        if (valueFromText_ || errorFromText_) {
            TruncateChars(text_, kMaxCellChars);
            cell_ = errorFromText_ ? Cell::MakeError(text_) : Cell::MakeText(text_);
        }
        if (cell_.kind != Cell::Kind::Empty || uncalculated_) {
            // Past the column limit the sheet is refused; counted before
            // any copy is made.
            if (column_ + cellRepeat_ > kMaxImportColumns) return StopAt(ReadError::TooManyColumns);
            if (cells_.size() < column_ + cellRepeat_) cells_.resize(column_ + cellRepeat_);
            for (std::size_t c = column_; c < column_ + cellRepeat_; ++c) cells_[c] = {cell_, uncalculated_};
        }
        column_ += cellRepeat_;
    }

    void FinishRow()
    {
        bool data = false;
        for (const auto& cell : cells_) data |= cell.value.kind != Cell::Kind::Empty || cell.uncalculated;
        if (data) {
            for (std::size_t r = row_; r < row_ + rowRepeat_; ++r)
                for (std::size_t c = 0; c < cells_.size(); ++c) {
                    const bool ok =
                        cells_[c].uncalculated ? sheet_->SetUncalculated(r, c) : sheet_->Set(r, c, cells_[c].value);
                    if (!ok) return StopAt(sheet_->Error());
                }
        }
        row_ += rowRepeat_;
    }

    void StopAt(ReadError error)
    {
        limit = error;
        outcome = Outcome::TooLarge;
    }

    struct PlacedCell {
        Cell value;
        bool uncalculated = false;
    };

    std::size_t wanted_;
    SheetBuilder* sheet_;
    int depth_ = 0;
    int annotation_ = 0;
    bool inWanted_ = false;
    bool inCell_ = false;
    bool valueFromText_ = false; // a string, date or time given only as text
    bool errorFromText_ = false; // a formula's error, shown as its text
    bool uncalculated_ = false;
    std::size_t row_ = 0, rowRepeat_ = 1, cellRepeat_ = 1, column_ = 0, paragraphs_ = 0;
    std::vector<PlacedCell> cells_; // of the current row
    Cell cell_;
    std::string text_;
};

class ManifestHandler final : public OdsHandler {
public:
    bool encrypted = false;
    void Start(std::string_view local, const char** a) override
    {
        Learn(a);
        if (In(kManifestNs) && local == "encryption-data") {
            encrypted = true;
            outcome = Outcome::Done;
        }
    }
    void End(std::string_view) override {}
};

// The tables lie in content.xml in order: a table's place is its index.
class OdsSource final : public SheetSource {
public:
    ReadError Open(const std::filesystem::path& path)
    {
        if (const auto s = package_.Open(path); s != Package::Status::Ok) return ReadErrorOf(s, ReadError::NotWorkbook);
        ManifestHandler manifest;
        if (const auto s = package_.Parse("META-INF/manifest.xml", manifest);
            s != Package::Status::Ok && s != Package::Status::Missing)
            return ReadErrorOf(s, ReadError::NotWorkbook);
        if (manifest.encrypted) return ReadError::Encrypted;
        ContentHandler content(0, nullptr);
        if (const auto s = package_.Parse("content.xml", content); s != Package::Status::Ok)
            return ReadErrorOf(s, ReadError::NotWorkbook);
        names_ = std::move(content.names);
        return names_.empty() ? ReadError::NoWorksheet : ReadError::None;
    }

    ReadResult Read(std::size_t index, const ReadLimits& limits) const override
    {
        SheetBuilder sheet(limits);
        ContentHandler content(index, &sheet);
        if (const auto s = package_.Parse("content.xml", content); s != Package::Status::Ok)
            return Failure(content.limit != ReadError::None ? content.limit : ReadErrorOf(s, ReadError::NotWorkbook));
        if (index >= content.names.size()) return Failure(ReadError::NoWorksheet);
        return sheet.Take();
    }

private:
    Package package_;
};

} // namespace

Opened OpenOds(const std::filesystem::path& path) { return OpenSource<OdsSource>(path); }

} // namespace korvanta::excel::detail
