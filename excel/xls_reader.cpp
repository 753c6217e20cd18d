// BIFF8 (.xls, Excel 97 to 2003): the globals substream lists the
// worksheets with their offsets and holds the shared-string table and the
// cell formats; a worksheet's cell records give the values. Every record
// length is checked before a field is read, and every loop advances through
// a bounded buffer.
#include "delimited/file_open.h"
#include "excel/biff_records.h"
#include "excel/cfb_reader.h"
#include "excel/date_text.h"
#include "excel/readers.h"
#include "excel/sheet_builder.h"
#include "excel/text.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace korvanta::excel::detail {

namespace {

using namespace biff;

// The whole file is held while it is read; a workbook within the import's
// cell limits is far smaller.
constexpr std::size_t kMaxXlsImportBytes = std::size_t{64} << 20;

using Span = std::span<const std::uint8_t>;

struct Record {
    std::uint16_t id = 0;
    Span data;
};

// Walks records from an offset; a header or body running past the end of
// the stream marks the stream broken.
class RecordCursor {
public:
    RecordCursor(Span stream, std::size_t at) : stream_(stream), pos_(at) {}

    std::optional<Record> Next()
    {
        if (pos_ >= stream_.size()) return std::nullopt;
        if (stream_.size() - pos_ < 4) {
            broken_ = true;
            return std::nullopt;
        }
        const std::uint16_t id = Le16(stream_.data() + pos_);
        const std::uint16_t length = Le16(stream_.data() + pos_ + 2);
        if (stream_.size() - pos_ - 4 < length) {
            broken_ = true;
            return std::nullopt;
        }
        Record r{id, stream_.subspan(pos_ + 4, length)};
        pos_ += 4 + std::size_t{length};
        return r;
    }

    // Appends the bodies of the CONTINUE records that follow.
    void TakeContinues(std::vector<Span>& parts)
    {
        while (stream_.size() - pos_ >= 4 && Le16(stream_.data() + pos_) == kContinue) {
            auto r = Next();
            if (!r) return;
            parts.push_back(r->data);
        }
    }

    bool Broken() const { return broken_; }

private:
    Span stream_;
    std::size_t pos_;
    bool broken_ = false;
};

// A record body and its CONTINUE records read as one byte sequence, except
// that a string's characters restart at each continuation with an option
// byte saying whether they are one or two bytes wide.
class Segments {
public:
    explicit Segments(std::vector<Span> parts) : parts_(std::move(parts)) {}

    bool U8(std::uint8_t& v) { return Bytes(&v, 1); }
    bool U16(std::uint16_t& v)
    {
        std::uint8_t b[2];
        if (!Bytes(b, 2)) return false;
        v = Le16(b);
        return true;
    }
    bool U32(std::uint32_t& v)
    {
        std::uint8_t b[4];
        if (!Bytes(b, 4)) return false;
        v = Le32(b);
        return true;
    }
    bool Skip(std::size_t n)
    {
        while (n > 0) {
            if (!Ensure()) return false;
            const std::size_t take = std::min(n, parts_[seg_].size() - pos_);
            pos_ += take;
            n -= take;
        }
        return true;
    }

    // cch characters; out may be null to skip them.
    bool Chars(std::size_t cch, bool wide, std::u16string* out)
    {
        while (cch > 0) {
            if (pos_ == parts_[seg_].size()) {
                if (seg_ + 1 >= parts_.size() || parts_[seg_ + 1].empty()) return false;
                ++seg_;
                wide = (parts_[seg_][0] & 0x01) != 0;
                pos_ = 1;
                continue;
            }
            const std::size_t unit = wide ? 2 : 1;
            const std::size_t n = std::min(cch, (parts_[seg_].size() - pos_) / unit);
            if (n == 0) return false;
            const std::uint8_t* p = parts_[seg_].data() + pos_;
            if (out) {
                for (std::size_t i = 0; i < n; ++i)
                    out->push_back(wide ? static_cast<char16_t>(Le16(p + 2 * i)) : p[i]);
            }
            pos_ += n * unit;
            cch -= n;
        }
        return true;
    }

private:
    bool Ensure()
    {
        while (pos_ == parts_[seg_].size()) {
            if (seg_ + 1 >= parts_.size()) return false;
            ++seg_;
            pos_ = 0;
        }
        return true;
    }
    bool Bytes(std::uint8_t* dst, std::size_t n)
    {
        for (std::size_t i = 0; i < n; ++i) {
            if (!Ensure()) return false;
            dst[i] = parts_[seg_][pos_++];
        }
        return true;
    }

