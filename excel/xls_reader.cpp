// BIFF8 (.xls, Excel 97 to 2003): the globals substream gives the first
// worksheet's offset and the shared-string table; the worksheet's cell
// records give the values. Every record length is checked before a field is
// read, and every loop advances through a bounded buffer.
#include "excel/cfb_reader.h"
#include "excel/readers.h"
#include "excel/sheet_builder.h"
#include "excel/text.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace korvanta::excel::detail {

namespace {

enum RecordId : std::uint16_t {
    kFormula = 0x0006,
    kEof = 0x000A,
    kFilePass = 0x002F,
    kContinue = 0x003C,
    kBoundSheet = 0x0085,
    kMulRk = 0x00BD,
    kMulBlank = 0x00BE,
    kRString = 0x00D6,
    kSst = 0x00FC,
    kLabelSst = 0x00FD,
    kDimension = 0x0200,
    kBlank = 0x0201,
    kNumber = 0x0203,
    kLabel = 0x0204,
    kBoolErr = 0x0205,
    kString = 0x0207,
    kRk = 0x027E,
    kBof = 0x0809,
};

constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kBiff5 = 0x0500;
constexpr std::uint16_t kGlobals = 0x0005;
constexpr std::uint16_t kWorksheet = 0x0010;

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

    std::optional<Record> next() {
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
    void takeContinues(std::vector<Span>& parts) {
        while (stream_.size() - pos_ >= 4 && Le16(stream_.data() + pos_) == kContinue) {
            auto r = next();
            if (!r) return;
            parts.push_back(r->data);
        }
    }

    bool broken() const { return broken_; }

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

    bool u8(std::uint8_t& v) { return bytes(&v, 1); }
    bool u16(std::uint16_t& v) {
        std::uint8_t b[2];
        if (!bytes(b, 2)) return false;
        v = Le16(b);
        return true;
    }
    bool u32(std::uint32_t& v) {
        std::uint8_t b[4];
        if (!bytes(b, 4)) return false;
        v = Le32(b);
        return true;
    }
    bool skip(std::size_t n) {
        while (n > 0) {
            if (!ensure()) return false;
            const std::size_t take = std::min(n, parts_[seg_].size() - pos_);
            pos_ += take;
            n -= take;
        }
        return true;
    }

    // cch characters; out may be null to skip them.
    bool chars(std::size_t cch, bool wide, std::u16string* out) {
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
                for (std::size_t i = 0; i < n; ++i) out->push_back(wide ? static_cast<char16_t>(Le16(p + 2 * i)) : p[i]);
            }
            pos_ += n * unit;
            cch -= n;
        }
        return true;
    }

private:
    bool ensure() {
        while (pos_ == parts_[seg_].size()) {
            if (seg_ + 1 >= parts_.size()) return false;
            ++seg_;
            pos_ = 0;
        }
        return true;
    }
    bool bytes(std::uint8_t* dst, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            if (!ensure()) return false;
            dst[i] = parts_[seg_][pos_++];
        }
        return true;
    }

    std::vector<Span> parts_;
    std::size_t seg_ = 0;
    std::size_t pos_ = 0;
};

// An XLUnicodeString (LABEL, STRING): count, option byte, characters.
bool ReadShortString(Segments& s, std::string& out) {
    std::uint16_t cch = 0;
    std::uint8_t flags = 0;
    if (!s.u16(cch) || !s.u8(flags)) return false;
    std::u16string units;
    if (!s.chars(cch, flags & 0x01, &units)) return false;
    out = Utf16ToUtf8(units, kMaxCellChars);
    return true;
}

// An XLUnicodeRichExtendedString of the shared-string table; out may be
// null to pass over it.
bool ReadSstString(Segments& s, std::string* out) {
    std::uint16_t cch = 0, runs = 0;
    std::uint8_t flags = 0;
    std::uint32_t extBytes = 0;
    if (!s.u16(cch) || !s.u8(flags)) return false;
    if ((flags & 0x08) && !s.u16(runs)) return false;
    if ((flags & 0x04) && !s.u32(extBytes)) return false;
    std::u16string units;
    if (!s.chars(cch, flags & 0x01, out ? &units : nullptr)) return false;
    if (!s.skip(4 * std::size_t{runs}) || !s.skip(extBytes)) return false;
    if (out) *out = Utf16ToUtf8(units, kMaxCellChars);
    return true;
}

