#include "excel/atomic_file.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <random>
#include <windows.h>

namespace korvanta::excel::detail {

namespace {

std::string ErrorText(const char* what, DWORD error)
{
    return std::string(what) + ": Windows error " + std::to_string(error);
}

// ERROR_DISK_QUOTA_EXCEEDED, missing from older headers.
constexpr DWORD kDiskQuotaExceeded = 1295;

// The failure for a Windows error code: a full disk, a missing folder, a
// name too long and a read-only place each have their own reason.
WriteResult WindowsFailure(WriteError fallback, const char* what, DWORD error)
{
    WriteError kind = fallback;
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case kDiskQuotaExceeded:
        kind = WriteError::DiskFull;
        break;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
        kind = WriteError::NameTooLong;
        break;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
        kind = WriteError::FolderMissing;
        break;
    case ERROR_WRITE_PROTECT:
        kind = WriteError::ReadOnly;
        break;
    default:
        break;
    }
    return WriteFailure(kind, ErrorText(what, error));
}

std::filesystem::path FolderOf(const std::filesystem::path& file)
{
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle()
    {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    bool Open() const { return h != INVALID_HANDLE_VALUE; }
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The path the system reaches through every link on the way.
std::filesystem::path FinalPath(HANDLE file, const std::filesystem::path& fallback)
{
    std::wstring name(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return fallback;
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name);
        }
        name.resize(length + 1);
    }
    return fallback;
}

// Writes all of bytes through the handle from where it stands.
DWORD WriteAll(HANDLE file, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return GetLastError();
        if (written == 0) return ERROR_WRITE_FAULT;
        bytes = bytes.subspan(written);
    }
    return ERROR_SUCCESS;
}

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

} // namespace

WriteResult ResolveTarget(const std::filesystem::path& chosen, ExportTarget& target)
{
    if (chosen.empty() || !chosen.has_filename() || chosen.filename() == "." || chosen.filename() == "..")
        return WriteFailure(WriteError::IsFolder, "no file name");
    // The system drops a space or a dot at the end of a name: the file
    // would be written under another name than the one chosen.
    const std::wstring& name = chosen.filename().native();
    if (name.back() == L' ' || name.back() == L'.')
        return WriteFailure(WriteError::CannotCreate, "a name ending in a space or a dot");
    target = {};
    target.path = chosen;
    {
        // Opened without access to the data, links followed, folders too.
        const Handle file(CreateFileW(chosen.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!file.Open()) {
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_NOT_FOUND) return WindowsFailure(WriteError::CannotCreate, "open", error);
        } else {
            BY_HANDLE_FILE_INFORMATION info{};
            if (!GetFileInformationByHandle(file.h, &info))
                return WindowsFailure(WriteError::CannotReplace, "file information", GetLastError());
            target.exists = true;
            target.info.mode = info.dwFileAttributes;
            target.info.links = info.nNumberOfLinks;
            target.info.device = info.dwVolumeSerialNumber;
            target.info.inode = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
            target.path = FinalPath(file.h, chosen);
        }
    }
    const DWORD folder = GetFileAttributesW(FolderOf(target.path).c_str());
    if (folder == INVALID_FILE_ATTRIBUTES) return WindowsFailure(WriteError::FolderMissing, "folder", GetLastError());
    if ((folder & FILE_ATTRIBUTE_DIRECTORY) == 0) return WriteFailure(WriteError::FolderMissing, "not a folder");
    if (!target.exists) return {};
    if (target.info.mode & FILE_ATTRIBUTE_DIRECTORY) return WriteFailure(WriteError::IsFolder, "a folder");
    if (target.info.mode & FILE_ATTRIBUTE_READONLY) return WriteFailure(WriteError::ReadOnly, "read-only attribute");
    // Write access by the access list, and a file another program holds
    // open without sharing (a workbook open in Excel), are found before
    // any work is done; nothing is written here.
    const Handle writable(
        CreateFileW(target.path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!writable.Open()) {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED)
            return WriteFailure(WriteError::ReadOnly, ErrorText("open for writing", error));
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
            return WriteFailure(WriteError::CannotReplace, "the file is open in another program");
        return WindowsFailure(WriteError::ReadOnly, "open for writing", error);
    }
    return {};
}

