// The edit history on a full store: what recording one typed cell, an
// import and an undo cost. The window records at the end of every cell's
// edit (Enter, a click elsewhere), so a cell's step should stay well under
// a keystroke's budget (500 µs) on 32,767 rows.
#include "grid/edithistory.h"
#include "grid/gridstore.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using korvanta::grid::EditHistory;

std::vector<std::string> Column(int salt)
{
    std::vector<std::string> column;
    for (int i = 0; i < korvanta::grid::kMaxRows; ++i)
        column.push_back(std::to_string(100 + (i * 7 + salt) % 900) + "." + std::to_string(i % 10));
    return column;
}

void BmRecordTypedCell(benchmark::State& state)
{
    std::vector<std::string> first = Column(0);
    const std::vector<std::string> second = Column(1);
    const korvanta::grid::InputTexts fields; // the input boxes, empty
    EditHistory history;
    history.Start(first, second, fields, {});
    int n = 0;
    for (auto _ : state) {
        first[16000] = std::to_string(++n);
        benchmark::DoNotOptimize(history.Record(first, second, fields, {korvanta::stats::TestMode::PairedT, 15995}));
    }
}
BENCHMARK(BmRecordTypedCell)->Unit(benchmark::kMicrosecond);

void BmRecordImport(benchmark::State& state)
{
    const std::vector<std::string> columns[2] = {Column(0), Column(3)};
    const std::vector<std::string> second = Column(1);
    const korvanta::grid::InputTexts fields; // the input boxes, empty
    EditHistory history;
    history.Start(columns[0], second, fields, {});
    int n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(history.Record(columns[++n % 2], second, fields, {}));
}
BENCHMARK(BmRecordImport)->Unit(benchmark::kMillisecond);

void BmUndoRedoImport(benchmark::State& state)
{
    const std::vector<std::string> second = Column(1);
    const korvanta::grid::InputTexts fields; // the input boxes, empty
    EditHistory history;
    history.Start(Column(0), second, fields, {});
    history.Record(Column(3), second, fields, {});
    for (auto _ : state) {
        benchmark::DoNotOptimize(history.Undo());
        benchmark::DoNotOptimize(history.Redo());
    }
}
BENCHMARK(BmUndoRedoImport)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
