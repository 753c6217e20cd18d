#include "delimited/textfile.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string_view>

namespace korvanta::delimited {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool IsValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else
            return false;
        if (s.size() - i <= extra) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

// The bytes in `encoding` as UTF-8 through iconv; nothing when they are not
// valid in it.
std::optional<std::string> ToUtf8(std::string_view bytes, const char* encoding)
{
    struct Closer {
        iconv_t cd;
        ~Closer() { iconv_close(cd); }
    };
    const iconv_t cd = iconv_open("UTF-8", encoding);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    const Closer closer{cd};
    std::string out(bytes.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::size_t written = 0;
    while (inLeft > 0) {
        char* to = out.data() + written;
        std::size_t outLeft = out.size() - written;
        const std::size_t done = iconv(cd, &in, &inLeft, &to, &outLeft);
        written = out.size() - outLeft;
        if (done != static_cast<std::size_t>(-1)) break;
        if (errno != E2BIG) return std::nullopt;
        out.resize(out.size() * 2);
    }
    out.resize(written);
    return out;
}

} // namespace

std::optional<std::string> DecodeText(std::string bytes)
{
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && ((byteAt(0) == 0xFF && byteAt(1) == 0xFE) || (byteAt(0) == 0xFE && byteAt(1) == 0xFF))) {
        const bool bigEndian = byteAt(0) == 0xFE;
        // The mark is left out, and an odd last byte (a cut file) with it.
        std::string_view units(bytes);
        units.remove_prefix(2);
        units.remove_suffix(units.size() % 2);
        return ToUtf8(units, bigEndian ? "UTF-16BE" : "UTF-16LE");
    }
    if (IsValidUtf8(bytes)) return bytes;
    return ToUtf8(bytes, "GB18030");
}

TextFile ReadDelimitedFile(const std::filesystem::path& path, std::size_t maxBytes)
{
    TextFile file;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        file.error = TextFileError::CannotOpen;
        return file;
    }
    if (size > maxBytes) {
        file.error = TextFileError::TooLarge;
        return file;
    }
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        file.error = TextFileError::CannotOpen;
        return file;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f.get()));
    if (std::ferror(f.get())) {
        file.error = TextFileError::CannotOpen;
        return file;
    }
    f.reset();

    const std::optional<std::string> text = DecodeText(std::move(bytes));
    if (!text) {
        file.error = TextFileError::NotText;
        return file;
    }
    file.table = ParseDelimitedText(*text);
    return file;
}

} // namespace korvanta::delimited
