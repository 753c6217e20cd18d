// BIFF8 writer: one workbook stream with the globals Excel expects (fonts,
// cell formats, the sheet list, the shared-string table and its index) and
// one worksheet of NUMBER and LABELSST cells, wrapped in a compound file.
#include "excel/atomic_file.h"
#include "excel/cfb_writer.h"
#include "excel/export_check.h"
#include "excel/plain_number.h"
#include "excel/text.h"

#include <algorithm>
#include <unordered_map>

namespace korvanta::excel {

namespace {

using detail::Bytes;
using detail::Put16;
using detail::Put32;
using detail::Put8;

constexpr std::size_t kMaxRecordData = 8224;
constexpr unsigned kCellXf = 15; // the first cell format after the 15 style formats

// Starts a record and returns where its length goes; EndRecord fills it in.
std::size_t BeginRecord(Bytes& out, unsigned id)
{
    Put16(out, id);
    Put16(out, 0);
    return out.size() - 2;
}
void EndRecord(Bytes& out, std::size_t lengthAt)
{
    detail::Set16(out, lengthAt, static_cast<unsigned>(out.size() - lengthAt - 2));
}
void Record16(Bytes& out, unsigned id, unsigned value)
{
    const auto at = BeginRecord(out, id);
    Put16(out, value);
    EndRecord(out, at);
}
void RecordEmpty(Bytes& out, unsigned id) { EndRecord(out, BeginRecord(out, id)); }

bool FitsOneByte(std::u16string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x100; });
}
void PutChars(Bytes& out, std::u16string_view s, bool compressed)
{
    for (char16_t c : s) compressed ? Put8(out, c) : Put16(out, c);
}

void PutBof(Bytes& out, unsigned type)
{
    const auto at = BeginRecord(out, 0x0809);
    Put16(out, 0x0600); // BIFF8
    Put16(out, type);
    Put16(out, 0x0DBB); // build
    Put16(out, 0x07CC); // year
    Put32(out, 0);      // file history
    Put32(out, 0x06);   // lowest BIFF version that saved the file
    EndRecord(out, at);
}

void PutFont(Bytes& out)
{
    const std::u16string name = u"宋体";
    const auto at = BeginRecord(out, 0x0031);
    Put16(out, 240);    // 12 points, in twentieths
    Put16(out, 0);      // no italic, strikeout, outline
    Put16(out, 0x7FFF); // automatic colour
    Put16(out, 400);    // normal weight
    Put16(out, 0);      // no super- or subscript
    Put8(out, 0);       // no underline
    Put8(out, 0);       // family
    Put8(out, 0x86);    // GB2312 character set
    Put8(out, 0);
    Put8(out, static_cast<unsigned>(name.size()));
    Put8(out, 1); // UTF-16
    PutChars(out, name, false);
    EndRecord(out, at);
}

void PutXf(Bytes& out, bool style)
{
    const auto at = BeginRecord(out, 0x00E0);
    Put16(out, 0);                       // font 0
    Put16(out, 0);                       // number format General
    Put16(out, style ? 0xFFF5 : 0x0001); // locked; a style has no parent
    Put8(out, 0x20);                     // bottom-aligned
    Put8(out, 0);
    Put8(out, 0);
    Put8(out, style ? 0xF4 : 0xF8); // which attributes this format sets
    Put32(out, 0);                  // no borders
    Put32(out, 0);
    Put16(out, 0x20C0); // default pattern colours
    EndRecord(out, at);
}

struct SharedStrings {
    std::vector<std::u16string> texts;
    std::unordered_map<std::string, std::uint32_t> index;
    std::uint32_t references = 0;
    std::size_t bytes = 0; // of the distinct texts, as stored

    std::uint32_t Add(const std::string& text)
    {
        ++references;
        const auto [it, added] = index.emplace(text, static_cast<std::uint32_t>(texts.size()));
        if (added) {
            texts.emplace_back();
            detail::Utf8ToUtf16(text, texts.back());
            bytes += 3 + 2 * texts.back().size();
        }
        return it->second;
    }
};

