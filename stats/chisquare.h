// The 2x2 table: its totals, the four-fold chi-square test and the paired
// (McNemar) chi-square test, from the four cell texts to the label texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvanta::stats {

struct TableCells {
    std::string_view a, b, c, d;
};

// Margins as shown: "0" when both cells are missing.
struct TableTotals {
    std::string positive;   // Label18(0): a + c
    std::string negative;   // Label18(1): b + d
    std::string row1;       // Label18(2): a + b
    std::string row2;       // Label18(3): c + d
    std::string grand;      // Label18(4)
};
TableTotals ComputeTableTotals(const TableCells& cells);

inline constexpr std::string_view kFourFoldWarning = "当n < 40或理论数(T)< 1时，不适合使用本法。";

struct FourFoldResult {
    std::string expectedA, expectedB, expectedC, expectedD;  // Label20(1..4)
    std::string n;                                           // Label20(5)
    std::string chiSquare;                                   // Label20(6)
    std::string verdict;                                     // Label5(21)
};
FourFoldResult FourFoldChiSquare(const TableCells& cells);

struct PairedChiSquareResult {
    std::string n;          // Label20(8)
    std::string chiSquare;  // Label20(7)
    std::string verdict;    // Label5(23)
};
PairedChiSquareResult PairedChiSquare(const TableCells& cells);

// The chi-square verdict from the value as displayed: "P < 0.05" from 3.84,
// "P < 0.01" from 6.63, otherwise "P > 0.05"; an empty text reads as 0.
std::string_view JudgeChiSquare(std::string_view shownValue);

} // namespace korvanta::stats
