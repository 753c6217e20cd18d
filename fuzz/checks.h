// What each fuzz target asserts about one input, shared by the libFuzzer
// targets (fuzz_*.cpp, which abort on a finding) and the regression test
// (tests/hostile/fuzz_regressions_tests.cpp, which replays fuzz/regressions
// under the normal build).
#pragma once

#include <string>
#include <string_view>

namespace korvanta::fuzz {

// Each returns "" when the input passes, else what went wrong.
std::string CheckParseFixed4(std::string_view input);
std::string CheckLeadingNumber(std::string_view input);
std::string CheckFormatFourDecimals(std::string_view input);
std::string CheckCleanCellText(std::string_view input);
std::string CheckXlsReader(std::string_view input);
std::string CheckXlsxReader(std::string_view input);
std::string CheckXlsRoundTrip(std::string_view input);
std::string CheckXlsxRoundTrip(std::string_view input);
std::string CheckOdsReader(std::string_view input);
std::string CheckDelimitedFile(std::string_view input);
std::string CheckPaste(std::string_view input);
std::string CheckSheetListing(std::string_view input);
std::string CheckStatReader(std::string_view input);

using Check = std::string (*)(std::string_view);
// The check of a target by its name without "fuzz_" ("xls_reader"); null
// for an unknown name.
Check CheckFor(std::string_view target);

// Runs a check on libFuzzer's input and aborts with its message on a finding.
int Run(Check check, const unsigned char* data, unsigned long size);

} // namespace korvanta::fuzz
