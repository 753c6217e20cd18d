// Every input a fuzz target once failed on, kept in
// fuzz/regressions/<target>/, fed to the same check under the normal build
// (and so under the sanitized run too).
#include "checks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace korvanta::fuzz {
namespace {

std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FuzzRegressions, EverySavedInputPassesItsTargetsCheck)
{
    const std::filesystem::path root(KORVANTA_FUZZ_REGRESSIONS);
    if (!std::filesystem::is_directory(root)) GTEST_SKIP() << "no input saved yet";
    for (const auto& folder : std::filesystem::directory_iterator(root)) {
        if (!folder.is_directory()) continue;
        const std::string target = folder.path().filename().string();
        const Check check = CheckFor(target);
        ASSERT_NE(check, nullptr) << "no fuzz target named " << target;
        for (const auto& file : std::filesystem::directory_iterator(folder.path())) {
            EXPECT_EQ(check(ReadBytes(file.path())), "") << target << '/' << file.path().filename().string();
        }
    }
}

TEST(FuzzRegressions, EveryTargetHasItsCheck)
{
    for (const char* target :
         {"parse_fixed4", "leading_number", "format_four_decimals", "clean_cell_text", "xls_reader", "xlsx_reader",
          "xls_roundtrip", "xlsx_roundtrip", "ods_reader", "delimited_file", "paste", "sheet_listing"})
        EXPECT_NE(CheckFor(target), nullptr) << target;
    EXPECT_EQ(CheckFor("no_such_target"), nullptr);
}

} // namespace
} // namespace korvanta::fuzz
