#include "excel/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace korvanta::excel::detail {

namespace {

std::string ErrnoText(const char* what, int error) { return std::string(what) + ": " + std::strerror(error); }

}  // namespace

WriteResult WriteFailure(WriteError error, std::string detail) {
    WriteResult r;
    r.error = error;
    r.message = std::string(WriteErrorMessage(error));
    r.detail = std::move(detail);
    return r;
}

TempFile::~TempFile() {
    release();
    if (!path_.empty() && !committed_) ::unlink(path_.c_str());
}

void TempFile::release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

WriteResult TempFile::create(const std::filesystem::path& target) {
    target_ = target;
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::random_device random;
    int error = 0;
    for (int attempt = 0; attempt < 16; ++attempt) {
        // A short name of its own: the target's name may already be as long
        // as the file system allows.
        char name[32];
        std::snprintf(name, sizeof name, ".korvanta-%08x.tmp", static_cast<unsigned>(random()));
        std::filesystem::path candidate = folder / name;
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            path_ = std::move(candidate);
            return {};
        }
        error = errno;
        if (error != EEXIST) break;
    }
    return WriteFailure(WriteError::CannotCreate, ErrnoText("create temporary file", error));
}

WriteResult TempFile::write(std::span<const std::uint8_t> bytes) {
    if (fd_ < 0) return WriteFailure(WriteError::WriteFailed, "no open file");
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return WriteFailure(WriteError::WriteFailed, ErrnoText("write", n < 0 ? errno : EIO));
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return {};
}

WriteResult TempFile::commit() {
    if (fd_ < 0) {
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) return WriteFailure(WriteError::WriteFailed, ErrnoText("reopen", errno));
    }
    // Data reaches the disk before the name does, so a crash cannot leave a
    // target that is renamed but empty.
    if (::fsync(fd_) != 0) return WriteFailure(WriteError::WriteFailed, ErrnoText("fsync", errno));
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) return WriteFailure(WriteError::WriteFailed, ErrnoText("close", errno));
    if (::rename(path_.c_str(), target_.c_str()) != 0)
        return WriteFailure(WriteError::CannotReplace, ErrnoText("rename", errno));
    committed_ = true;
    return {};
}

}  // namespace korvanta::excel::detail
