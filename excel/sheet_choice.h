// The text-file reader's entry point, called by the import pipeline
// (excel/sheets.cpp) for a .csv or .txt file.
#pragma once

#include "excel/readers.h"
#include "excel/sheets.h"

namespace korvanta::excel::detail {

ReadResult ReadTextSheet(const std::filesystem::path& path, const ReadLimits& limits);

} // namespace korvanta::excel::detail