    std::vector<Span> parts_;
    std::size_t seg_ = 0;
    std::size_t pos_ = 0;
};

// An XLUnicodeString (LABEL, STRING): count, option byte, characters.
bool ReadShortString(Segments& s, std::string& out)
{
    std::uint16_t cch = 0;
    std::uint8_t flags = 0;
    if (!s.U16(cch) || !s.U8(flags)) return false;
    std::u16string units;
    if (!s.Chars(cch, flags & 0x01, &units)) return false;
    out = Utf16ToUtf8(units, kMaxCellChars);
    return true;
}

// An XLUnicodeRichExtendedString of the shared-string table; out may be
// null to pass over it.
bool ReadSstString(Segments& s, std::string* out)
{
    std::uint16_t cch = 0, runs = 0;
    std::uint8_t flags = 0;
    std::uint32_t extBytes = 0;
    if (!s.U16(cch) || !s.U8(flags)) return false;
    if ((flags & 0x08) && !s.U16(runs)) return false;
    if ((flags & 0x04) && !s.U32(extBytes)) return false;
    std::u16string units;
    if (!s.Chars(cch, flags & 0x01, out ? &units : nullptr)) return false;
    if (!s.Skip(4 * std::size_t{runs}) || !s.Skip(extBytes)) return false;
    if (out) *out = Utf16ToUtf8(units, kMaxCellChars);
    return true;
}

std::string ErrorText(std::uint8_t code)
{
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    case 0x2A:
        return "#N/A";
    case 0x2B:
        return "#GETTING_DATA";
    default:
        return "#ERROR!";
    }
}

double RkValue(std::uint32_t rk)
{
    double v = 0;
    if (rk & 0x02) {
        v = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        v = std::bit_cast<double>(static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32);
    }
    return (rk & 0x01) ? v / 100.0 : v;
}

struct BoundSheet {
    std::string name;
    std::uint32_t offset; // of the sheet's BOF in the stream
};

struct Globals {
    std::vector<BoundSheet> worksheets;
    std::vector<Span> sst;
    std::vector<DateStyle> xfStyles; // by cell format index
    bool date1904 = false;
};

// A sheet name: a one-byte count, a flag byte, then Latin-1 or UTF-16LE.
std::string SheetName(Span body)
{
    if (body.size() < 8) return {};
    std::vector<Span> parts{body.subspan(7)};
    Segments s(std::move(parts));
    std::u16string units;
    std::uint8_t flags = 0;
    if (!s.U8(flags)) return {};
    // A name cut short keeps what is there.
    const std::size_t wide = flags & 0x01;
    const std::size_t available = (body.size() - 8) / (wide ? 2 : 1);
    s.Chars(std::min<std::size_t>(body[6], available), wide != 0, &units);
    return Utf16ToUtf8(units, kMaxCellChars);
}

