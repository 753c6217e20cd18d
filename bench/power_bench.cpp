// One recomputation of the sample size and power section, which the details
// window does on every keystroke while it is open: the size search, the
// power of the data and the curve. A common effect, a small one (a size in
// the hundreds of thousands, the noncentral t at large df) and one too
// small for any study (the search runs to its limit). Goal: well under
// 50 ms, so that typing stays fluid with the window open.
#include "stats/power.h"

#include <benchmark/benchmark.h>

namespace {

using korvanta::stats::power::Effect;
using korvanta::stats::power::MakePlan;
using korvanta::stats::power::Test;

void Plan(benchmark::State& state, Test test, Effect effect)
{
    for (auto _ : state) benchmark::DoNotOptimize(MakePlan(test, effect, 0.05, 0.8));
}

BENCHMARK_CAPTURE(Plan, TwoSampleCommon, Test::TwoSample, Effect{-2.0, 2.0, 1.0, 10.0, 10.0})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Plan, TwoSampleSmall, Test::TwoSample, Effect{0.01, 1.0, 1.0, 16000.0, 16000.0})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Plan, TwoSampleTooSmall, Test::TwoSample, Effect{1e-4, 1.0, 1.0, 10.0, 10.0})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Plan, PairedCommon, Test::Paired, Effect{2.2, 1.9, {}, 5.0, {}})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Plan, FourFold, Test::FourFold, Effect{0.3, 0.1, 1.5, 40.0, 60.0})->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
