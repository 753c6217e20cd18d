// Picks the reader by the file's first bytes; a zip is told apart by its
// mimetype entry, which an OpenDocument package stores first and
// uncompressed.
#include "excel/sheets.h"

#include "excel/bytes.h"
#include "excel/cfb_reader.h"
#include "excel/sheet_choice.h"
#include "excel/zip_parts.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace korvanta::excel {

namespace detail {

SheetList ListFailure(ReadError error) {
    SheetList list;
    list.error = error;
    list.message = std::string(ReadErrorMessage(error));
    return list;
}

}  // namespace detail

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

constexpr std::size_t kSniffBytes = 8192;

bool IsBiffBof(const std::uint8_t* p) {
    const std::uint16_t id = detail::Le16(p);
    const std::uint16_t length = detail::Le16(p + 2);
    return (id == 0x0009 || id == 0x0209 || id == 0x0409 || id == 0x0809) && length >= 4 && length <= 20;
}

FileFormat ZipFormat(const std::filesystem::path& path) {
    detail::ZipParts zip;
    if (zip.open(path) != detail::ZipParts::Status::Ok) return FileFormat::Xlsx;
    std::string mimetype;
    if (zip.read("mimetype", 256, mimetype) == detail::ZipParts::Status::Ok)
        return mimetype.starts_with("application/vnd.oasis.opendocument.spreadsheet") ? FileFormat::Ods : FileFormat::Xlsx;
    // A package without the entry: OpenDocument by its content part.
    if (zip.has("content.xml") && !zip.has("[Content_Types].xml")) return FileFormat::Ods;
    return FileFormat::Xlsx;
}

bool HasTextName(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == ".csv" || extension == ".txt";
}

FileFormat TextOrUnknown(const std::uint8_t* head, std::size_t n) {
    if (n >= 2 && ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF))) return FileFormat::Text;
    if (std::memchr(head, 0, n) != nullptr) return FileFormat::Unknown;
    std::size_t i = n >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF ? 3 : 0;
    while (i < n && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n')) ++i;
    // A web page or XML saved under a spreadsheet's name is not data.
    if (i == n || head[i] == '<') return FileFormat::Unknown;
    return FileFormat::Text;
}

}  // namespace

FileFormat DetectFormat(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return FileFormat::Unknown;
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f) return FileFormat::Unknown;
    std::uint8_t head[kSniffBytes] = {};
    const std::size_t n = std::fread(head, 1, sizeof head, f.get());
    f.reset();
    if (n >= 8 && std::memcmp(head, detail::kCfbSignature, 8) == 0) return FileFormat::Xls;
    if (n >= 4 && head[0] == 'P' && head[1] == 'K' && ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6)))
        return ZipFormat(path);
    if (n >= 8 && IsBiffBof(head)) return FileFormat::Xls;
    return HasTextName(path) ? TextOrUnknown(head, n) : FileFormat::Unknown;
}

SheetList ListSheets(const std::filesystem::path& path) {
    switch (DetectFormat(path)) {
    case FileFormat::Xls: return detail::ListXlsSheets(path);
    case FileFormat::Xlsx: return detail::ListXlsxSheets(path);
    case FileFormat::Ods: return detail::ListOdsSheets(path);
    case FileFormat::Text: {
        SheetList list;
        list.names.push_back(path.stem().string());
        return list;
    }
    case FileFormat::Unknown: break;
    }
    // The first-sheet reader knows a missing file from one of another kind.
    return detail::ListFailure(ReadFirstSheet(path).error);
}

ReadResult ReadSheet(const std::filesystem::path& path, std::size_t index) {
    switch (DetectFormat(path)) {
    case FileFormat::Xls: return index == 0 ? ReadFirstSheet(path) : detail::ReadXlsSheet(path, index);
    case FileFormat::Xlsx: return index == 0 ? ReadFirstSheet(path) : detail::ReadXlsxSheet(path, index);
    case FileFormat::Ods: return detail::ReadOdsSheet(path, index);
    case FileFormat::Text: return index == 0 ? detail::ReadTextSheet(path) : detail::Failure(ReadError::NoWorksheet);
    case FileFormat::Unknown: break;
    }
    return ReadFirstSheet(path);
}

}  // namespace korvanta::excel
