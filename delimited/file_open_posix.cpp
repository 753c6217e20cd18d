#include "delimited/file_open.h"

namespace korvanta::delimited {

StdioFile OpenFileForReading(const std::filesystem::path& path) { return StdioFile(std::fopen(path.c_str(), "rb")); }

} // namespace korvanta::delimited
