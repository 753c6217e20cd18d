// The table a medical journal prints for the current test (per group n and
// mean +- SD, or counts and percentages, then the statistic and P), with a
// title line and a note naming the test, in Chinese or in APA 7 English.
// The figures are the exact ones of the detailed results; the test is the
// one the details window recommends (Welch's t on unequal variances, the
// 2x2 table's rule, the McNemar panel's correction below b + c = 40).
#pragma once

#include "results/resultsformat.h"

#include <string>
#include <vector>

namespace korvanta::results {

// The names of the two groups (or columns, or for a paired table its rows'
// and columns' classification) as the user sees them.
struct Names {
    std::string first, second;
};

struct JournalTable {
    std::string title; // "表1 …" / "Table 1 …": the author numbers it
    std::vector<std::string> heading;
    std::vector<std::vector<std::string>> rows;
    std::string note; // "注：…" / "Note. …"
};

JournalTable MakeJournalTable(stats::TestMode mode, const stats::DetailsInput& input, const Names& names,
                              Language language);

// Tab-separated: the title, the heading, the rows, the note, one per line.
std::string JournalTableText(const JournalTable& table);

} // namespace korvanta::results