ReadError ReadGlobals(Span stream, Globals& g)
{
    RecordCursor cursor(stream, 0);
    auto bof = cursor.Next();
    if (!bof || bof->id != kBof || bof->data.size() < 4) return ReadError::Corrupt;
    const std::uint16_t version = Le16(bof->data.data());
    if (version == kBiff5) return ReadError::OldFormat;
    if (version != kBiff8 || Le16(bof->data.data() + 2) != kGlobals) return ReadError::Corrupt;
    std::map<unsigned, DateStyle> formats; // the workbook's own number formats
    while (auto r = cursor.Next()) {
        const Span d = r->data;
        switch (r->id) {
        case kFilePass:
            return ReadError::Encrypted;
        case kBoundSheet:
            // Chart, macro and module sheets are not listed.
            if (d.size() >= 6 && d[5] == kWorksheetType) {
                if (g.worksheets.size() >= kMaxSheets) return ReadError::TooLarge;
                g.worksheets.push_back({SheetName(d), Le32(d.data())});
            }
            break;
        case kSst:
            g.sst = {d};
            cursor.TakeContinues(g.sst);
            break;
        case kDateMode:
            g.date1904 = d.size() >= 2 && Le16(d.data()) == 1;
            break;
        case kFormat:
            if (d.size() >= 5) {
                std::vector<Span> parts{d.subspan(2)};
                cursor.TakeContinues(parts);
                Segments s(std::move(parts));
                std::string code;
                if (ReadShortString(s, code)) formats[Le16(d.data())] = FormatCodeDateStyle(code);
            }
            break;
        case kXf:
            if (d.size() >= 4) {
                const unsigned id = Le16(d.data() + 2);
                const auto it = formats.find(id);
                g.xfStyles.push_back(it != formats.end() ? it->second : BuiltInDateStyle(id));
            }
            break;
        case kEof:
            return g.worksheets.empty() ? ReadError::NoWorksheet : ReadError::None;
        default:
            break;
        }
    }
    return ReadError::Corrupt;
}

bool IsCellRecord(std::uint16_t id)
{
    switch (id) {
    case kFormula:
    case kNumber:
    case kRk:
    case kMulRk:
    case kLabel:
    case kLabelSst:
    case kRString:
    case kBoolErr:
    case kBlank:
    case kMulBlank:
        return true;
    default:
        return false;
    }
}

struct Position {
    std::size_t row, column;
};

// A number cell's value, or its text when its format shows a date or time.
Cell NumberCell(const Globals& g, Span d, double value)
{
    const std::size_t xf = d.size() >= 6 ? Le16(d.data() + 4) : 0;
    const DateStyle style = xf < g.xfStyles.size() ? g.xfStyles[xf] : DateStyle::None;
    if (auto date = SerialDateText(value, g.date1904, style)) return Cell::MakeText(std::move(*date));
    return Cell::MakeNumber(value);
}

