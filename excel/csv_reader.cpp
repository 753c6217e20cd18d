// .csv and .txt files: decoded to UTF-8 and split by the paste's rules, so
// a file and the same text pasted give the same columns. Excel on a Chinese
// system saves "CSV" in GB18030 (GBK) and "Unicode text" in UTF-16 with a
// byte order mark; both are read, as is UTF-8 with or without its mark.
#include "excel/sheet_choice.h"
#include "excel/text.h"
#include "grid/pastetext.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>

namespace korvanta::excel::detail {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        char32_t cp = 0;
        if (c < 0x80) { ++i; continue; }
        if (c >= 0xC2 && c <= 0xDF) { extra = 1; cp = c & 0x1F; }
        else if (c >= 0xE0 && c <= 0xEF) { extra = 2; cp = c & 0x0F; }
        else if (c >= 0xF0 && c <= 0xF4) { extra = 3; cp = c & 0x07; }
        else return false;
        if (s.size() - i <= extra) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

std::optional<std::string> FromGb18030(std::string_view bytes) {
    struct Closer {
        iconv_t cd;
        ~Closer() { iconv_close(cd); }
    };
    const iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    const Closer closer{cd};
    std::string out(bytes.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* to = out.data();
    std::size_t outLeft = out.size();
    // GB18030 takes at most two UTF-8 bytes per byte, except four-byte
    // sequences that become at most four: the buffer is large enough.
    if (iconv(cd, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1)) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::optional<std::string> FromUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a));
    }
    return Utf16ToUtf8(units, units.size());
}

std::optional<std::string> Decode(std::string bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
        return FromUtf16(bytes, false);
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE && static_cast<unsigned char>(bytes[1]) == 0xFF)
        return FromUtf16(bytes, true);
    if (IsValidUtf8(bytes)) return bytes;
    return FromGb18030(bytes);
}

Cell FieldCell(const std::vector<std::string>& row, std::size_t column) {
    if (column >= row.size() || row[column].empty()) return {};
    std::string text = row[column];
    TruncateChars(text, kMaxCellChars);
    return Cell::MakeText(std::move(text));
}

}  // namespace

ReadResult ReadTextSheet(const std::filesystem::path& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return Failure(ReadError::CannotOpen);
    if (size > kMaxTextFileBytes) return Failure(ReadError::TooLarge);
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f) return Failure(ReadError::CannotOpen);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f.get()));
    if (std::ferror(f.get())) return Failure(ReadError::CannotOpen);
    f.reset();

    const std::optional<std::string> text = Decode(std::move(bytes));
    if (!text) return Failure(ReadError::NotWorkbook);
    const grid::DelimitedText table = grid::ParseDelimitedText(*text);
    // Prose, or a header alone, is not a data file.
    if (table.columns == 0) return Failure(ReadError::NotWorkbook);
    ReadResult result;
    result.rows.reserve(table.rows.size());
    for (const auto& row : table.rows) result.rows.push_back({FieldCell(row, 0), FieldCell(row, 1)});
    return result;
}

}  // namespace korvanta::excel::detail
