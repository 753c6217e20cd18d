// The options Korvanta answers before any window exists, so that they work
// on a machine without a display: --version and --help. Every other argument
// is left to Qt (-platform, -style and the like), as before.
#pragma once

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

// "Korvanta 4.05" and the bilingual usage, each ending with a line break.
std::string VersionText();
std::string UsageText();

} // namespace korvanta::ui