TempFile::~TempFile()
{
    Release();
    if (!path_.empty() && !committed_) DeleteFileW(path_.c_str());
}

void TempFile::Release()
{
    // Closing the descriptor closes the handle under it.
    if (fd_ >= 0) _close(fd_);
    fd_ = -1;
}

WriteResult TempFile::Open(const std::filesystem::path& folder, const std::string& extension, std::uint32_t)
{
    // The new file takes the folder's inherited access list; ReplaceFileW
    // gives it the target's own when it replaces one.
    std::random_device random;
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, ".~korvanta-%08x", static_cast<unsigned>(random()));
        std::filesystem::path candidate = folder / (name + extension);
        // Shared so the written file can be read back by name for checking.
        HANDLE file = CreateFileW(candidate.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR | _O_BINARY);
            if (fd_ < 0) {
                CloseHandle(file);
                DeleteFileW(candidate.c_str());
                return WriteFailure(WriteError::CannotCreate, "no descriptor for the temporary file");
            }
            path_ = std::move(candidate);
            return {};
        }
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    return WindowsFailure(WriteError::CannotCreate, "create temporary file", error);
}

WriteResult TempFile::Create(const ExportTarget& target, const std::string& extension)
{
    target_ = target;
    if (auto r = Open(FolderOf(target.path), extension, 0); !r.Ok()) return r;
    // A replace gives the name to a new file, so a further hard link would
    // keep the old content: such a file is written over in place.
    inPlace_ = target.exists && target.info.links > 1;
    return {};
}

WriteResult TempFile::CreateScratch(const std::filesystem::path& folder) { return Open(folder, {}, 0); }

WriteResult TempFile::Write(std::span<const std::uint8_t> bytes)
{
    if (fd_ < 0) return WriteFailure(WriteError::WriteFailed, "no open file");
    const HANDLE file = HandleOf(fd_);
    if (const DWORD error = WriteAll(file, bytes); error != ERROR_SUCCESS)
        return WindowsFailure(WriteError::WriteFailed, "write", error);
    // Data reaches the disk before the name does.
    if (!FlushFileBuffers(file)) return WindowsFailure(WriteError::WriteFailed, "flush", GetLastError());
    return {};
}

WriteResult TempFile::Commit(std::span<const std::uint8_t> bytes)
{
    if (fd_ >= 0) {
        const int closed = _close(fd_);
        fd_ = -1;
        if (closed != 0) return WriteFailure(WriteError::WriteFailed, "close");
    }
    if (inPlace_) {
        // The checked copy is no longer needed, and on a nearly full disk
        // the target needs the space it takes.
        if (DeleteFileW(path_.c_str())) path_.clear();
        return WriteInPlace(bytes);
    }
    if (!target_.exists) {
        if (!MoveFileExW(path_.c_str(), target_.path.c_str(), MOVEFILE_WRITE_THROUGH))
            return WindowsFailure(WriteError::CannotReplace, "move", GetLastError());
        committed_ = true;
        return {};
    }
    // The target keeps its attributes, access list, owner and creation
    // time. Should the replace stop half-way, the old file waits under the
    // backup name and is put back.
    std::filesystem::path backup = path_;
    backup += L".old";
    if (!ReplaceFileW(target_.path.c_str(), path_.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                      nullptr)) {
        const DWORD error = GetLastError();
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
            !MoveFileExW(backup.c_str(), target_.path.c_str(), MOVEFILE_WRITE_THROUGH))
            return WriteFailure(WriteError::PartlyWritten,
                                ErrorText("replace; the old file is kept under the name of", error) + " " +
                                    backup.filename().string());
        return WindowsFailure(WriteError::CannotReplace, "replace", error);
    }
    committed_ = true;
    DeleteFileW(backup.c_str());
    // ReplaceFileW keeps them; set again where a file system does not.
    SetFileAttributesW(target_.path.c_str(), target_.info.mode);
    return {};
}

