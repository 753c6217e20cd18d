// Helpers shared by the workbook tests: fixture paths, a scratch folder,
// cells as short comparable texts, and running Debian's python readers.
#pragma once

#include "excel/workbook.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace korvanta::excel::test {

inline std::filesystem::path Fixture(std::string_view name) { return std::filesystem::path(KORVANTA_TEST_DATA) / name; }

// A fresh folder removed with everything in it at the end of the test.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }
    const std::filesystem::path& Path() const { return path_; }
    std::vector<std::string> Files() const;

private:
    std::filesystem::path path_;
};

// "" for empty, "n:1.5", "s:text", "b:TRUE", "e:#N/A".
std::string Describe(const Cell& cell);
using Table = std::vector<std::vector<std::string>>;
Table Describe(const std::vector<Row>& rows);

void WriteFile(const std::filesystem::path& path, std::string_view bytes);
std::string ReadFile(const std::filesystem::path& path);

struct ProcessResult {
    int status = -1;
    std::string output;
};
// Runs a script with /usr/bin/python3, whose Debian modules (xlrd,
// openpyxl) the python first on PATH may not see.
ProcessResult RunPython(const std::string& script, const std::vector<std::string>& args);
// Fails the test when it runs in `ctest -L unit`, which starts no other
// program: a test that runs a reader is labelled by it in CMakeLists.txt.
void ExpectReaderProgramsAllowed();

// One row as the read-back scripts print it: a JSON array of two texts,
// "" for no value, "s:" + text, "n:" + the double's bytes in hex, "b:TRUE".
std::string JsonRow(const std::string& first, const std::string& second);
std::string ExportedCell(const std::string& text);

} // namespace korvanta::excel::test
