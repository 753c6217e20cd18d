// The 2x2 table: its totals, the four-fold chi-square test and the paired
// (McNemar) chi-square test, from the four cell texts to their result texts.
#pragma once

#include "stats/verdict.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace korvanta::stats {

struct TableCells {
    std::string_view a, b, c, d;
};

// Margins as shown: "0" when both cells are missing.
struct TableTotals {
    std::string positive; // first column: a + c
    std::string negative; // second column: b + d
    std::string row1;     // first row: a + b
    std::string row2;     // second row: c + d
    std::string grand;    // a + b + c + d
};
TableTotals ComputeTableTotals(const TableCells& cells);

struct FourFoldResult {
    std::string expectedA, expectedB, expectedC, expectedD; // expected counts
    std::string n;                                          // total count
    std::string chiSquare;                                  // chi-square
    Verdict verdict = Verdict::None;                        // P band, or NotSuitable
};
FourFoldResult FourFoldChiSquare(const TableCells& cells);

struct PairedChiSquareResult {
    std::string n;                   // number of pairs
    std::string chiSquare;           // McNemar's chi-square
    Verdict verdict = Verdict::None; // its P band
};
PairedChiSquareResult PairedChiSquare(const TableCells& cells);

// The chi-square verdict from the value as displayed: "P < 0.05" from 3.84,
// "P < 0.01" from 6.63, otherwise "P > 0.05"; an empty text reads as 0.
Verdict JudgeChiSquare(std::string_view shownValue);

} // namespace korvanta::stats
