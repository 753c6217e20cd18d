// Test helper: a data column from the texts of its cells.
#pragma once

#include "stats/cellvalue.h"

#include <string>
#include <vector>

namespace korvanta::stats::testing {

inline std::vector<CellValue> Cells(const std::vector<std::string>& texts)
{
    std::vector<CellValue> cells;
    for (const auto& text : texts) cells.push_back(ReadCell(text));
    return cells;
}

// n cells whose texts are produced by value(k), k = 0 .. n-1.
template <typename F>
std::vector<CellValue> CellsOf(int n, F value)
{
    std::vector<CellValue> cells;
    for (int k = 0; k < n; ++k) cells.push_back(ReadCell(value(k)));
    return cells;
}

} // namespace korvanta::stats::testing
