// --version and --help are answered before any window exists; every other
// argument goes on to Qt and the window.
#include "app/commandline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

using korvanta::ui::InterpretCommandLine;

struct Case {
    std::vector<std::string> arguments;
    bool startWindow;
    std::string printed; // "version", "usage" or empty
};

class CommandLine : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLine, AnswersOnlyItsOwnOptions)
{
    const Case& c = GetParam();
    std::vector<char*> argv;
    for (const std::string& a : c.arguments) argv.push_back(const_cast<char*>(a.c_str()));
    const auto outcome = InterpretCommandLine(argv);

    EXPECT_EQ(outcome.startWindow, c.startWindow);
    EXPECT_EQ(outcome.exitCode, 0);
    if (c.printed == "version")
        EXPECT_EQ(outcome.standardOutput, "Korvanta " KORVANTA_EXPECTED_VERSION "\n");
    else if (c.printed == "usage")
        EXPECT_EQ(outcome.standardOutput, korvanta::ui::UsageText());
    else
        EXPECT_EQ(outcome.standardOutput, "");
}

INSTANTIATE_TEST_SUITE_P(Arguments, CommandLine,
                         ::testing::Values(Case{{}, true, ""}, Case{{"--version"}, false, "version"},
                                           Case{{"--help"}, false, "usage"}, Case{{"-h"}, false, "usage"},
                                           Case{{"--help", "--version"}, false, "usage"}, // the first one asked wins
                                           Case{{"--version", "-h"}, false, "version"},
                                           Case{{"-platform", "offscreen"}, true, ""}, // Qt's own options
                                           Case{{"-style", "fusion", "--version"}, false, "version"},
                                           Case{{"--", "--help"}, true, ""}, // after "--" nothing is an option
                                           Case{{"-version"}, true, ""}, Case{{"--help=all"}, true, ""}));

// Which argument Qt leaves over names the file to import ("Open with").
TEST(CommandLine, FindsTheFileToImport)
{
    const struct {
        std::vector<std::string> arguments;
        std::optional<std::size_t> file;
    } cases[] = {
        {{}, std::nullopt},      {{"数据.xls"}, 0},      {{"-reverse", "a.csv"}, 1}, {{"--", "-minus.xlsx"}, 1},
        {{"a.xls", "b.xls"}, 0}, {{"--"}, std::nullopt}, {{"-x"}, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(korvanta::ui::FileArgument(c.arguments), c.file) << c.arguments.size();
}

TEST(CommandLineUsage, NamesEveryOptionInChineseAndEnglish)
{
    const std::string usage = korvanta::ui::UsageText();
    EXPECT_EQ(usage.rfind("用法：korvanta [选项] [文件]\nUsage: korvanta [OPTION] [FILE]\n", 0), 0u) << usage;
    for (const char* expected : {"--help", "--version", "显示本说明后退出", "show this help and exit", "显示版本后退出",
                                 "show the version and exit"})
        EXPECT_NE(usage.find(expected), std::string::npos) << expected;
    EXPECT_EQ(usage.back(), '\n');
    // A terminal of 80 columns shows every English line whole.
    std::size_t start = 0;
    for (std::size_t end; (end = usage.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = usage.substr(start, end - start);
        const bool ascii =
            std::all_of(line.begin(), line.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
        if (ascii) {
            EXPECT_LE(line.size(), 80u) << line;
        }
    }
}

} // namespace
