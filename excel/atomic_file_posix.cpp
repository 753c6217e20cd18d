#include "excel/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace korvanta::excel::detail {

namespace {

std::string ErrnoText(const char* what, int error) { return std::string(what) + ": " + std::strerror(error); }

// The longest file name the folder's file system takes, in bytes.
std::size_t NameMax(const std::filesystem::path& folder)
{
    const long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : std::size_t{255};
}

std::filesystem::path FolderOf(const std::filesystem::path& file)
{
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// Links are followed as the system does, up to its own limit.
constexpr int kMaxLinks = 40;

// The failure for a system error number: a full disk, a missing folder, a
// name too long and a read-only place each have their own reason.
WriteResult SystemFailure(WriteError fallback, const char* what, int error)
{
    WriteError kind = fallback;
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        kind = WriteError::DiskFull;
        break;
    case ENAMETOOLONG:
        kind = WriteError::NameTooLong;
        break;
    case ENOENT:
    case ENOTDIR:
        kind = WriteError::FolderMissing;
        break;
    case EROFS:
        kind = WriteError::ReadOnly;
        break;
    case EISDIR:
        kind = WriteError::IsFolder;
        break;
    default:
        break;
    }
    return WriteFailure(kind, ErrnoText(what, error));
}

FileState StateOf(const struct stat& info)
{
    FileState state;
    state.mode = info.st_mode;
    state.links = info.st_nlink;
    state.owner = info.st_uid;
    state.group = info.st_gid;
    state.device = info.st_dev;
    state.inode = info.st_ino;
    return state;
}

} // namespace

WriteResult ResolveTarget(const std::filesystem::path& chosen, ExportTarget& target)
{
    if (chosen.empty() || !chosen.has_filename() || chosen.filename() == "." || chosen.filename() == "..")
        return WriteFailure(WriteError::IsFolder, "no file name");
    if (chosen.native().size() >= PATH_MAX) return WriteFailure(WriteError::NameTooLong, "path too long");
    std::filesystem::path path = chosen;
    target = {};
    for (int links = 0;; ++links) {
        if (path.filename().native().size() > NameMax(FolderOf(path)))
            return WriteFailure(WriteError::NameTooLong, path.filename().native());
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            if (errno != ENOENT) return SystemFailure(WriteError::CannotCreate, "lstat", errno);
            break;
        }
        if (!S_ISLNK(info.st_mode)) {
            target.exists = true;
            target.info = StateOf(info);
            break;
        }
        if (links == kMaxLinks) return WriteFailure(WriteError::CannotReplace, "too many symbolic links");
        std::error_code ec;
        const std::filesystem::path link = std::filesystem::read_symlink(path, ec);
        if (ec) return SystemFailure(WriteError::CannotReplace, "readlink", ec.value());
        path = link.is_absolute() ? link : FolderOf(path) / link;
    }
    target.path = path;

    struct stat folder {};
    if (::stat(FolderOf(path).c_str(), &folder) != 0) return SystemFailure(WriteError::FolderMissing, "folder", errno);
    if (!S_ISDIR(folder.st_mode)) return WriteFailure(WriteError::FolderMissing, "not a folder");
    if (!target.exists) return {};
    if (S_ISDIR(target.info.mode)) return WriteFailure(WriteError::IsFolder, path.native());
    if (!S_ISREG(target.info.mode)) return WriteFailure(WriteError::CannotReplace, "not a regular file");
    // A file without any write permission is read-only to everyone, also
    // to the administrator, whom access() would let through.
    if ((target.info.mode & 0222) == 0) return WriteFailure(WriteError::ReadOnly, "no write permission");
    if (::access(path.c_str(), W_OK) != 0) {
        const int error = errno;
        return error == EACCES ? WriteFailure(WriteError::ReadOnly, ErrnoText("access", error))
                               : SystemFailure(WriteError::ReadOnly, "access", error);
    }
    return {};
}

TempFile::~TempFile()
{
    Release();
    if (!path_.empty() && !committed_) ::unlink(path_.c_str());
}

void TempFile::Release()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

WriteResult TempFile::Open(const std::filesystem::path& folder, const std::string& extension, std::uint32_t mode)
{
    std::random_device random;
    int error = 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        // A short name of its own: the target's name may already be as long
        // as the file system allows.
        char name[32];
        std::snprintf(name, sizeof name, ".~korvanta-%08x", static_cast<unsigned>(random()));
        std::filesystem::path candidate = folder / (name + extension);
        fd_ = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd_ >= 0) {
            path_ = std::move(candidate);
            return {};
        }
        error = errno;
        if (error != EEXIST) break;
    }
    return SystemFailure(WriteError::CannotCreate, "create temporary file", error);
}

