// The import pipeline inside excel/: a file's format is found once
// (DetectFormat), its opener reads the sheet list (each sheet's name and
// where it lies in the file), and the same source then reads any sheet by
// its index. Nothing is written anywhere on the way.
#pragma once

#include "excel/sheets.h"
#include "excel/workbook.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace korvanta::excel::detail {

ReadResult Failure(ReadError error);
SheetList ListFailure(ReadError error);

// One opened file: its worksheets' names, in the file's order (chart and
// macro sheets left out), and a reader of each.
class SheetSource {
public:
    virtual ~SheetSource() = default;
    const std::vector<std::string>& Names() const { return names_; }
    // Worksheet `index`, counted from 0 among the listed ones.
    virtual ReadResult Read(std::size_t index, const ReadLimits& limits) const = 0;

protected:
    std::vector<std::string> names_;
};

struct Opened {
    ReadError error = ReadError::None;
    std::unique_ptr<SheetSource> source;
};

// A compound file (.xls, or an encrypted .xlsx) or a bare BIFF8 stream.
Opened OpenXls(const std::filesystem::path& path);
// A source of type S opened at path; S::Open answers with the ReadError.
template <typename S>
Opened OpenSource(const std::filesystem::path& path)
{
    auto source = std::make_unique<S>();
    Opened opened;
    opened.error = source->Open(path);
    if (opened.error == ReadError::None) opened.source = std::move(source);
    return opened;
}

Opened OpenXlsx(const std::filesystem::path& path);
Opened OpenOds(const std::filesystem::path& path);
Opened OpenText(const std::filesystem::path& path);

} // namespace korvanta::excel::detail
