// Text in another encoding turned into UTF-8 by the system's own converter.
#pragma once

#include <string>
#include <string_view>

namespace korvanta::delimited {

// How a conversion ended: a bad byte is refused, never replaced.
enum class ConversionEnd {
    Whole,        // every byte converted
    CutCharacter, // the bytes end inside a character (a cut file)
    BadCharacter, // a sequence that is no character in the encoding
    NoConverter,  // the system has no converter for the encoding
};

struct Converted {
    std::string text; // all of it, or what came before the fault
    ConversionEnd end = ConversionEnd::Whole;
};

// The bytes in `encoding` ("UTF-16LE", "UTF-16BE" or "GB18030") as UTF-8.
Converted EncodingToUtf8(std::string_view bytes, const char* encoding);

} // namespace korvanta::delimited
