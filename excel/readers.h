// The format readers behind ReadFirstSheet, which picks one by the file's
// first bytes.
#pragma once

#include "excel/workbook.h"

#include <cstdint>
#include <filesystem>
#include <span>

namespace korvanta::excel::detail {

ReadResult Failure(ReadError error);

// A compound file: a .xls workbook, an Excel 5/95 one, or an encrypted .xlsx.
ReadResult ReadCompoundWorkbook(std::span<const std::uint8_t> file);

// The BIFF records of a workbook stream; also a bare BIFF2-4 file.
ReadResult ReadBiffStream(std::span<const std::uint8_t> stream);

// An Office Open XML workbook (a zip package).
ReadResult ReadXlsxFile(const std::filesystem::path& path);

}  // namespace korvanta::excel::detail
