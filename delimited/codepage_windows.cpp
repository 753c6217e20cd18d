#include "delimited/codepage.h"

#include <climits>
#include <cstring>
#include <optional>
#include <windows.h>

namespace korvanta::delimited {
namespace {

// GB18030: every Unicode character, in one, two or four bytes. A system
// without it (wine 8 has none) reads the text as GBK, code page 936: the
// one- and two-byte characters, which are GB18030's as well.
UINT Gb18030CodePage()
{
    static const UINT codePage = IsValidCodePage(54936) ? 54936 : 936;
    return codePage;
}

// UTF-16 as UTF-8; an unpaired surrogate is refused, as iconv does.
std::optional<std::string> WideToUtf8(const std::wstring& wide)
{
    if (wide.empty()) return std::string();
    if (wide.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    const int units = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::nullopt;
    std::string out(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), units, out.data(), size, nullptr, nullptr) !=
        size)
        return std::nullopt;
    return out;
}

std::optional<std::wstring> CodePageToWide(std::string_view bytes, UINT codePage)
{
    if (bytes.empty()) return std::wstring();
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    const int length = static_cast<int>(bytes.size());
    // MB_ERR_INVALID_CHARS: a byte that is no character fails the whole
    // text instead of becoming a replacement character.
    const int size = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (size <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(), size) != size)
        return std::nullopt;
    return wide;
}

// The whole text in `encoding` as UTF-8, or nothing when any of it fails.
std::optional<std::string> ConvertAll(std::string_view bytes, const char* encoding)
{
    const bool littleEndian = std::strcmp(encoding, "UTF-16LE") == 0;
    if (littleEndian || std::strcmp(encoding, "UTF-16BE") == 0) {
        if (bytes.size() % 2 != 0) return std::nullopt;
        std::wstring wide(bytes.size() / 2, L'\0');
        for (std::size_t i = 0; i < wide.size(); ++i) {
            const auto first = static_cast<unsigned char>(bytes[2 * i]);
            const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
            wide[i] = static_cast<wchar_t>(littleEndian ? first | second << 8 : first << 8 | second);
        }
        return WideToUtf8(wide);
    }
    const std::optional<std::wstring> wide = CodePageToWide(bytes, Gb18030CodePage());
    if (!wide) return std::nullopt;
    return WideToUtf8(*wide);
}

// Whether the first `n` bytes convert once a character cut by their end
// (at most three bytes of it) is left out.
bool PrefixConverts(std::string_view bytes, std::size_t n, const char* encoding)
{
    for (std::size_t cut = 0; cut <= 3 && cut <= n; ++cut)
        if (ConvertAll(bytes.substr(0, n - cut), encoding)) return true;
    return false;
}

// Whether `tail`, cut off the end of a text, can begin a GB18030 character
// that the end cut short: a lead byte, then the second byte of a four-byte
// character and its third. GBK's converter takes bytes GB18030 never leads
// with (0xFF) without complaint; this keeps them from passing for a cut.
bool BeginsGb18030Character(std::string_view tail)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(tail[k]); };
    if (tail.empty() || byte(0) < 0x81 || byte(0) > 0xFE) return false;
    if (tail.size() >= 2 && (byte(1) < 0x30 || byte(1) > 0x39)) return false;
    if (tail.size() >= 3 && (byte(2) < 0x81 || byte(2) > 0xFE)) return false;
    return tail.size() <= 3;
}

} // namespace

// The system converts a text whole or not at all: where it fails is found
// by halving, so that the text before a bad character can be told.
Converted EncodingToUtf8(std::string_view bytes, const char* encoding)
{
    Converted converted;
    const bool utf16 = std::strcmp(encoding, "UTF-16LE") == 0 || std::strcmp(encoding, "UTF-16BE") == 0;
    if (!utf16 && std::strcmp(encoding, "GB18030") != 0) {
        converted.end = ConversionEnd::NoConverter;
        return converted;
    }
    if (std::optional<std::string> whole = ConvertAll(bytes, encoding)) {
        converted.text = std::move(*whole);
        return converted;
    }
    for (std::size_t cut = 1; cut <= (utf16 ? 1u : 3u) && cut <= bytes.size(); ++cut) {
        if (!utf16 && !BeginsGb18030Character(bytes.substr(bytes.size() - cut))) continue;
        if (std::optional<std::string> most = ConvertAll(bytes.substr(0, bytes.size() - cut), encoding)) {
            converted.text = std::move(*most);
            converted.end = ConversionEnd::CutCharacter;
            return converted;
        }
    }
    std::size_t good = 0;
    std::size_t bad = bytes.size();
    while (bad - good > 1) {
        const std::size_t middle = good + (bad - good) / 2;
        (PrefixConverts(bytes, middle, encoding) ? good : bad) = middle;
    }
    for (std::size_t cut = 0; cut <= 3 && cut <= good; ++cut)
        if (std::optional<std::string> before = ConvertAll(bytes.substr(0, good - cut), encoding)) {
            converted.text = std::move(*before);
            break;
        }
    converted.end = ConversionEnd::BadCharacter;
    return converted;
}

} // namespace korvanta::delimited