WriteResult TempFile::Create(const ExportTarget& target, const std::string& extension)
{
    target_ = target;
    // The target's own permissions from the start; a new file gets what
    // any new file gets here.
    const mode_t mode = target.exists ? (target.info.mode & 0777) : 0666;
    if (auto r = Open(FolderOf(target.path), extension, mode); !r.Ok()) return r;
    if (!target.exists) return {};
    // A further hard link would be split by a rename; an owner or group
    // this user cannot give the new file would be lost by one. Both are
    // written in place instead, and the mode is set past the umask.
    struct stat created {};
    if (::fstat(fd_, &created) != 0) return SystemFailure(WriteError::WriteFailed, "fstat", errno);
    if (target.info.links > 1)
        inPlace_ = true;
    else if ((created.st_uid != target.info.owner || created.st_gid != target.info.group) &&
             ::fchown(fd_, target.info.owner, target.info.group) != 0)
        inPlace_ = true;
    if (!inPlace_ && ::fchmod(fd_, mode) != 0) inPlace_ = true;
    return {};
}

WriteResult TempFile::CreateScratch(const std::filesystem::path& folder) { return Open(folder, {}, 0600); }

WriteResult TempFile::Write(std::span<const std::uint8_t> bytes)
{
    if (fd_ < 0) return WriteFailure(WriteError::WriteFailed, "no open file");
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return SystemFailure(WriteError::WriteFailed, "write", n < 0 ? errno : EIO);
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    // Data reaches the disk before the name does, so a crash cannot leave a
    // target that is renamed but empty; a full disk can also show here.
    if (::fsync(fd_) != 0) return SystemFailure(WriteError::WriteFailed, "fsync", errno);
    return {};
}

WriteResult TempFile::Commit(std::span<const std::uint8_t> bytes)
{
    if (fd_ >= 0) {
        const int closed = ::close(fd_);
        fd_ = -1;
        if (closed != 0) return SystemFailure(WriteError::WriteFailed, "close", errno);
    }
    if (inPlace_) {
        // The checked copy is no longer needed, and on a nearly full disk
        // the target needs the space it takes.
        if (::unlink(path_.c_str()) == 0) path_.clear();
        return WriteInPlace(bytes);
    }
    if (::rename(path_.c_str(), target_.path.c_str()) != 0)
        return SystemFailure(WriteError::CannotReplace, "rename", errno);
    committed_ = true;
    return {};
}

WriteResult TempFile::WriteInPlace(std::span<const std::uint8_t> bytes)
{
    struct Descriptor {
        int fd;
        ~Descriptor()
        {
            if (fd >= 0) ::close(fd);
        }
    } file{::open(target_.path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW)};
    if (file.fd < 0) return SystemFailure(WriteError::CannotReplace, "open target", errno);
    struct stat now {};
    if (::fstat(file.fd, &now) != 0 || now.st_ino != target_.info.inode || now.st_dev != target_.info.device)
        return WriteFailure(WriteError::CannotReplace, "the target changed during the export");
    const auto size = static_cast<off_t>(bytes.size());
    const auto writeAt = [&](off_t from, off_t to) -> int {
        while (from < to) {
            const ssize_t n = ::pwrite(file.fd, bytes.data() + from, static_cast<std::size_t>(to - from), from);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return n < 0 ? errno : EIO;
            from += n;
        }
        return 0;
    };
    // The space is reserved before the first byte is overwritten: a full
    // disk is then found while the old content is still whole.
    const bool reserved = size == 0 || ::fallocate(file.fd, FALLOC_FL_KEEP_SIZE, 0, size) == 0;
    if (!reserved && errno != EOPNOTSUPP && errno != ENOSYS)
        return SystemFailure(WriteError::WriteFailed, "fallocate", errno);
    off_t head = size; // [0, head) is still to be written
    if (!reserved) {
        // A file system that cannot reserve (ext2, NFSv3) overwrites the
        // blocks a file has without needing new ones: the part past the old
        // end is written first and flushed, and if the disk is full there
        // the file is cut back to its old length, its old content whole. A
        // file with holes could need new blocks anywhere, so it is refused.
        const off_t old = now.st_size;
        if (static_cast<off_t>(now.st_blocks) * 512 < old)
            return WriteFailure(WriteError::WriteFailed, "a sparse file where no space can be reserved");
        if (size > old) {
            int error = writeAt(old, size);
            if (error == 0 && ::fdatasync(file.fd) != 0) error = errno;
            if (error != 0) {
                if (::ftruncate(file.fd, old) != 0 || ::fdatasync(file.fd) != 0)
                    return WriteFailure(WriteError::PartlyWritten, ErrnoText("ftruncate", errno));
                return SystemFailure(WriteError::WriteFailed, "pwrite past the old end", error);
            }
            head = old;
        }
    }
    if (const int error = writeAt(0, head); error != 0)
        return WriteFailure(WriteError::PartlyWritten, ErrnoText("pwrite", error));
    if (::ftruncate(file.fd, size) != 0) return WriteFailure(WriteError::PartlyWritten, ErrnoText("ftruncate", errno));
    if (::fsync(file.fd) != 0) return WriteFailure(WriteError::PartlyWritten, ErrnoText("fsync", errno));
    const int fd = file.fd;
    file.fd = -1;
    if (::close(fd) != 0) return WriteFailure(WriteError::PartlyWritten, ErrnoText("close", errno));
    return {};
}

} // namespace korvanta::excel::detail
