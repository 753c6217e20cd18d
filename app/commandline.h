// The options Korvanta answers before any window exists, so that they work
// on a machine without a display: --version and --help. Every other option
// is left to Qt (-platform, -style and the like); a file named after them is
// imported once the window is up ("Open with" in a file manager).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace korvanta::ui {

struct CommandLineOutcome {
    bool startWindow = true; // false: print standardOutput and end with exitCode
    int exitCode = 0;
    std::string standardOutput;
};

// arguments: argv without the program name.
CommandLineOutcome InterpretCommandLine(std::span<char* const> arguments);

// Which of the arguments Qt left over (its own options taken out; without
// the program name) names a file to import: the first that is no option, or
// the first after "--". None when there is no such argument.
std::optional<std::size_t> FileArgument(std::span<const std::string> arguments);

// "Korvanta 4.05" and the bilingual usage, each ending with a line break.
std::string VersionText();
std::string UsageText();

} // namespace korvanta::ui
