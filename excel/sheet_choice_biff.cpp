// Worksheets of a .xls workbook: their names from the BOUNDSHEET records of
// the globals substream, and any one of them read by the BIFF reader.
#include "excel/bytes.h"
#include "excel/cfb_reader.h"
#include "excel/sheet_choice.h"
#include "excel/text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace korvanta::excel::detail {
namespace {

constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kFilePass = 0x002F;
constexpr std::uint16_t kBoundSheet = 0x0085;
constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint8_t kWorksheetType = 0x00;
// A macro sheet: the BIFF reader passes over it.
constexpr std::uint8_t kMacroSheetType = 0x01;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// The workbook stream, copied so that it can be marked.
ReadError LoadStream(const std::filesystem::path& path, Bytes& stream) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return ReadError::CannotOpen;
    if (size > kMaxXlsFileBytes) return ReadError::TooLarge;
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f) return ReadError::CannotOpen;
    Bytes file(static_cast<std::size_t>(size));
    file.resize(std::fread(file.data(), 1, file.size(), f.get()));
    if (std::ferror(f.get())) return ReadError::CannotOpen;
    if (file.size() < 8 || std::memcmp(file.data(), kCfbSignature, 8) != 0) {
        // A bare BIFF stream.
        stream = std::move(file);
        return ReadError::None;
    }
    CompoundFileReader cfb;
    if (cfb.open(file) != CompoundFileReader::Status::Ok) return ReadError::Corrupt;
    if (cfb.findStream(u"EncryptedPackage") || cfb.findStream(u"EncryptionInfo")) return ReadError::Encrypted;
    const auto entry = cfb.findStream(u"Workbook");
    if (!entry) return cfb.findStream(u"Book") ? ReadError::OldFormat : ReadError::NotWorkbook;
    Bytes storage;
    std::span<const std::uint8_t> view;
    if (cfb.readStream(*entry, storage, view) != CompoundFileReader::Status::Ok) return ReadError::Corrupt;
    stream.assign(view.begin(), view.end());
    return ReadError::None;
}

struct BoundSheet {
    std::size_t offset;  // of the record's body in the stream
    std::string name;
};

// A sheet name: a one-byte count, a flag byte, then Latin-1 or UTF-16LE.
std::string SheetName(std::span<const std::uint8_t> body) {
    if (body.size() < 8) return {};
    const std::size_t count = body[6];
    const bool wide = (body[7] & 0x01) != 0;
    const std::size_t available = (body.size() - 8) / (wide ? 2 : 1);
    std::u16string units;
    for (std::size_t i = 0; i < std::min(count, available); ++i)
        units.push_back(wide ? static_cast<char16_t>(Le16(&body[8 + 2 * i])) : static_cast<char16_t>(body[8 + i]));
    return Utf16ToUtf8(units, kMaxCellChars);
}

// The worksheets of the globals substream, in order.
ReadError Worksheets(std::span<const std::uint8_t> stream, std::vector<BoundSheet>& sheets) {
    std::size_t pos = 0;
    bool first = true;
    while (pos + 4 <= stream.size()) {
        const std::uint16_t id = Le16(&stream[pos]);
        const std::size_t length = Le16(&stream[pos + 2]);
        if (stream.size() - pos - 4 < length) return ReadError::Corrupt;
        const auto body = stream.subspan(pos + 4, length);
        if (first) {
            if (id != kBof || length < 4) return ReadError::Corrupt;
            if (Le16(body.data()) != kBiff8) return ReadError::OldFormat;
            first = false;
        } else if (id == kFilePass) {
            return ReadError::Encrypted;
        } else if (id == kBoundSheet && length >= 6 && body[5] == kWorksheetType) {
            sheets.push_back({pos + 4, SheetName(body)});
        } else if (id == kEof) {
            return sheets.empty() ? ReadError::NoWorksheet : ReadError::None;
        }
        pos += 4 + length;
    }
    return ReadError::Corrupt;
}

}  // namespace

SheetList ListXlsSheets(const std::filesystem::path& path) {
    Bytes stream;
    if (const ReadError e = LoadStream(path, stream); e != ReadError::None) return ListFailure(e);
    std::vector<BoundSheet> sheets;
    if (const ReadError e = Worksheets(stream, sheets); e != ReadError::None) return ListFailure(e);
    SheetList list;
    for (auto& sheet : sheets) list.names.push_back(std::move(sheet.name));
    return list;
}

ReadResult ReadXlsSheet(const std::filesystem::path& path, std::size_t index) {
    Bytes stream;
    if (const ReadError e = LoadStream(path, stream); e != ReadError::None) return Failure(e);
    std::vector<BoundSheet> sheets;
    if (const ReadError e = Worksheets(stream, sheets); e != ReadError::None) return Failure(e);
    if (index >= sheets.size()) return Failure(ReadError::NoWorksheet);
    for (std::size_t k = 0; k < index; ++k) stream[sheets[k].offset + 5] = kMacroSheetType;
    return ReadBiffStream(stream);
}

}  // namespace korvanta::excel::detail