// SST and CONTINUE records, then EXTSST with the position of every
// bucket's first string. A string's characters that do not fit a record go
// on in a CONTINUE record that starts with their width byte; a surrogate
// pair is never split.
void PutSharedStrings(Bytes& out, const SharedStrings& sst)
{
    const std::size_t count = sst.texts.size();
    const std::size_t perBucket = std::max<std::size_t>(8, (count + 127) / 128);
    std::vector<std::pair<std::uint32_t, unsigned>> buckets;

    std::size_t recordStart = out.size();
    std::size_t lengthAt = BeginRecord(out, 0x00FC);
    Put32(out, sst.references);
    Put32(out, static_cast<std::uint32_t>(count));
    const auto room = [&] { return kMaxRecordData - (out.size() - recordStart - 4); };
    const auto nextRecord = [&] {
        EndRecord(out, lengthAt);
        recordStart = out.size();
        lengthAt = BeginRecord(out, 0x003C);
    };
    for (std::size_t i = 0; i < count; ++i) {
        const std::u16string& s = sst.texts[i];
        const bool compressed = FitsOneByte(s);
        const std::size_t unit = compressed ? 1 : 2;
        if (room() < 3 + (s.empty() ? 0 : unit)) nextRecord();
        if (i % perBucket == 0)
            buckets.emplace_back(static_cast<std::uint32_t>(out.size()),
                                 static_cast<unsigned>(out.size() - recordStart));
        Put16(out, static_cast<unsigned>(s.size()));
        Put8(out, compressed ? 0 : 1);
        bool breakHere = false; // readers decode each record's characters on their own
        for (std::size_t pos = 0; pos < s.size();) {
            if (room() < unit || breakHere) {
                nextRecord();
                Put8(out, compressed ? 0 : 1);
                breakHere = false;
            }
            std::size_t n = std::min(s.size() - pos, room() / unit);
            if (pos + n < s.size() && s[pos + n - 1] >= 0xD800 && s[pos + n - 1] <= 0xDBFF) {
                --n;
                breakHere = true;
            }
            PutChars(out, std::u16string_view(s).substr(pos, n), compressed);
            pos += n;
        }
    }
    EndRecord(out, lengthAt);

    const auto at = BeginRecord(out, 0x00FF);
    Put16(out, static_cast<unsigned>(perBucket));
    for (const auto& [position, offset] : buckets) {
        Put32(out, position);
        Put16(out, offset);
        Put16(out, 0);
    }
    EndRecord(out, at);
}

// Everything before the worksheet; returns where BOUNDSHEET's offset goes.
std::size_t PutGlobals(Bytes& out, const SharedStrings& sst)
{
    PutBof(out, 0x0005);
    Record16(out, 0x00E1, 1200); // INTERFACEHDR: UTF-16
    Record16(out, 0x00C1, 0);    // MMS
    RecordEmpty(out, 0x00E2);    // INTERFACEEND
    {
        const std::u16string user = u"Korvanta";
        const auto at = BeginRecord(out, 0x005C); // WRITEACCESS, padded with spaces to 112 bytes
        Put16(out, static_cast<unsigned>(user.size()));
        Put8(out, 0);
        PutChars(out, user, true);
        while (out.size() - at - 2 < 112) Put8(out, ' ');
        EndRecord(out, at);
    }
    Record16(out, 0x0042, 1200); // CODEPAGE
    Record16(out, 0x0161, 0);    // DSF
    Record16(out, 0x013D, 1);    // TABID: one sheet
    Record16(out, 0x009C, 14);   // FNGROUPCOUNT
    Record16(out, 0x0019, 0);    // WINDOWPROTECT
    Record16(out, 0x0012, 0);    // PROTECT
    Record16(out, 0x0013, 0);    // PASSWORD
    Record16(out, 0x01AF, 0);    // PROT4REV
    Record16(out, 0x01BC, 0);    // PASSWORDREV4
    {
        const auto at = BeginRecord(out, 0x003D); // WINDOW1
        for (unsigned v : {480u, 90u, 16335u, 10830u, 0x38u, 0u, 0u, 1u, 600u}) Put16(out, v);
        EndRecord(out, at);
    }
    Record16(out, 0x0040, 0); // BACKUP
    Record16(out, 0x008D, 0); // HIDEOBJ
    Record16(out, 0x0022, 0); // DATEMODE: 1900
    Record16(out, 0x000E, 1); // PRECISION: as displayed off
    Record16(out, 0x01B7, 0); // REFRESHALL
    Record16(out, 0x00DA, 0); // BOOKBOOL
    // Font index 4 does not exist in BIFF, so five records give 0 to 3 and 5.
    for (int i = 0; i < 5; ++i) PutFont(out);
    for (int i = 0; i < 15; ++i) PutXf(out, true);
    PutXf(out, false);
    {
        const auto at = BeginRecord(out, 0x0293); // STYLE: built-in Normal on format 0
        Put16(out, 0x8000);
        Put8(out, 0);
        Put8(out, 0xFF);
        EndRecord(out, at);
    }
    Record16(out, 0x0160, 1); // USESELFS
    const std::u16string sheetName = u"Sheet1";
    const auto at = BeginRecord(out, 0x0085); // BOUNDSHEET
    const std::size_t offsetAt = out.size();
    Put32(out, 0);
    Put8(out, 0); // visible
    Put8(out, 0); // worksheet
    Put8(out, static_cast<unsigned>(sheetName.size()));
    Put8(out, 0);
    PutChars(out, sheetName, true);
    EndRecord(out, at);
    PutSharedStrings(out, sst);
    RecordEmpty(out, 0x000A);
    return offsetAt;
}

