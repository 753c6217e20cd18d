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

void BM_RecordTypedCell(benchmark::State& state)
{
    std::vector<std::string> first = Column(0);
    const std::vector<std::string> second = Column(1);
    const std::vector<std::string> fields(10);
    EditHistory history;
    history.start(first, second, fields, {});
    int n = 0;
    for (auto _ : state) {
        first[16000] = std::to_string(++n);
        benchmark::DoNotOptimize(history.record(first, second, fields, {1, 15995}));
    }
}
BENCHMARK(BM_RecordTypedCell)->Unit(benchmark::kMicrosecond);

void BM_RecordImport(benchmark::State& state)
{
    const std::vector<std::string> columns[2] = {Column(0), Column(3)};
    const std::vector<std::string> second = Column(1);
    const std::vector<std::string> fields(10);
    EditHistory history;
    history.start(columns[0], second, fields, {});
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(history.record(columns[++n % 2], second, fields, {}));
}
BENCHMARK(BM_RecordImport)->Unit(benchmark::kMillisecond);

void BM_UndoRedoImport(benchmark::State& state)
{
    const std::vector<std::string> second = Column(1);
    const std::vector<std::string> fields(10);
    EditHistory history;
    history.start(Column(0), second, fields, {});
    history.record(Column(3), second, fields, {});
    for (auto _ : state) {
        benchmark::DoNotOptimize(history.undo());
        benchmark::DoNotOptimize(history.redo());
    }
}
BENCHMARK(BM_UndoRedoImport)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
