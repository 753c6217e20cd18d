// Office Open XML (.xlsx): the package's relationships lead to the workbook,
// the workbook's list of sheets and its relationships to each worksheet's
// part, resolved by one rule (ResolvePartName) for listing and reading. A
// worksheet's cells are read first, then only the shared strings they refer
// to; the styles say which numbers are shown as dates.
#include "excel/date_text.h"
#include "excel/package.h"
#include "excel/readers.h"
#include "excel/sheet_builder.h"
#include "excel/text.h"
#include "excel/xlsx_styles.h"

#include <charconv>
#include <cmath>
#include <map>
#include <optional>

namespace korvanta::excel::detail {

namespace {

// Raw text kept for one value or string before unescaping and the cut at
// kMaxCellChars; an escape takes up to seven bytes per character.
constexpr std::size_t kMaxRawTextBytes = kMaxCellChars * 8;

bool EndsWith(std::string_view s, std::string_view suffix)
{
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

void AppendCapped(std::string& out, std::string_view text)
{
    if (out.size() < kMaxRawTextBytes) out.append(text.substr(0, kMaxRawTextBytes - out.size()));
}

std::string FinishText(const std::string& raw)
{
    std::string text = DecodeOoxmlEscapes(raw);
    TruncateChars(text, kMaxCellChars);
    return text;
}

template <typename T>
bool ParseUnsigned(std::string_view s, T& value)
{
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc{} && end == s.data() + s.size() && !s.empty();
}

std::string FolderOf(std::string_view part)
{
    const auto slash = part.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

std::string RelsPartOf(std::string_view part)
{
    const auto slash = part.rfind('/');
    const std::string_view folder = slash == std::string_view::npos ? std::string_view() : part.substr(0, slash + 1);
    const std::string_view file = slash == std::string_view::npos ? part : part.substr(slash + 1);
    return std::string(folder) + "_rels/" + std::string(file) + ".rels";
}

struct Relationship {
    std::string type, target;
    bool external = false;
};

class RelsHandler : public XmlHandler {
public:
    std::map<std::string, Relationship> byId;

    void Start(std::string_view name, const char** a) override
    {
        if (name != "Relationship") return;
        const char* id = Attribute(a, "Id");
        const char* type = Attribute(a, "Type");
        const char* target = Attribute(a, "Target");
        const char* mode = Attribute(a, "TargetMode");
        if (!id || !type || !target) return;
        byId[id] = {type, target, mode && std::string_view(mode) == "External"};
    }
    void End(std::string_view) override {}

    const Relationship* FirstOfType(std::string_view suffix) const
    {
        for (const auto& [id, rel] : byId)
            if (!rel.external && EndsWith(rel.type, suffix)) return &rel;
        return nullptr;
    }
};

class WorkbookHandler : public XmlHandler {
public:
    struct Sheet {
        std::string name, id; // id: the relationship's
    };
    std::string root;
    std::vector<Sheet> sheets; // in the workbook's order
    bool date1904 = false;

    void Start(std::string_view name, const char** a) override
    {
        if (root.empty()) root = name;
        if (name == "sheet") {
            const char* id = Attribute(a, "id", true);
            const char* sheetName = Attribute(a, "name");
            if (id && sheets.size() >= kMaxSheets) outcome = Outcome::TooLarge;
            if (id && sheets.size() < kMaxSheets)
                sheets.push_back({sheetName ? FinishText(sheetName) : std::string(), id});
        } else if (name == "workbookPr") {
            const char* v = Attribute(a, "date1904");
            date1904 = v && (std::string_view(v) == "1" || std::string_view(v) == "true");
        }
    }
    void End(std::string_view name) override
    {
        if (name == "sheets") outcome = Outcome::Done;
    }
};

class SheetHandler : public XmlHandler {
public:
    SheetHandler(SheetBuilder& sheet, bool date1904, const XfDateStyles& styles)
        : sheet_(sheet), date1904_(date1904), styles_(styles)
    {}

    void Start(std::string_view name, const char** a) override
    {
        // A worksheet relationship that leads to some other part (the
        // workbook itself, say) does not make it a worksheet.
        if (!rootSeen_) {
            rootSeen_ = true;
            if (name != "worksheet") return Fail();
        }
        if (name == "dimension") {
            ReserveFor(Attribute(a, "ref"));
        } else if (name == "sheetData") {
            inData_ = true;
        } else if (!inData_) {
            return;
        } else if (name == "row") {
            const char* r = Attribute(a, "r");
            std::size_t row = row_ + 1;
            if (r && !ParseUnsigned(std::string_view(r), row)) return Fail();
            if (row < 1 || row > kMaxXlsxRows) return Fail();
            row_ = row;
            nextColumn_ = 0;
        } else if (name == "c") {
            StartCell(a);
        } else if (inCell_ && name == "v") {
            inValue_ = hasValue_ = true;
        } else if (inCell_ && name == "f") {
            hasFormula_ = true;
        } else if (inCell_ && name == "is") {
            inInline_ = hasValue_ = true;
        } else if (inInline_ && name == "rPh") {
            inPhonetic_ = true;
        } else if (inInline_ && !inPhonetic_ && name == "t") {
            inText_ = true;
        }
    }

    void End(std::string_view name) override
    {
        if (!inData_) return;
        if (name == "v") {
            inValue_ = false;
        } else if (name == "t") {
            inText_ = false;
        } else if (name == "rPh") {
            inPhonetic_ = false;
        } else if (name == "is") {
            inInline_ = false;
        } else if (name == "c" && inCell_) {
            inCell_ = false;
            FinishCell();
        } else if (name == "sheetData") {
            outcome = Outcome::Done;
        }
    }

    void Text(std::string_view t) override
    {
        if (inValue_)
            AppendCapped(value_, t);
        else if (inText_)
            AppendCapped(value_, t);
    }

private:
    enum class Type { Number, Shared, FormulaText, Inline, Bool, Error, Date };

    void Fail() { outcome = Outcome::Corrupt; }
    void StopAtLimit() { outcome = Outcome::TooLarge; }

    // The declared range ("A1:B32767") sizes the row store; the cells decide
    // what is read.
    void ReserveFor(const char* ref)
    {
        if (!ref) return;
        std::string_view s(ref);
        s = s.substr(s.find(':') == std::string_view::npos ? 0 : s.find(':') + 1);
        const auto digits = s.find_first_of("0123456789");
        std::size_t rows = 0;
        if (digits != std::string_view::npos && ParseUnsigned(s.substr(digits), rows)) sheet_.Reserve(rows);
    }

    void StartCell(const char** a)
    {
        if (row_ == 0) return Fail();
        std::size_t column = nextColumn_, row = row_;
        if (const char* ref = Attribute(a, "r")) {
            std::string_view s(ref);
            std::size_t i = 0, letters = 0;
            column = 0;
            for (; i < s.size() && ((s[i] >= 'A' && s[i] <= 'Z') || (s[i] >= 'a' && s[i] <= 'z')); ++i, ++letters)
                column = column * 26 + static_cast<std::size_t>((s[i] | 0x20) - 'a' + 1);
            if (letters == 0 || letters > 3) return Fail();
            --column;
            if (i < s.size() && (!ParseUnsigned(s.substr(i), row) || row < 1 || row > kMaxXlsxRows)) return Fail();
        }
        const char* t = Attribute(a, "t");
        const std::string_view type = t ? t : "n";
        if (type == "n")
            type_ = Type::Number;
        else if (type == "s")
            type_ = Type::Shared;
        else if (type == "str")
            type_ = Type::FormulaText;
        else if (type == "inlineStr")
            type_ = Type::Inline;
        else if (type == "b")
            type_ = Type::Bool;
        else if (type == "e")
            type_ = Type::Error;
        else if (type == "d")
            type_ = Type::Date;
        else
            return Fail();
        std::size_t xf = 0;
        if (const char* style = Attribute(a, "s"); style && !ParseUnsigned(std::string_view(style), xf)) return Fail();
        dateStyle_ = styles_.Of(xf);
        row_ = row;
        column_ = column;
        nextColumn_ = column + 1;
        inCell_ = true;
        hasValue_ = hasFormula_ = inValue_ = inInline_ = inText_ = inPhonetic_ = false;
        value_.clear();
    }

    void FinishCell()
    {
        const std::size_t row = row_ - 1;
        if (!Put(row)) StopAtLimit();
    }

    // False once the sheet is past a limit.
    bool Put(std::size_t row)
    {
        // A formula not yet calculated has no <v>, or an empty one.
        if (hasFormula_ && value_.empty() && type_ != Type::Inline) return sheet_.SetUncalculated(row, column_);
        if (!hasValue_ || (value_.empty() && type_ != Type::FormulaText && type_ != Type::Inline))
            return sheet_.Touch(row);
        switch (type_) {
        case Type::Number: {
            double v = 0;
            // from_chars is locale-free and much quicker than strtod; a
            // sheet is mostly numbers.
            const char* end = value_.data() + value_.size();
            const auto [p, ec] = std::from_chars(value_.data(), end, v);
            // A value no number can hold ("1e309", "+5" written by hand) is
            // kept as the text it is, and the rest of the sheet is read.
            if (ec != std::errc{} || p != end || !std::isfinite(v))
                return sheet_.Set(row, column_, Cell::MakeText(FinishText(value_)));
            if (auto date = SerialDateText(v, date1904_, dateStyle_))
                return sheet_.Set(row, column_, Cell::MakeText(std::move(*date)));
            return sheet_.Set(row, column_, Cell::MakeNumber(v));
        }
        case Type::Shared: {
            std::uint32_t index = 0;
            if (!ParseUnsigned(std::string_view(value_), index)) {
                Fail();
                return true;
            }
            return sheet_.SetShared(row, column_, index);
        }
        case Type::FormulaText:
        case Type::Inline:
            return sheet_.Set(row, column_, Cell::MakeText(FinishText(value_)));
        case Type::Bool:
            if (value_ == "1" || value_ == "true") return sheet_.Set(row, column_, Cell::MakeBool(true));
            if (value_ == "0" || value_ == "false") return sheet_.Set(row, column_, Cell::MakeBool(false));
            Fail();
            return true;
        case Type::Error:
            return sheet_.Set(row, column_, Cell::MakeError(FinishText(value_)));
        case Type::Date:
            if (auto date = IsoDateText(value_)) return sheet_.Set(row, column_, Cell::MakeText(std::move(*date)));
            return sheet_.Set(row, column_, Cell::MakeText(FinishText(value_)));
        }
        return true;
    }

    SheetBuilder& sheet_;
    bool date1904_;
    const XfDateStyles& styles_;
    DateStyle dateStyle_ = DateStyle::None;
    bool hasFormula_ = false;
    bool rootSeen_ = false;
    bool inData_ = false, inCell_ = false, inValue_ = false, inInline_ = false, inText_ = false, inPhonetic_ = false;
    bool hasValue_ = false;
    std::size_t row_ = 0; // 1-based; 0 before the first row
    std::size_t column_ = 0, nextColumn_ = 0;
    Type type_ = Type::Number;
    std::string value_;
};

// Keeps the entries of the shared-string table that cells refer to; stops
// once the last of them has been read.
class SharedStringsHandler : public XmlHandler {
public:
    SharedStringsHandler(const std::vector<std::uint32_t>& needed, std::vector<std::string>& texts)
        : needed_(needed), texts_(texts)
    {
        texts_.assign(needed.size(), {});
    }

    bool Complete() const { return found_ == needed_.size(); }

    void Start(std::string_view name, const char**) override
    {
        if (name == "si") {
            ++index_;
            keep_ = found_ < needed_.size() && needed_[found_] == index_;
            inItem_ = true;
            raw_.clear();
        } else if (inItem_ && name == "rPh") {
            inPhonetic_ = true;
        } else if (inItem_ && !inPhonetic_ && name == "t") {
            inText_ = true;
        }
    }
    void End(std::string_view name) override
    {
        if (name == "t") {
            inText_ = false;
        } else if (name == "rPh") {
            inPhonetic_ = false;
        } else if (name == "si") {
            inItem_ = false;
            if (!keep_) return;
            texts_[found_++] = FinishText(raw_);
            if (Complete()) outcome = Outcome::Done;
        }
    }
    void Text(std::string_view t) override
    {
        if (keep_ && inText_) AppendCapped(raw_, t);
    }

private:
    const std::vector<std::uint32_t>& needed_;
    std::vector<std::string>& texts_;
    std::size_t found_ = 0;
    std::uint32_t index_ = 0xFFFFFFFF; // the first <si> makes it 0
    bool keep_ = false, inItem_ = false, inText_ = false, inPhonetic_ = false;
    std::string raw_;
};

// Where a worksheet lies: its part in the package.
struct SheetPlace {
    std::string name, part;
};

class XlsxSource final : public SheetSource {
public:
    ReadError Open(const std::filesystem::path& path);
    ReadResult Read(std::size_t index, const ReadLimits& limits) const override;

private:
    Package package_;
    std::vector<SheetPlace> sheets_;
    std::string sharedStringsPart_, stylesPart_;
    bool date1904_ = false;
};

ReadError XlsxSource::Open(const std::filesystem::path& path)
{
    if (const auto s = package_.Open(path); s != Package::Status::Ok) return ReadErrorOf(s);

    // The package's own relationships name the main part; xl/workbook.xml is
    // where every writer puts it, for packages that lack them.
    std::string workbookPart = "xl/workbook.xml";
    {
        RelsHandler rels;
        const auto s = package_.Parse("_rels/.rels", rels);
        if (s != Package::Status::Ok && s != Package::Status::Missing) return ReadErrorOf(s);
        if (const Relationship* main = rels.FirstOfType("/officeDocument"))
            workbookPart = ResolvePartName("", main->target);
    }
    WorkbookHandler workbook;
    if (const auto s = package_.Parse(workbookPart, workbook); s != Package::Status::Ok)
        return ReadErrorOf(s, ReadError::NotWorkbook);
    // A Word or PowerPoint package has a main part too, of another kind.
    if (workbook.root != "workbook") return ReadError::NotWorkbook;
    date1904_ = workbook.date1904;

    RelsHandler rels;
    if (const auto s = package_.Parse(RelsPartOf(workbookPart), rels); s != Package::Status::Ok) return ReadErrorOf(s);
    const std::string folder = FolderOf(workbookPart);
    for (auto& sheet : workbook.sheets) {
        const auto it = rels.byId.find(sheet.id);
        if (it == rels.byId.end() || it->second.external || !EndsWith(it->second.type, "/worksheet")) continue;
        names_.push_back(sheet.name);
        sheets_.push_back({std::move(sheet.name), ResolvePartName(folder, it->second.target)});
    }
    if (sheets_.empty()) return ReadError::NoWorksheet;
    if (const Relationship* strings = rels.FirstOfType("/sharedStrings"))
        sharedStringsPart_ = ResolvePartName(folder, strings->target);
    if (const Relationship* styles = rels.FirstOfType("/styles")) stylesPart_ = ResolvePartName(folder, styles->target);
    return ReadError::None;
}

ReadResult XlsxSource::Read(std::size_t index, const ReadLimits& limits) const
{
    if (index >= sheets_.size()) return Failure(ReadError::NoWorksheet);
    XfDateStyles styles;
    if (!stylesPart_.empty()) {
        // Without readable styles the numbers stay numbers.
        XfStylesHandler handler(styles);
        if (const auto s = package_.Parse(stylesPart_, handler); s == Package::Status::TooLarge)
            return Failure(ReadError::TooLarge);
    }

    SheetBuilder sheet(limits);
    SheetHandler sheetHandler(sheet, date1904_, styles);
    if (const auto s = package_.Parse(sheets_[index].part, sheetHandler); s != Package::Status::Ok)
        return Failure(sheet.Error() != ReadError::None ? sheet.Error() : ReadErrorOf(s));

    const auto needed = sheet.NeededShared();
    if (!needed.empty()) {
        if (sharedStringsPart_.empty()) return Failure(ReadError::Corrupt);
        std::vector<std::string> texts;
        SharedStringsHandler handler(needed, texts);
        if (const auto s = package_.Parse(sharedStringsPart_, handler); s != Package::Status::Ok)
            return Failure(ReadErrorOf(s));
        if (!handler.Complete()) return Failure(ReadError::Corrupt);
        if (!sheet.ResolveShared(needed, texts)) return Failure(sheet.Error());
    }
    return sheet.Take();
}

} // namespace

Opened OpenXlsx(const std::filesystem::path& path) { return OpenSource<XlsxSource>(path); }

} // namespace korvanta::excel::detail