std::string ErrorText(std::uint8_t code) {
    switch (code) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    case 0x2A: return "#N/A";
    case 0x2B: return "#GETTING_DATA";
    default: return "#ERROR!";
    }
}

double RkValue(std::uint32_t rk) {
    double v = 0;
    if (rk & 0x02) {
        v = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        v = std::bit_cast<double>(static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32);
    }
    return (rk & 0x01) ? v / 100.0 : v;
}

struct Globals {
    std::optional<std::uint32_t> firstSheet;
    std::vector<Span> sst;
};

ReadError ReadGlobals(Span stream, Globals& g) {
    RecordCursor cursor(stream, 0);
    auto bof = cursor.next();
    if (!bof || bof->id != kBof || bof->data.size() < 4) return ReadError::Corrupt;
    const std::uint16_t version = Le16(bof->data.data());
    if (version == kBiff5) return ReadError::OldFormat;
    if (version != kBiff8 || Le16(bof->data.data() + 2) != kGlobals) return ReadError::Corrupt;
    while (auto r = cursor.next()) {
        switch (r->id) {
        case kFilePass:
            return ReadError::Encrypted;
        case kBoundSheet:
            // Type 0 is a worksheet; chart, macro and module sheets are skipped.
            if (r->data.size() >= 6 && r->data[5] == 0 && !g.firstSheet) g.firstSheet = Le32(r->data.data());
            break;
        case kSst:
            g.sst = {r->data};
            cursor.takeContinues(g.sst);
            break;
        case kEof:
            return g.firstSheet ? ReadError::None : ReadError::NoWorksheet;
        default:
            break;
        }
    }
    return ReadError::Corrupt;
}

bool IsCellRecord(std::uint16_t id) {
    switch (id) {
    case kFormula: case kNumber: case kRk: case kMulRk: case kLabel: case kLabelSst:
    case kRString: case kBoolErr: case kBlank: case kMulBlank:
        return true;
    default:
        return false;
    }
}

struct Position {
    std::size_t row, column;
};

ReadError ReadSheet(Span stream, std::size_t offset, SheetBuilder& sheet) {
    RecordCursor cursor(stream, offset);
    auto bof = cursor.next();
    if (!bof || bof->id != kBof || bof->data.size() < 4 || Le16(bof->data.data() + 2) != kWorksheet)
        return ReadError::Corrupt;
    int depth = 1;                        // embedded chart substreams nest inside
    std::optional<Position> stringFor;    // a formula whose text comes in the next STRING record
    while (auto r = cursor.next()) {
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
            sheet.set(row, col, Cell::MakeNumber(LeDouble(d.data() + 6)));
            break;
        case kRk:
            if (d.size() < 10 || !std::isfinite(RkValue(Le32(d.data() + 6)))) return ReadError::Corrupt;
            sheet.set(row, col, Cell::MakeNumber(RkValue(Le32(d.data() + 6))));
            break;
        case kMulRk: {
            if (d.size() < 6) return ReadError::Corrupt;
            const std::size_t count = (d.size() - 6) / 6;
            for (std::size_t i = 0; i < count; ++i) {
                const double value = RkValue(Le32(d.data() + 4 + 6 * i + 2));
                if (!std::isfinite(value)) return ReadError::Corrupt;
                sheet.set(row, col + i, Cell::MakeNumber(value));
            }
            break;
        }
        case kLabelSst:
            if (d.size() < 10) return ReadError::Corrupt;
            sheet.setShared(row, col, Le32(d.data() + 6));
            break;
        case kLabel:
        case kRString: {
            if (d.size() < 9) return ReadError::Corrupt;
            std::vector<Span> parts{d.subspan(6)};
            cursor.takeContinues(parts);
            Segments s(std::move(parts));
            std::string text;
            if (!ReadShortString(s, text)) return ReadError::Corrupt;
            sheet.set(row, col, Cell::MakeText(std::move(text)));
            break;
        }
        case kBoolErr:
            if (d.size() < 8) return ReadError::Corrupt;
            sheet.set(row, col, d[7] ? Cell::MakeError(ErrorText(d[6])) : Cell::MakeBool(d[6] != 0));
            break;
        case kFormula: {
            if (d.size() < 14) return ReadError::Corrupt;
            const std::uint8_t* v = d.data() + 6;
            if (v[6] != 0xFF || v[7] != 0xFF) {
                if (!std::isfinite(LeDouble(v))) return ReadError::Corrupt;
                sheet.set(row, col, Cell::MakeNumber(LeDouble(v)));
            } else if (v[0] == 0) {
                sheet.set(row, col, Cell::MakeText({}));
                stringFor = Position{row, col};
            } else if (v[0] == 1) {
                sheet.set(row, col, Cell::MakeBool(v[2] != 0));
            } else if (v[0] == 2) {
                sheet.set(row, col, Cell::MakeError(ErrorText(v[2])));
            } else {
                sheet.set(row, col, Cell::MakeText({}));
            }
            break;
        }
        case kString: {
            std::vector<Span> parts{d};
            cursor.takeContinues(parts);
            if (!stringFor) break;
            Segments s(std::move(parts));
            std::string text;
            if (!ReadShortString(s, text)) return ReadError::Corrupt;
            sheet.set(stringFor->row, stringFor->column, Cell::MakeText(std::move(text)));
            stringFor.reset();
            break;
        }
        case kDimension:
            // Untrusted, so only a capacity hint, and no more rows than the
            // stream could describe at ten bytes a cell.
            if (d.size() >= 8) sheet.reserve(std::min<std::size_t>({Le32(d.data() + 4), kMaxXlsRows, stream.size() / 10}));
            break;
        case kBlank:
        case kMulBlank:
            if (d.size() < 6) return ReadError::Corrupt;
            sheet.touch(row);
            break;
        default:
            break;
        }
    }
    return ReadError::Corrupt;
}

