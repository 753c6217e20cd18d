#include "delimited/file_open.h"

#include <stdio.h>

namespace korvanta::delimited {

// The wide name reaches the file whatever the system's code page.
StdioFile OpenFileForReading(const std::filesystem::path& path) { return StdioFile(_wfopen(path.c_str(), L"rb")); }

} // namespace korvanta::delimited
