// Data files of the statistics packages (SPSS .sav/.zsav/.por, Stata .dta,
// SAS .sas7bdat/.xpt), read and written through ReadStat. A file is one
// sheet: its variables are the columns, every case a row.
//
// ReadStat parses a file with no limits of its own, so a program reads one
// in a child process with its own memory and time limits; a hostile file
// then ends that process and is refused, and the window lives on.
#pragma once

#include "excel/bytes.h"
#include "excel/export.h"
#include "excel/readers.h"
#include "excel/sheets.h"

#include <cstdint>
#include <span>

namespace korvanta::excel::detail {

// Parses the bytes of a file of `format` here, in this process, within the
// limits (rows and cells as a worksheet; value labels count as text).
ReadResult ParseStatistics(FileFormat format, std::span<const std::uint8_t> bytes, const ReadLimits& limits);

// The same in a child process: at most kStatisticsParseMemory more memory
// and kStatisticsParseSeconds of time; a child that fails in any way makes
// the file Corrupt (TooLarge when it ran out of memory or time).
ReadResult ParseStatisticsIsolated(FileFormat format, std::span<const std::uint8_t> bytes, const ReadLimits& limits);

inline constexpr std::size_t kStatisticsParseMemory = std::size_t{192} << 20;
inline constexpr int kStatisticsParseSeconds = 5;

// The result as bytes and back, as the child hands it over; Decode answers
// false for bytes it did not make (or cut short).
Bytes EncodeReadResult(const ReadResult& result);
bool DecodeReadResult(std::span<const std::uint8_t> bytes, ReadResult& result);

Opened OpenStatistics(const std::filesystem::path& path, FileFormat format);

// Builds a .sav (format Sav) or .dta (version 118) file of the variables.
WriteResult EncodeStatistics(FileFormat format, const Dataset& dataset, Bytes& out);

} // namespace korvanta::excel::detail
