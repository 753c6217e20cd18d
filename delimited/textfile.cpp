#include "delimited/textfile.h"

#include "delimited/codepage.h"
#include "delimited/file_open.h"
#include "delimited/splitter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

namespace korvanta::delimited {
namespace {

bool IsValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        // ASCII eight bytes at a time.
        std::uint64_t eight = 0;
        if (s.size() - i >= 8 && (std::memcpy(&eight, s.data() + i, 8), (eight & 0x8080808080808080u) == 0)) {
            i += 8;
            continue;
        }
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

// The bytes in `encoding` as UTF-8; nothing when they are not valid in it
// (*fault says why).
std::optional<std::string> ToUtf8(std::string_view bytes, const char* encoding, TextFault* fault)
{
    Converted converted = EncodingToUtf8(bytes, encoding);
    switch (converted.end) {
    case ConversionEnd::Whole:
        return std::move(converted.text);
    case ConversionEnd::CutCharacter:
        *fault = {TextProblem::CutCharacter, 0, 0, 0};
        break;
    case ConversionEnd::BadCharacter:
        *fault = {TextProblem::UnknownEncoding, LineAt(converted.text, converted.text.size()), 0, 0};
        break;
    case ConversionEnd::NoConverter:
        *fault = {TextProblem::UnknownEncoding, 1, 0, 0};
        break;
    }
    return std::nullopt;
}

// UTF-16 without its mark: NUL bytes, all on one side of the byte pairs, in
// at least a quarter of them (the ASCII of a UTF-16 text).
bool LooksLikeUtf16(std::string_view bytes)
{
    if (bytes.size() < 2 || bytes.size() % 2 != 0) return false;
    std::size_t even = 0;
    std::size_t odd = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\0') ++(i % 2 == 0 ? even : odd);
    const std::size_t pairs = bytes.size() / 2;
    return (even == 0 || odd == 0) && (even + odd) * 4 >= pairs;
}

// A NUL character in the text refuses it wherever it is.
bool HasNul(std::string_view text, TextFault* fault)
{
    const std::size_t nul = text.find('\0');
    if (nul == std::string_view::npos) return false;
    *fault = {TextProblem::NulCharacter, LineAt(text, nul), 0, 0};
    return true;
}

bool IsBlank(std::string_view text)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

} // namespace

std::optional<std::string> DecodeText(std::string bytes, TextFault* fault)
{
    TextFault ignored;
    if (fault == nullptr) fault = &ignored;
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && ((byteAt(0) == 0xFF && byteAt(1) == 0xFE) || (byteAt(0) == 0xFE && byteAt(1) == 0xFF))) {
        const bool bigEndian = byteAt(0) == 0xFE;
        // The mark is left out, and an odd last byte (a cut file) with it.
        std::string_view units(bytes);
        units.remove_prefix(2);
        units.remove_suffix(units.size() % 2);
        std::optional<std::string> text = ToUtf8(units, bigEndian ? "UTF-16BE" : "UTF-16LE", fault);
        if (text && HasNul(*text, fault)) return std::nullopt;
        return text;
    }
    if (bytes.find('\0') != std::string::npos) {
        if (LooksLikeUtf16(bytes))
            *fault = {TextProblem::Utf16WithoutMark, 0, 0, 0};
        else
            HasNul(bytes, fault);
        return std::nullopt;
    }
    if (IsValidUtf8(bytes)) return bytes;
    return ToUtf8(bytes, "GB18030", fault);
}

TextFile ReadDelimitedFile(const std::filesystem::path& path, std::size_t maxBytes, const TextLimits& limits)
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
    StdioFile f = OpenFileForReading(path);
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

    // The bytes are given up as they are decoded: only the text is kept.
    const std::optional<std::string> text = DecodeText(std::move(bytes), &file.table.fault);
    if (text && IsBlank(*text)) file.table.fault = {TextProblem::Blank, 0, 0, 0};
    if (!text || file.table.fault.problem != TextProblem::None) {
        file.error = TextFileError::NotText;
        return file;
    }
    file.table = ParseDelimitedText(*text, limits, Heading::Keep);
    if (file.table.fault.problem == TextProblem::None && file.table.rows.empty())
        file.table.fault = {TextProblem::Blank, 0, 0, 0};
    // Prose, or a heading alone, is no data file: refused before the grid
    // would be replaced by texts.
    const auto hasNumber = [](const std::vector<std::string>& row) {
        return std::any_of(row.begin(), row.end(), [](const std::string& field) { return IsNumberField(field); });
    };
    if (file.table.fault.problem == TextProblem::None &&
        std::none_of(file.table.rows.begin(), file.table.rows.end(), hasNumber)) {
        file.table.fault = {TextProblem::NoNumbers, 0, 0, 0};
        file.table.rows.clear();
    }
    if (file.table.fault.problem != TextProblem::None) file.error = TextFileError::NotText;
    return file;
}

} // namespace korvanta::delimited
