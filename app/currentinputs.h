// The inputs of the current test as the detailed statistics, the report and
// the journal table read them. The input holds views into the texts kept
// here and into the store, so it is neither copied nor moved: it lives
// while its reader runs.
#pragma once

#include "app/resultpanels.h"
#include "app/tablepanel.h"
#include "app/testcaptions.h"
#include "grid/gridstore.h"
#include "stats/detailed.h"

#include <array>
#include <string>

namespace korvanta::ui {

class CurrentInputs {
public:
    CurrentInputs(TestMode shown, const grid::GridStore& store, const TwoSamplePanel& twoSample,
                  const TablePanel& table)
        : mode(shown), table_(table.CellTexts())
    {
        input.summary = twoSample.Input(boxes_);
        input.first = store.Values(grid::Column::First);
        input.second = store.Values(grid::Column::Second);
        input.table = table_.View();
    }
    CurrentInputs(const CurrentInputs&) = delete;
    CurrentInputs& operator=(const CurrentInputs&) = delete;

    const TestMode mode;
    stats::DetailsInput input;

private:
    std::array<std::string, 6> boxes_;
    TablePanel::Texts table_;
};

} // namespace korvanta::ui