WriteResult TempFile::WriteInPlace(std::span<const std::uint8_t> bytes)
{
    const Handle file(CreateFileW(target_.path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_WRITE_THROUGH, nullptr));
    if (!file.Open()) return WindowsFailure(WriteError::CannotReplace, "open target", GetLastError());
    BY_HANDLE_FILE_INFORMATION now{};
    if (!GetFileInformationByHandle(file.h, &now) || now.dwVolumeSerialNumber != target_.info.device ||
        ((std::uint64_t{now.nFileIndexHigh} << 32) | now.nFileIndexLow) != target_.info.inode)
        return WriteFailure(WriteError::CannotReplace, "the target changed during the export");
    // The space is reserved before the first byte is overwritten: a full
    // disk is then found while the old content is still whole. Only a
    // growing file needs more; an allocation below the old size would cut
    // the old content off.
    LARGE_INTEGER oldSize{};
    if (!GetFileSizeEx(file.h, &oldSize)) return WindowsFailure(WriteError::WriteFailed, "size", GetLastError());
    const LONGLONG old = oldSize.QuadPart;
    const auto size = static_cast<LONGLONG>(bytes.size());
    bool reserved = size <= old;
    if (!reserved) {
        FILE_ALLOCATION_INFO allocation{};
        allocation.AllocationSize.QuadPart = size;
        reserved = SetFileInformationByHandle(file.h, FileAllocationInfo, &allocation, sizeof allocation);
        const DWORD error = reserved ? ERROR_SUCCESS : GetLastError();
        if (!reserved && error != ERROR_CALL_NOT_IMPLEMENTED && error != ERROR_NOT_SUPPORTED &&
            error != ERROR_INVALID_FUNCTION && error != ERROR_INVALID_PARAMETER)
            return WindowsFailure(WriteError::WriteFailed, "reserve", error);
    }
    const auto seek = [&](LONGLONG to) {
        LARGE_INTEGER at{};
        at.QuadPart = to;
        return SetFilePointerEx(file.h, at, nullptr, FILE_BEGIN) != 0;
    };
    LONGLONG head = size; // [0, head) is still to be written
    if (!reserved) {
        // Where nothing can be reserved, the blocks a file has are written
        // over without needing new ones: the part past the old end is
        // written first and flushed, and if the disk is full there the
        // file is cut back to its old length, its old content whole. A
        // sparse or compressed file could need new space anywhere.
        if (now.dwFileAttributes & (FILE_ATTRIBUTE_SPARSE_FILE | FILE_ATTRIBUTE_COMPRESSED))
            return WriteFailure(WriteError::WriteFailed, "a sparse or compressed file where no space can be reserved");
        DWORD error = seek(old) ? WriteAll(file.h, bytes.subspan(static_cast<std::size_t>(old))) : GetLastError();
        if (error == ERROR_SUCCESS && !FlushFileBuffers(file.h)) error = GetLastError();
        if (error != ERROR_SUCCESS) {
            if (!seek(old) || !SetEndOfFile(file.h) || !FlushFileBuffers(file.h))
                return WriteFailure(WriteError::PartlyWritten, ErrorText("cut back", GetLastError()));
            return WindowsFailure(WriteError::WriteFailed, "write past the old end", error);
        }
        head = old;
    }
    if (!seek(0)) return WriteFailure(WriteError::PartlyWritten, ErrorText("seek", GetLastError()));
    if (const DWORD error = WriteAll(file.h, bytes.first(static_cast<std::size_t>(head))); error != ERROR_SUCCESS)
        return WriteFailure(WriteError::PartlyWritten, ErrorText("write", error));
    if (!seek(size) || !SetEndOfFile(file.h))
        return WriteFailure(WriteError::PartlyWritten, ErrorText("cut", GetLastError()));
    if (!FlushFileBuffers(file.h)) return WriteFailure(WriteError::PartlyWritten, ErrorText("flush", GetLastError()));
    return {};
}

} // namespace korvanta::excel::detail
