// Opening a file by its path for the C library's stdio, whatever the
// characters in its name: on Windows a narrow name would be read in the
// system's code page, so a folder named 统计数据 could not be reached.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>

namespace korvanta::delimited {

struct StdioCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using StdioFile = std::unique_ptr<std::FILE, StdioCloser>;

// The file opened in binary mode for reading; empty when it cannot be.
StdioFile OpenFileForReading(const std::filesystem::path& path);

} // namespace korvanta::delimited
