// A .csv or .txt file read as delimited text. Excel on a Chinese system saves
// "CSV" in GB18030 (GBK) and "Unicode text" in UTF-16 with a byte order mark;
// both are read, as is UTF-8 with or without its mark. A file that is none of
// these, or holds a NUL character anywhere, is refused with its own reason.
#pragma once

#include "delimited/delimitedtext.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace korvanta::delimited {

enum class TextFileError {
    None,
    CannotOpen,
    TooLarge,
    NotText, // table.fault says why: the encoding, a NUL, a limit, nothing in it
};

struct TextFile {
    TextFileError error = TextFileError::None;
    DelimitedText table;
};

// The bytes of a text file as UTF-8: UTF-16 by its mark, else UTF-8 when
// valid, else GB18030; nothing when they are none of these or hold a NUL
// character, and *fault (when given) then says which and on what line.
std::optional<std::string> DecodeText(std::string bytes, TextFault* fault = nullptr);

// Reads, decodes and splits a file of at most maxBytes within the limits;
// the heading row, if any, is kept.
TextFile ReadDelimitedFile(const std::filesystem::path& path, std::size_t maxBytes, const TextLimits& limits = {});

} // namespace korvanta::delimited
