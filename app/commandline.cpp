#include "app/commandline.h"

#include <string_view>

namespace korvanta::ui {

std::string VersionText() { return std::string("Korvanta ") + KORVANTA_VERSION + "\n"; }

std::string UsageText()
{
    return "用法：korvanta [选项] [文件]\n"
           "Usage: korvanta [OPTION] [FILE]\n"
           "\n"
           "医学统计计算器：两样本均数t检验、配对资料t检验、直线相关与回归、计数资料卡方检验、配对资料卡方检验。\n"
           "A calculator of medical statistics: two-sample and paired t-tests,\n"
           "correlation and regression, the four-fold and the paired chi-square test.\n"
           "\n"
           "  -h, --help     显示本说明后退出\n"
           "                 show this help and exit\n"
           "      --version  显示版本后退出\n"
           "                 show the version and exit\n"
           "\n"
           "不带选项时打开主窗口；Qt 的选项（如 -platform、-style）照常有效。\n"
           "指定文件时，窗口打开后导入该文件。\n"
           "Without an option the main window opens; Qt's own options (such as -platform,\n"
           "-style) work as usual. A FILE named is imported once the window is open.\n";
}

CommandLineOutcome InterpretCommandLine(std::span<char* const> arguments)
{
    for (const char* argument : arguments) {
        if (argument == nullptr) break;
        const std::string_view option(argument);
        if (option == "--") // what follows is not an option
            break;
        if (option == "--help" || option == "-h") return {false, 0, UsageText()};
        if (option == "--version") return {false, 0, VersionText()};
    }
    return {};
}

std::optional<std::size_t> FileArgument(std::span<const std::string> arguments)
{
    for (std::size_t k = 0; k < arguments.size(); ++k) {
        if (arguments[k] == "--") return k + 1 < arguments.size() ? std::optional(k + 1) : std::nullopt;
        if (!arguments[k].empty() && arguments[k].front() != '-') return k;
    }
    return std::nullopt;
}

} // namespace korvanta::ui