struct ExportCell {
    std::uint16_t row, column;
    bool number;
    double value;
    std::uint32_t text;
};

void PutSheet(Bytes& out, const std::vector<ExportCell>& cells)
{
    PutBof(out, 0x0010);
    Record16(out, 0x000D, 1);   // CALCMODE: automatic
    Record16(out, 0x000C, 100); // CALCCOUNT
    Record16(out, 0x000F, 1);   // REFMODE: A1
    Record16(out, 0x0011, 0);   // ITERATION
    {
        const auto at = BeginRecord(out, 0x0010); // DELTA
        detail::PutDouble(out, 0.001);
        EndRecord(out, at);
    }
    Record16(out, 0x005F, 1); // SAVERECALC
    Record16(out, 0x002A, 0); // PRINTHEADERS
    Record16(out, 0x002B, 0); // PRINTGRIDLINES
    Record16(out, 0x0082, 1); // GRIDSET
    {
        const auto at = BeginRecord(out, 0x0080); // GUTS
        for (int i = 0; i < 4; ++i) Put16(out, 0);
        EndRecord(out, at);
    }
    {
        const auto at = BeginRecord(out, 0x0225); // DEFAULTROWHEIGHT
        Put16(out, 0);
        Put16(out, 0x00FF);
        EndRecord(out, at);
    }
    Record16(out, 0x0081, 0x04C1); // WSBOOL
    Record16(out, 0x0083, 0);      // HCENTER
    Record16(out, 0x0084, 0);      // VCENTER
    Record16(out, 0x0055, 8);      // DEFCOLWIDTH
    {
        const auto at = BeginRecord(out, 0x0200); // DIMENSIONS
        if (cells.empty()) {
            Put32(out, 0), Put32(out, 0), Put16(out, 0), Put16(out, 0);
        } else {
            unsigned first = 0xFFFF, last = 0;
            for (const auto& c : cells)
                first = std::min<unsigned>(first, c.column), last = std::max<unsigned>(last, c.column);
            Put32(out, cells.front().row);
            Put32(out, cells.back().row + 1u);
            Put16(out, first);
            Put16(out, last + 1);
        }
        Put16(out, 0);
        EndRecord(out, at);
    }
    for (const auto& c : cells) {
        const auto at = BeginRecord(out, c.number ? 0x0203 : 0x00FD); // NUMBER or LABELSST
        Put16(out, c.row);
        Put16(out, c.column);
        Put16(out, kCellXf);
        if (c.number)
            detail::PutDouble(out, c.value);
        else
            Put32(out, c.text);
        EndRecord(out, at);
    }
    {
        const auto at = BeginRecord(out, 0x023E); // WINDOW2
        Put16(out, 0x06B6);                       // gridlines, headings, zeros, outline symbols; selected and shown
        Put16(out, 0);                            // top row
        Put16(out, 0);                            // left column
        Put32(out, 64);                           // automatic gridline colour
        Put16(out, 0);
        Put16(out, 0);
        Put32(out, 0);
        EndRecord(out, at);
    }
    RecordEmpty(out, 0x000A);
}

} // namespace

WriteResult detail::EncodeXls(const Columns& columns, Bytes& out)
{
    SharedStrings sst;
    std::vector<ExportCell> cells;
    std::size_t rows = 0;
    for (const auto& column : columns) rows = std::max(rows, column.size());
    cells.reserve(columns.size() * rows);
    for (std::size_t r = 0; r < rows; ++r) {
        for (std::uint16_t c = 0; c < columns.size(); ++c) {
            const auto& column = columns[c];
            if (r >= column.size() || column[r].empty()) continue;
            ExportCell cell{static_cast<std::uint16_t>(r), c, false, 0.0, 0};
            cell.number = IsKeptAsNumber(column[r], &cell.value);
            if (!cell.number) cell.text = sst.Add(column[r]);
            cells.push_back(cell);
        }
    }

    // Checked before the stream is built: a few hundred thousand long texts
    // could otherwise need gigabytes for a file no reader would open.
    if (sst.bytes + 20 * cells.size() > kMaxXlsFileBytes)
        return detail::WriteFailure(WriteError::TooLarge, std::to_string(sst.bytes) + " bytes of text");
    Bytes stream;
    const std::size_t sheetOffsetAt = PutGlobals(stream, sst);
    detail::Set32(stream, sheetOffsetAt, static_cast<std::uint32_t>(stream.size()));
    PutSheet(stream, cells);
    out = detail::BuildCompoundFile(u"Workbook", std::move(stream));
    return {};
}

} // namespace korvanta::excel