ReadError ReadSheet(Span stream, const Globals& globals, std::size_t offset, SheetBuilder& sheet)
{
    RecordCursor cursor(stream, offset);
    auto bof = cursor.Next();
    if (!bof || bof->id != kBof || bof->data.size() < 4 || Le16(bof->data.data() + 2) != kWorksheet)
        return ReadError::Corrupt;
    int depth = 1;                     // embedded chart substreams nest inside
    std::optional<Position> stringFor; // a formula whose text comes in the next STRING record
    while (auto r = cursor.Next()) {
        const Span d = r->data;
        if (r->id == kBof) {
            ++depth;
            continue;
        }
        if (r->id == kEof) {
            if (--depth == 0) return ReadError::None;
            continue;
        }
        if (depth > 1 || r->id == kContinue) continue;
        // A formula's text result comes right after it; any other cell in
        // between means the STRING record is missing.
        if (IsCellRecord(r->id)) stringFor.reset();
        const std::size_t row = d.size() >= 2 ? Le16(d.data()) : 0;
        const std::size_t col = d.size() >= 4 ? Le16(d.data() + 2) : 0;
        switch (r->id) {
        // Excel never stores an infinite or NaN number; one is a broken file,
        // as it is in an .xlsx.
        case kNumber:
            if (d.size() < 14 || !std::isfinite(LeDouble(d.data() + 6))) return ReadError::Corrupt;
            if (!sheet.Set(row, col, NumberCell(globals, d, LeDouble(d.data() + 6)))) return sheet.Error();
            break;
        case kRk:
            if (d.size() < 10 || !std::isfinite(RkValue(Le32(d.data() + 6)))) return ReadError::Corrupt;
            if (!sheet.Set(row, col, NumberCell(globals, d, RkValue(Le32(d.data() + 6))))) return sheet.Error();
            break;
        case kMulRk: {
            if (d.size() < 6) return ReadError::Corrupt;
            const std::size_t count = (d.size() - 6) / 6;
            for (std::size_t i = 0; i < count; ++i) {
                const double value = RkValue(Le32(d.data() + 4 + 6 * i + 2));
                if (!std::isfinite(value)) return ReadError::Corrupt;
                if (!sheet.Set(row, col + i, NumberCell(globals, d.subspan(6 * i), value))) return sheet.Error();
            }
            break;
        }
        case kLabelSst:
            if (d.size() < 10) return ReadError::Corrupt;
            if (!sheet.SetShared(row, col, Le32(d.data() + 6))) return sheet.Error();
            break;
        case kLabel:
        case kRString: {
            if (d.size() < 9) return ReadError::Corrupt;
            std::vector<Span> parts{d.subspan(6)};
            cursor.TakeContinues(parts);
            Segments s(std::move(parts));
            std::string text;
            if (!ReadShortString(s, text)) return ReadError::Corrupt;
            if (!sheet.Set(row, col, Cell::MakeText(std::move(text)))) return sheet.Error();
            break;
        }
        case kBoolErr:
            if (d.size() < 8) return ReadError::Corrupt;
            if (!sheet.Set(row, col, d[7] ? Cell::MakeError(ErrorText(d[6])) : Cell::MakeBool(d[6] != 0)))
                return sheet.Error();
            break;
        case kFormula: {
            if (d.size() < 14) return ReadError::Corrupt;
            const std::uint8_t* v = d.data() + 6;
            if (v[6] != 0xFF || v[7] != 0xFF) {
                if (!std::isfinite(LeDouble(v))) return ReadError::Corrupt;
                if (!sheet.Set(row, col, NumberCell(globals, d, LeDouble(v)))) return sheet.Error();
            } else if (v[0] == 0) {
                if (!sheet.Set(row, col, Cell::MakeText({}))) return sheet.Error();
                stringFor = Position{row, col};
            } else if (v[0] == 1) {
                if (!sheet.Set(row, col, Cell::MakeBool(v[2] != 0))) return sheet.Error();
            } else if (v[0] == 2) {
                if (!sheet.Set(row, col, Cell::MakeError(ErrorText(v[2])))) return sheet.Error();
            } else {
                if (!sheet.Set(row, col, Cell::MakeText({}))) return sheet.Error();
            }
            break;
        }
        case kString: {
            std::vector<Span> parts{d};
            cursor.TakeContinues(parts);
            if (!stringFor) break;
            Segments s(std::move(parts));
            std::string text;
            if (!ReadShortString(s, text)) return ReadError::Corrupt;
            if (!sheet.Set(stringFor->row, stringFor->column, Cell::MakeText(std::move(text)))) return sheet.Error();
            stringFor.reset();
            break;
        }
        case kDimension:
            // Untrusted, so only a capacity hint, and no more rows than the
            // stream could describe at ten bytes a cell.
            if (d.size() >= 8)
                sheet.Reserve(std::min<std::size_t>({Le32(d.data() + 4), kMaxXlsRows, stream.size() / 10}));
            break;
        case kBlank:
        case kMulBlank:
            if (d.size() < 6) return ReadError::Corrupt;
            if (!sheet.Touch(row)) return sheet.Error();
            break;
        default:
            break;
        }
    }
    return ReadError::Corrupt;
}

// Looks up the needed shared strings in one pass over the table.
bool ReadSharedStrings(std::vector<Span> parts, const std::vector<std::uint32_t>& needed,
                       std::vector<std::string>& texts)
{
    texts.assign(needed.size(), {});
    if (needed.empty()) return true;
    if (parts.empty()) return false;
    Segments s(std::move(parts));
    std::uint32_t total = 0, unique = 0;
    if (!s.U32(total) || !s.U32(unique)) return false;
    std::size_t k = 0;
    for (std::uint32_t i = 0; k < needed.size(); ++i) {
        const bool keep = needed[k] == i;
        if (!ReadSstString(s, keep ? &texts[k] : nullptr)) return false;
        if (keep) ++k;
        if (i == 0xFFFFFFFF) return false;
    }
    return true;
}

