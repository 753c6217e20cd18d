// Handing a path to the C libraries underneath, whatever the characters in
// its name. On Windows a narrow name is read in the system's code page, so
// each library is reached through its own wide-name entry where it has one.
#pragma once

#include <filesystem>
#include <string>

struct zip;

namespace korvanta::excel::detail {

// The archive opened with libzip's flags; null with *error set to libzip's
// error code when it cannot be.
zip* OpenZipArchive(const std::filesystem::path& path, int flags, int* error);

// The name by which a library that takes only a narrow name (libxlsxwriter)
// reaches the file; empty when there is none.
std::string NarrowFileName(const std::filesystem::path& path);

} // namespace korvanta::excel::detail
