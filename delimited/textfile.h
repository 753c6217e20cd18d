// A .csv or .txt file read as delimited text. Excel on a Chinese system saves
// "CSV" in GB18030 (GBK) and "Unicode text" in UTF-16 with a byte order mark;
// both are read, as is UTF-8 with or without its mark.
#pragma once

#include "delimited/delimitedtext.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace korvanta::delimited {

enum class TextFileError { None, CannotOpen, TooLarge, NotText };

struct TextFile {
    TextFileError error = TextFileError::None;
    DelimitedText table;
};

// The bytes of a text file as UTF-8: UTF-16 by its mark, else UTF-8 when
// valid, else GB18030; nothing when they are none of these.
std::optional<std::string> DecodeText(std::string bytes);

// Reads, decodes and splits a file of at most maxBytes.
TextFile ReadDelimitedFile(const std::filesystem::path& path, std::size_t maxBytes);

} // namespace korvanta::delimited
