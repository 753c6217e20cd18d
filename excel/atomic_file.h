// How an export reaches its file. The content is written whole to a new
// file in the target's folder, created with the target's permissions and
// given its owner, checked, and then renamed onto the target, so a failed
// export leaves an existing file as it was. A symbolic link is followed and
// its target receives the data. A file with further hard links, or one
// whose owner a new file cannot be given, is written over in place after
// the new content has been checked and the space for it reserved. The
// temporary file is removed unless committed. Each system has its own
// implementation file; on Windows the new file replaces the target with
// ReplaceFileW, which keeps the target's attributes and access list.
#pragma once

#include "excel/workbook.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

namespace korvanta::excel::detail {

WriteResult WriteFailure(WriteError error, std::string detail = {});

// What is at the target now, as far as an export must keep it.
struct FileState {
    // The file type and permission bits; on Windows, the attributes.
    std::uint32_t mode = 0;
    std::uint64_t links = 0;
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
    // Together the file itself, whatever name it is reached by.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// The file an export is about to write: the chosen name with its symbolic
// links followed, and what is there now.
struct ExportTarget {
    std::filesystem::path path;
    bool exists = false;
    FileState info;
};

// Follows the links and refuses what cannot be written: a folder, a
// missing folder, a name too long, a read-only file.
WriteResult ResolveTarget(const std::filesystem::path& chosen, ExportTarget& target);

class TempFile {
public:
    TempFile() = default;
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates an empty file in the target's folder, named with the
    // format's extension (the text reader goes by it), with the permissions
    // and the owner of an existing target or those a new file gets there.
    WriteResult Create(const ExportTarget& target, const std::string& extension);
    // An empty file for scratch work in folder, readable by this user only.
    WriteResult CreateScratch(const std::filesystem::path& folder);
    const std::filesystem::path& Path() const { return path_; }

    // Writes the whole content through the descriptor Create() opened and
    // flushes it to the disk.
    WriteResult Write(std::span<const std::uint8_t> bytes);
    // Closes the descriptor without writing, for a library that writes the
    // file by name.
    void Release();

    // Puts the written content at the target: renamed onto it, or, for a
    // hard link or an owner not given, copied into it in place.
    WriteResult Commit(std::span<const std::uint8_t> bytes);
    bool WroteInPlace() const { return inPlace_; }

private:
    WriteResult Open(const std::filesystem::path& folder, const std::string& extension, std::uint32_t mode);
    WriteResult WriteInPlace(std::span<const std::uint8_t> bytes);

    std::filesystem::path path_;
    ExportTarget target_;
    bool inPlace_ = false;
    // A descriptor of the C library; on Windows it wraps the file handle.
    int fd_ = -1;
    bool committed_ = false;
};

// Writes bytes to the chosen name through a TempFile named with extension;
// verify reads the finished temporary file back and returns what differs
// (empty when nothing), before the target is touched.
WriteResult SaveVerified(const std::filesystem::path& chosen, const std::string& extension,
                         std::span<const std::uint8_t> bytes,
                         const std::function<std::string(const std::filesystem::path&)>& verify);

} // namespace korvanta::excel::detail
