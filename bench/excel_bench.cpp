// Import and export of 32,767 rows, the grid's largest store, in both
// workbook formats. The reads use LibreOffice's files from tests/data (and
// one file of our own export); the writes go to a scratch folder removed at
// the end.
#include "delimited/delimitedtext.h"
#include "excel/sheets.h"
#include "excel/workbook.h"
#include "grid/pasteblock.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using korvanta::excel::ReadFirstSheet;

constexpr int kRows = 32767;

std::filesystem::path DataFile(const char* name) { return std::filesystem::path(KORVANTA_TEST_DATA) / name; }

// Two columns as the grid holds them: whole numbers, decimals, some text.
const std::vector<std::string>& Column(int which)
{
    static const auto columns = [] {
        std::vector<std::vector<std::string>> c(2);
        for (int i = 1; i <= kRows; ++i) {
            c[0].push_back(std::to_string(i));
            c[1].push_back(i % 50 == 0 ? "缺失" : std::to_string(i * 0.37).substr(0, 7));
        }
        return c;
    }();
    return columns[static_cast<std::size_t>(which)];
}

class ScratchFolder {
public:
    ScratchFolder()
        : path_(std::filesystem::temp_directory_path() / ("korvanta-excel-bench-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::filesystem::path File(const char* name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

void Read(benchmark::State& state, const std::filesystem::path& path)
{
    for (auto _ : state) {
        auto result = ReadFirstSheet(path);
        if (!result.Ok() || result.rows.size() != kRows) state.SkipWithError("the workbook did not read back");
        benchmark::DoNotOptimize(result);
    }
}

template <typename Writer>
void Write(benchmark::State& state, const char* name, Writer write)
{
    ScratchFolder folder;
    const auto path = folder.File(name);
    for (auto _ : state) {
        const auto result = write(path, Column(0), Column(1));
        if (!result.Ok()) state.SkipWithError(result.detail.c_str());
    }
}

void BmReadXls32767(benchmark::State& state) { Read(state, DataFile("lo_rows32767.xls")); }
void BmReadXlsx32767(benchmark::State& state) { Read(state, DataFile("lo_rows32767.xlsx")); }

// LibreOffice spells out every cell's style and type; Excel and
// libxlsxwriter write about half as much XML for the same cells.
void BmReadXlsx32767Lean(benchmark::State& state)
{
    ScratchFolder folder;
    const auto path = folder.File("lean.xlsx");
    if (!korvanta::excel::WriteXlsx(path, Column(0), Column(1)).Ok()) state.SkipWithError("cannot write the file");
    Read(state, path);
}
// Files the import refuses, or reads only as far as its limits: each is
// meant to end within 1 s and to raise the process's peak by under 200 MB
// (the counter peak_MiB is the peak after the run).
void Refuse(benchmark::State& state, const char* name)
{
    const auto path = std::filesystem::path(KORVANTA_TEST_DATA) / "hostile" / name;
    for (auto _ : state) {
        const korvanta::excel::DataFile file(path);
        for (std::size_t k = 0; k < file.SheetNames().size(); ++k) benchmark::DoNotOptimize(file.ReadSheet(k));
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK_CAPTURE(Refuse, rows_1048576_dense, "rows_1048576_dense.xlsx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Refuse, repeated_long_text, "repeated_long_text.ods")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Refuse, shared_long_string_rows, "shared_long_string_rows.xlsx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Refuse, repeat_marks, "repeat_marks.ods")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Refuse, zip_bomb, "zip_bomb.xlsx")->Unit(benchmark::kMillisecond);

// Text files and pastes whose cost once grew faster than their length: a
// line of N commas over N lines of "1", N lines of "1" (up to 64 MiB), and
// "1," N times on one line. Each is refused at a limit while it is read; the
// fitted complexity (BigO) should come out as N, with peak_MiB under 200
// above the process's start.
std::string WideLineOverRows(std::size_t n)
{
    return std::string(n, ',') + '\n' + [&] {
        std::string rows;
        rows.reserve(2 * n);
        for (std::size_t k = 0; k < n; ++k) rows += "1\n";
        return rows;
    }();
}
std::string OnesLines(std::size_t n)
{
    std::string text;
    text.reserve(2 * n);
    for (std::size_t k = 0; k < n; ++k) text += "1\n";
    return text;
}
std::string OneLongLine(std::size_t n)
{
    std::string text;
    text.reserve(2 * n);
    for (std::size_t k = 0; k < n; ++k) text += "1,";
    return text;
}

void PeakCounter(benchmark::State& state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void ReadTextShape(benchmark::State& state, std::string (*shape)(std::size_t))
{
    ScratchFolder folder;
    const auto path = folder.File("shape.csv");
    {
        const std::string text = shape(static_cast<std::size_t>(state.range(0)));
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    for (auto _ : state) {
        const auto result = korvanta::excel::ReadSheet(path, 0);
        if (result.Ok()) state.SkipWithError("a shape past the limits was read");
        benchmark::DoNotOptimize(result);
    }
    state.SetComplexityN(state.range(0));
    PeakCounter(state);
}

void PasteTextShape(benchmark::State& state, std::string (*shape)(std::size_t))
{
    const std::string text = shape(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const auto block = korvanta::delimited::ParseDelimitedText(text, korvanta::grid::PasteLimits());
        if (block.fault.problem == korvanta::delimited::TextProblem::None)
            state.SkipWithError("a shape past the limits was read");
        benchmark::DoNotOptimize(block);
    }
    state.SetComplexityN(state.range(0));
    PeakCounter(state);
}

BENCHMARK_CAPTURE(ReadTextShape, wide_line_over_rows, WideLineOverRows)
    ->Arg(100000)
    ->Arg(200000)
    ->Arg(1000000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadTextShape, ones_lines, OnesLines)
    ->Arg(4 << 20)
    ->Arg(8 << 20)
    ->Arg(16 << 20)
    ->Arg(32 << 20)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadTextShape, one_long_line, OneLongLine)
    ->Arg(4 << 20)
    ->Arg(8 << 20)
    ->Arg(16 << 20)
    ->Arg(30 << 20)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PasteTextShape, wide_line_over_rows, WideLineOverRows)
    ->Arg(100000)
    ->Arg(200000)
    ->Arg(1000000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PasteTextShape, one_long_line, OneLongLine)
    ->Arg(1 << 20)
    ->Arg(2 << 20)
    ->Arg(4 << 20)
    ->Arg(8 << 20)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void BmWriteXls32767(benchmark::State& state) { Write(state, "out.xls", korvanta::excel::WriteXls); }
void BmWriteXlsx32767(benchmark::State& state) { Write(state, "out.xlsx", korvanta::excel::WriteXlsx); }

BENCHMARK(BmReadXls32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BmReadXlsx32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BmReadXlsx32767Lean)->Unit(benchmark::kMillisecond);
BENCHMARK(BmWriteXls32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BmWriteXlsx32767)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
