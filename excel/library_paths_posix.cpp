#include "excel/library_paths.h"

#include <zip.h>

namespace korvanta::excel::detail {

zip* OpenZipArchive(const std::filesystem::path& path, int flags, int* error)
{
    return zip_open(path.c_str(), flags, error);
}

// The bytes of the name are the name.
std::string NarrowFileName(const std::filesystem::path& path) { return path.native(); }

} // namespace korvanta::excel::detail
