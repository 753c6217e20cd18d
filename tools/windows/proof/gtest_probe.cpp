// The services the Windows port leans on, checked under the real runtime:
// wide file names through std::filesystem and locale-free number parsing.
#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

TEST(WindowsRuntime, ChineseFolderNameIsFourWideCharacters)
{
    const fs::path folder(u8"统计数据");
    EXPECT_EQ(folder.native(), std::wstring(L"\u7edf\u8ba1\u6570\u636e"));
}

TEST(WindowsRuntime, FileInChineseFolderRoundTrips)
{
    const fs::path folder = fs::temp_directory_path() / fs::path(u8"统计数据-探针");
    fs::remove_all(folder);
    ASSERT_TRUE(fs::create_directory(folder));
    const fs::path file = folder / fs::path(u8"样本.csv");
    {
        std::ofstream out(file, std::ios::binary);
        ASSERT_TRUE(out.good());
        out << "1.5,2\n";
    }
    std::ifstream in(file, std::ios::binary);
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line, "1.5,2");
    EXPECT_EQ(fs::file_size(file), 6u);
    in.close();
    EXPECT_EQ(fs::remove_all(folder), 2u);
}

TEST(WindowsRuntime, FromCharsReadsDecimalPointWhateverTheLocale)
{
    struct Row {
        const char* text;
        double value;
        std::size_t used;
    };
    for (const Row& row : {Row{"2.5", 2.5, 3}, Row{"-0.125e2", -12.5, 8}, Row{"3,5", 3.0, 1}}) {
        const std::string text = row.text;
        double value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        EXPECT_EQ(error, std::errc()) << text;
        EXPECT_EQ(value, row.value) << text;
        EXPECT_EQ(static_cast<std::size_t>(end - text.data()), row.used) << text;
    }
}
