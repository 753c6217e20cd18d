// A statistics file is parsed in a child process: ReadStat trusts the
// counts and lengths a file declares, so a hostile file can make it
// allocate without bound or read past its buffers. The child has its own
// memory and time limits and hands its result back through a pipe; if it
// dies, only the file is refused.
#include "excel/statfile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <poll.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvanta::excel::detail {
namespace {

// ---- the result as bytes ----

void PutText(Bytes& out, const std::string& text)
{
    Put32(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

void PutCell(Bytes& out, const Cell& cell)
{
    Put8(out, static_cast<unsigned>(cell.kind));
    PutDouble(out, cell.number);
    PutText(out, cell.text);
}

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool Ok() const { return ok_; }
    bool Done() const { return ok_ && at_ == bytes_.size(); }

    std::uint32_t U32()
    {
        if (!Need(4)) return 0;
        const std::uint32_t v = Le32(bytes_.data() + at_);
        at_ += 4;
        return v;
    }
    std::uint8_t U8()
    {
        if (!Need(1)) return 0;
        return bytes_[at_++];
    }
    double Number()
    {
        if (!Need(8)) return 0;
        const double v = LeDouble(bytes_.data() + at_);
        at_ += 8;
        return v;
    }
    std::string Text()
    {
        const std::uint32_t n = U32();
        if (!Need(n)) return {};
        std::string text(reinterpret_cast<const char*>(bytes_.data() + at_), n);
        at_ += n;
        return text;
    }
    Cell TakeCell()
    {
        const std::uint8_t kind = U8();
        Cell cell;
        if (kind > static_cast<std::uint8_t>(Cell::Kind::Error)) ok_ = false;
        cell.kind = static_cast<Cell::Kind>(kind);
        cell.number = Number();
        cell.text = Text();
        return cell;
    }
    // A count of items of at least `least` bytes each that can still follow.
    std::uint32_t Count(std::size_t least)
    {
        const std::uint32_t n = U32();
        if (ok_ && n > (bytes_.size() - at_) / least) ok_ = false;
        return ok_ ? n : 0;
    }

private:
    bool Need(std::size_t n)
    {
        if (!ok_ || n > bytes_.size() - at_) ok_ = false;
        return ok_;
    }
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

constexpr std::uint32_t kMagic = 0x4b565231; // "KVR1"

// ---- the child ----

bool WriteAll(int fd, const Bytes& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// The address space the process holds now, from /proc/self/statm.
std::size_t AddressSpace()
{
    const int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    char text[128] = {};
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0) return 0;
    return static_cast<std::size_t>(std::strtoull(text, nullptr, 10)) *
           static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

[[noreturn]] void RunChild(int fd, FileFormat format, std::span<const std::uint8_t> bytes, const ReadLimits& limits)
{
    rlimit cpu{static_cast<rlim_t>(kStatisticsParseSeconds), static_cast<rlim_t>(kStatisticsParseSeconds + 1)};
    ::setrlimit(RLIMIT_CPU, &cpu);
    // A sanitizer's shadow memory cannot live under an address-space limit;
    // its builds rely on the parent's time limit alone.
    if (!kSanitized) {
        const std::size_t now = AddressSpace();
        if (now > 0) {
            rlimit memory{static_cast<rlim_t>(now + kStatisticsParseMemory),
                          static_cast<rlim_t>(now + kStatisticsParseMemory)};
            ::setrlimit(RLIMIT_AS, &memory);
        }
    }
    Bytes out;
    try {
        out = EncodeReadResult(ParseStatistics(format, bytes, limits));
    } catch (const std::bad_alloc&) {
        out.clear();
        out.shrink_to_fit();
        try {
            out = EncodeReadResult(Failure(ReadError::TooLarge));
        } catch (...) {
            ::_exit(3);
        }
    } catch (...) {
        ::_exit(4);
    }
    ::_exit(WriteAll(fd, out) ? 0 : 5);
}

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    void Close()
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

} // namespace

Bytes EncodeReadResult(const ReadResult& result)
{
    Bytes out;
    Put32(out, kMagic);
    Put32(out, static_cast<std::uint32_t>(result.error));
    Put32(out, static_cast<std::uint32_t>(result.rows.size()));
    for (const Row& row : result.rows) {
        Put32(out, static_cast<std::uint32_t>(row.cells.size()));
        for (const Cell& cell : row.cells) PutCell(out, cell);
    }
    Put32(out, static_cast<std::uint32_t>(result.uncalculated.size()));
    for (const CellPosition& at : result.uncalculated) {
        Put32(out, at.row);
        Put32(out, at.column);
    }
    Put32(out, static_cast<std::uint32_t>(result.variables.size()));
    for (const Variable& v : result.variables) {
        PutText(out, v.name);
        PutText(out, v.label);
        Put8(out, v.text ? 1 : 0);
        Put8(out, v.date ? 1 : 0);
        Put32(out, static_cast<std::uint32_t>(v.valueLabels.size()));
        for (const auto& [key, label] : v.valueLabels) {
            PutCell(out, key);
            PutText(out, label);
        }
        PutDouble(out, static_cast<double>(v.missing));
        Put32(out, static_cast<std::uint32_t>(v.userMissing.size()));
        for (const Cell& cell : v.userMissing) PutCell(out, cell);
    }
    return out;
}

bool DecodeReadResult(std::span<const std::uint8_t> bytes, ReadResult& result)
{
    constexpr std::size_t kCellBytes = 13;
    Reader in(bytes);
    if (in.U32() != kMagic) return false;
    const std::uint32_t error = in.U32();
    if (error > static_cast<std::uint32_t>(ReadError::TooManyColumns)) return false;
    if (error != static_cast<std::uint32_t>(ReadError::None)) {
        result = Failure(static_cast<ReadError>(error));
        return true;
    }
    result = {};
    result.rows.resize(in.Count(4));
    for (Row& row : result.rows) {
        row.cells.resize(in.Count(kCellBytes));
        for (Cell& cell : row.cells) cell = in.TakeCell();
    }
    result.uncalculated.resize(in.Count(8));
    for (CellPosition& at : result.uncalculated) {
        at.row = in.U32();
        at.column = in.U32();
    }
    result.variables.resize(in.Count(18));
    for (Variable& v : result.variables) {
        v.name = in.Text();
        v.label = in.Text();
        v.text = in.U8() != 0;
        v.date = in.U8() != 0;
        v.valueLabels.resize(in.Count(kCellBytes + 4));
        for (auto& [key, label] : v.valueLabels) {
            key = in.TakeCell();
            label = in.Text();
        }
        v.missing = static_cast<std::size_t>(in.Number());
        v.userMissing.resize(in.Count(kCellBytes));
        for (Cell& cell : v.userMissing) cell = in.TakeCell();
    }
    return in.Done();
}

ReadResult ParseStatisticsIsolated(FileFormat format, std::span<const std::uint8_t> bytes, const ReadLimits& limits)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return Failure(ReadError::CannotOpen);
    Descriptor readEnd(ends[0]);
    Descriptor writeEnd(ends[1]);
    const pid_t child = ::fork();
    if (child < 0) return Failure(ReadError::TooLarge);
    if (child == 0) RunChild(writeEnd.Get(), format, bytes, limits);
    writeEnd.Close();

    // What the child may hand back: the cells and texts the limits let
    // through, and room for their framing.
    // (A read without limits, as an export's read-back, is still bounded by
    // the child's memory.)
    const std::size_t most = std::min<std::size_t>(limits.textBytes, kStatisticsParseMemory) * 3 +
                             std::min<std::size_t>(limits.cells, kMaxImportCells) * 32 + (std::size_t{64} << 20);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kStatisticsParseSeconds + 1);
    Bytes received;
    bool finished = false, stopped = false;
    std::uint8_t buffer[65536];
    while (!finished) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) {
            stopped = true;
            break;
        }
        pollfd wait{readEnd.Get(), POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;
        const ssize_t n = ::read(readEnd.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            finished = true;
            break;
        }
        if (received.size() + static_cast<std::size_t>(n) > most) {
            stopped = true;
            break;
        }
        received.insert(received.end(), buffer, buffer + n);
    }
    if (stopped) ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    if (stopped) return Failure(ReadError::TooLarge);
    if (WIFSIGNALED(status) && (WTERMSIG(status) == SIGXCPU || WTERMSIG(status) == SIGKILL))
        return Failure(ReadError::TooLarge);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return Failure(ReadError::Corrupt);
    ReadResult result;
    if (!DecodeReadResult(received, result)) return Failure(ReadError::Corrupt);
    return result;
}