// Looks up the needed shared strings in one pass over the table.
bool ReadSharedStrings(std::vector<Span> parts, const std::vector<std::uint32_t>& needed,
                       std::vector<std::string>& texts) {
    texts.assign(needed.size(), {});
    if (needed.empty()) return true;
    if (parts.empty()) return false;
    Segments s(std::move(parts));
    std::uint32_t total = 0, unique = 0;
    if (!s.u32(total) || !s.u32(unique)) return false;
    std::size_t k = 0;
    for (std::uint32_t i = 0; k < needed.size(); ++i) {
        const bool keep = needed[k] == i;
        if (!ReadSstString(s, keep ? &texts[k] : nullptr)) return false;
        if (keep) ++k;
        if (i == 0xFFFFFFFF) return false;
    }
    return true;
}

}  // namespace

ReadResult ReadBiffStream(std::span<const std::uint8_t> stream) {
    Globals globals;
    if (const ReadError e = ReadGlobals(stream, globals); e != ReadError::None) return Failure(e);
    if (*globals.firstSheet >= stream.size()) return Failure(ReadError::Corrupt);
    SheetBuilder sheet;
    if (const ReadError e = ReadSheet(stream, *globals.firstSheet, sheet); e != ReadError::None) return Failure(e);
    const auto needed = sheet.neededShared();
    std::vector<std::string> texts;
    if (!ReadSharedStrings(std::move(globals.sst), needed, texts)) return Failure(ReadError::Corrupt);
    sheet.resolveShared(needed, texts);
    ReadResult result;
    result.rows = sheet.take();
    return result;
}

ReadResult ReadCompoundWorkbook(std::span<const std::uint8_t> file) {
    CompoundFileReader cfb;
    if (cfb.open(file) != CompoundFileReader::Status::Ok) return Failure(ReadError::Corrupt);
    // A password-protected .xlsx is a compound file holding the encrypted package.
    if (cfb.findStream(u"EncryptedPackage") || cfb.findStream(u"EncryptionInfo")) return Failure(ReadError::Encrypted);
    if (const auto entry = cfb.findStream(u"Workbook")) {
        Bytes storage;
        std::span<const std::uint8_t> stream;
        if (cfb.readStream(*entry, storage, stream) != CompoundFileReader::Status::Ok) return Failure(ReadError::Corrupt);
        return ReadBiffStream(stream);
    }
    // Excel 5/95 named its stream "Book".
    if (cfb.findStream(u"Book")) return Failure(ReadError::OldFormat);
    return Failure(ReadError::NotWorkbook);
}

}  // namespace korvanta::excel::detail
