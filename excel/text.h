// Text conversions shared by the readers and writers: UTF-16 from BIFF8 to
// UTF-8, UTF-8 to UTF-16 for BIFF8, the _xHHHH_ escapes of Office Open XML,
// and the cut at the longest cell text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvanta::excel::detail {

// Appends one code point as UTF-8; a surrogate or a value past U+10FFFF
// becomes U+FFFD.
void AppendUtf8(std::string& out, char32_t cp);

// UTF-16 to UTF-8, at most maxChars code points; unpaired surrogates become
// U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units, std::size_t maxChars);

// UTF-8 to UTF-16; false for invalid UTF-8 (overlong forms, surrogates,
// truncated sequences, values past U+10FFFF).
bool Utf8ToUtf16(std::string_view text, std::u16string& out);

// Cuts valid UTF-8 after maxChars code points.
void TruncateChars(std::string& text, std::size_t maxChars);

// Replaces each _xHHHH_ (a UTF-16 unit in hexadecimal, how OOXML stores
// control characters and a literal "_x") by the character it stands for.
std::string DecodeOoxmlEscapes(std::string_view text);

} // namespace korvanta::excel::detail