// A workbook stream held whole, its globals read once; any worksheet is
// then read from its own offset.
class XlsSource final : public SheetSource {
public:
    ReadError Open(Bytes file);
    ReadError OpenStream(Bytes stream);
    ReadResult Read(std::size_t index, const ReadLimits& limits) const override;

private:
    Bytes file_, stream_;
    Span view_; // the workbook stream: into file_ or stream_
    Globals globals_;
};

ReadError XlsSource::OpenStream(Bytes stream)
{
    stream_ = std::move(stream);
    view_ = stream_;
    if (const ReadError e = ReadGlobals(view_, globals_); e != ReadError::None) return e;
    for (const BoundSheet& sheet : globals_.worksheets) names_.push_back(sheet.name);
    return ReadError::None;
}

ReadError XlsSource::Open(Bytes file)
{
    if (file.size() < 8 || std::memcmp(file.data(), kCfbSignature, 8) != 0) {
        // A bare BIFF stream: Excel 2 to 4 saved workbooks this way.
        if (file.size() < 8 || !IsBofHeader(file.data())) return ReadError::NotWorkbook;
        if (Le16(file.data()) != kBof || Le16(file.data() + 4) != kBiff8) return ReadError::OldFormat;
        return OpenStream(std::move(file));
    }
    file_ = std::move(file);
    CompoundFileReader cfb;
    if (cfb.Open(file_) != CompoundFileReader::Status::Ok) return ReadError::Corrupt;
    // A password-protected .xlsx is a compound file holding the encrypted package.
    if (cfb.FindStream(u"EncryptedPackage") || cfb.FindStream(u"EncryptionInfo")) return ReadError::Encrypted;
    const auto entry = cfb.FindStream(u"Workbook");
    // Excel 5/95 named its stream "Book".
    if (!entry) return cfb.FindStream(u"Book") ? ReadError::OldFormat : ReadError::NotWorkbook;
    if (cfb.ReadStream(*entry, stream_, view_) != CompoundFileReader::Status::Ok) return ReadError::Corrupt;
    if (const ReadError e = ReadGlobals(view_, globals_); e != ReadError::None) return e;
    for (const BoundSheet& sheet : globals_.worksheets) names_.push_back(sheet.name);
    return ReadError::None;
}

ReadResult XlsSource::Read(std::size_t index, const ReadLimits& limits) const
{
    if (index >= globals_.worksheets.size()) return Failure(ReadError::NoWorksheet);
    const std::size_t offset = globals_.worksheets[index].offset;
    if (offset >= view_.size()) return Failure(ReadError::Corrupt);
    SheetBuilder sheet(limits);
    if (const ReadError e = ReadSheet(view_, globals_, offset, sheet); e != ReadError::None) return Failure(e);
    const auto needed = sheet.NeededShared();
    std::vector<std::string> texts;
    if (!ReadSharedStrings(globals_.sst, needed, texts)) return Failure(ReadError::Corrupt);
    if (!sheet.ResolveShared(needed, texts)) return Failure(sheet.Error());
    return sheet.Take();
}

template <typename OpenWith>
Opened OpenWithSource(OpenWith openWith)
{
    auto source = std::make_unique<XlsSource>();
    Opened opened;
    opened.error = openWith(*source);
    if (opened.error == ReadError::None) opened.source = std::move(source);
    return opened;
}

} // namespace

Opened OpenXls(const std::filesystem::path& path)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return {ReadError::CannotOpen, nullptr};
    if (size > kMaxXlsImportBytes) return {ReadError::TooLarge, nullptr};
    delimited::StdioFile f = delimited::OpenFileForReading(path);
    if (!f) return {ReadError::CannotOpen, nullptr};
    Bytes file(static_cast<std::size_t>(size));
    // A file that changed size under us is read as far as it went.
    file.resize(std::fread(file.data(), 1, file.size(), f.get()));
    if (std::ferror(f.get())) return {ReadError::CannotOpen, nullptr};
    return OpenWithSource([&](XlsSource& source) { return source.Open(std::move(file)); });
}

} // namespace korvanta::excel::detail
