#include "grid/pasteblock.h"

#include "grid/cellcleaning.h"

#include <algorithm>

namespace korvanta::grid {

delimited::TextLimits PasteLimits()
{
    delimited::TextLimits limits;
    limits.rows = static_cast<std::size_t>(kMaxRows);
    limits.columns = 256;
    limits.cells = 1000000;
    limits.cellChars = 32767;
    return limits;
}

PasteOutcome PasteBlock(GridStore& store, const delimited::DelimitedText& block, Column column, int row)
{
    PasteOutcome outcome;
    if (block.columns == 0) {
        outcome.problem = PasteProblem::NoData;
        return outcome;
    }
    if (block.columns > 2) {
        outcome.problem = PasteProblem::TooManyColumns;
        return outcome;
    }
    if (block.columns == 2 && column == Column::Second) {
        outcome.problem = PasteProblem::NoSecondColumn;
        return outcome;
    }
    const auto rows = static_cast<long long>(block.rows.size());
    if (row < 0 || row + rows > kMaxRows) {
        outcome.problem = PasteProblem::TooManyRows;
        return outcome;
    }

    const bool both = block.columns == 2;
    const Column first = column;
    store.PadTo(row + static_cast<int>(rows));
    for (int k = 0; k < static_cast<int>(rows); ++k) {
        const auto& fields = block.rows[static_cast<std::size_t>(k)];
        const auto field = [&](std::size_t i) { return i < fields.size() ? CleanCellText(fields[i]) : std::string(); };
        store.SetItem(first, row + k, field(0));
        if (both) store.SetItem(Column::Second, row + k, field(1));
    }
    outcome.rows = static_cast<int>(rows);
    outcome.firstChanged = both || column == Column::First;
    outcome.secondChanged = both || column == Column::Second;
    return outcome;
}

std::string CopyText(const GridStore& store)
{
    const int rows = std::max(store.Count(Column::First), store.Count(Column::Second));
    int last = rows;
    while (last > 0 && store.Item(Column::First, last - 1).empty() && store.Item(Column::Second, last - 1).empty())
        --last;
    std::string text;
    for (int k = 0; k < last; ++k) {
        text += delimited::QuoteField(store.Item(Column::First, k), '\t');
        text += '\t';
        text += delimited::QuoteField(store.Item(Column::Second, k), '\t');
        text += '\n';
    }
    return text;
}

} // namespace korvanta::grid
