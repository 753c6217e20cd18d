// A new file written beside its target under a temporary name and renamed
// onto the target only once complete, so a failed export leaves an existing
// file as it was. The temporary file is removed unless committed.
#pragma once

#include "excel/workbook.h"

#include <cstdint>
#include <filesystem>
#include <span>

namespace korvanta::excel::detail {

WriteResult WriteFailure(WriteError error, std::string detail = {});

class TempFile {
public:
    TempFile() = default;
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates an empty file in the target's folder, with the permissions a
    // new file gets there (the process's umask applies).
    WriteResult create(const std::filesystem::path& target);
    const std::filesystem::path& path() const { return path_; }

    // Writes the whole content through the descriptor create() opened.
    WriteResult write(std::span<const std::uint8_t> bytes);
    // Closes the descriptor without writing, for a library that writes the
    // file by name.
    void release();

    // Flushes the finished file to disk and renames it onto the target.
    WriteResult commit();

private:
    std::filesystem::path path_;
    std::filesystem::path target_;
    int fd_ = -1;
    bool committed_ = false;
};

}  // namespace korvanta::excel::detail