namespace {

// The file's bytes, mapped for reading while it is parsed.
class Mapping {
public:
    explicit Mapping(const std::filesystem::path& path)
    {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            error_ = ReadError::CannotOpen;
            return;
        }
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            error_ = ReadError::CannotOpen;
        } else if (info.st_size == 0) {
            error_ = ReadError::NotWorkbook;
        } else if (static_cast<std::uint64_t>(info.st_size) > kMaxXlsFileBytes) {
            error_ = ReadError::TooLarge;
        } else {
            size_ = static_cast<std::size_t>(info.st_size);
            void* at = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
            if (at == MAP_FAILED)
                error_ = ReadError::CannotOpen;
            else
                data_ = static_cast<const std::uint8_t*>(at);
        }
        ::close(fd);
    }
    ~Mapping()
    {
        if (data_) ::munmap(const_cast<std::uint8_t*>(data_), size_);
    }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;

    ReadError Error() const { return error_; }
    std::span<const std::uint8_t> Bytes() const { return {data_, size_}; }

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    ReadError error_ = ReadError::None;
};

class StatisticsSource final : public SheetSource {
public:
    StatisticsSource(std::filesystem::path path, FileFormat format) : path_(std::move(path)), format_(format)
    {
        names_.push_back(path_.stem().string());
    }
    ReadError Open() const
    {
        const Mapping file(path_);
        return file.Error();
    }
    ReadResult Read(std::size_t index, const ReadLimits& limits) const override
    {
        if (index != 0) return Failure(ReadError::NoWorksheet);
        const Mapping file(path_);
        if (file.Error() != ReadError::None) return Failure(file.Error());
        return ParseStatisticsIsolated(format_, file.Bytes(), limits);
    }

private:
    std::filesystem::path path_;
    FileFormat format_;
};

} // namespace

Opened OpenStatistics(const std::filesystem::path& path, FileFormat format)
{
    auto source = std::make_unique<StatisticsSource>(path, format);
    Opened opened;
    opened.error = source->Open();
    if (opened.error == ReadError::None) opened.source = std::move(source);
    return opened;
}

} // namespace korvanta::excel::detail

namespace korvanta::excel {
bool ReadsStatisticsFiles() { return true; }
} // namespace korvanta::excel
