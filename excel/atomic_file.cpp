#include "excel/atomic_file.h"

#include "delimited/file_open.h"

#include <cstring>
#include <vector>

namespace korvanta::excel::detail {

WriteResult WriteFailure(WriteError error, std::string detail)
{
    WriteResult r;
    r.error = error;
    r.detail = std::move(detail);
    return r;
}

namespace {

// Whether the file at path holds exactly bytes.
bool HoldsExactly(const std::filesystem::path& path, std::span<const std::uint8_t> bytes)
{
    const delimited::StdioFile file = delimited::OpenFileForReading(path);
    if (!file) return false;
    std::vector<std::uint8_t> buffer(64 * 1024);
    std::size_t at = 0;
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0; at += n)
        if (at + n > bytes.size() || std::memcmp(buffer.data(), bytes.data() + at, n) != 0) return false;
    return !std::ferror(file.get()) && at == bytes.size();
}

} // namespace

WriteResult SaveVerified(const std::filesystem::path& chosen, const std::string& extension,
                         std::span<const std::uint8_t> bytes,
                         const std::function<std::string(const std::filesystem::path&)>& verify)
{
    ExportTarget target;
    if (auto r = ResolveTarget(chosen, target); !r.Ok()) return r;
    TempFile temp;
    if (auto r = temp.Create(target, extension); !r.Ok()) return r;
    if (auto r = temp.Write(bytes); !r.Ok()) return r;
    if (const std::string difference = verify(temp.Path()); !difference.empty())
        return WriteFailure(WriteError::NotVerified, difference);
    if (auto r = temp.Commit(bytes); !r.Ok()) return r;
    // Written in place, the target itself is compared with what was checked.
    if (temp.WroteInPlace() && !HoldsExactly(target.path, bytes))
        return WriteFailure(WriteError::PartlyWritten, "the target differs after writing");
    return {};
}

} // namespace korvanta::excel::detail
