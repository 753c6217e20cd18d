// Start-up: from starting the process to the main window shown, and the
// process's peak memory. Each run starts korvanta-driver (the real window,
// offscreen, with the program's fonts) on a one-line script that prints the
// focused control: its first output comes once the window has been built,
// shown and its events handled. The run then ends, and wait4's resource
// use gives the peak resident memory of that process alone.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Run {
    double shownSeconds = 0; // start to first output
    double exitSeconds = 0;  // start to the process's end
    double peakMiB = 0;
    bool ok = false;
};

Run StartDriver()
{
    using Clock = std::chrono::steady_clock;
    Run run;
    int script[2], output[2];
    if (::pipe(script) != 0 || ::pipe(output) != 0) return run;
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid < 0) return run;
    if (pid == 0) {
        ::dup2(script[0], STDIN_FILENO);
        ::dup2(output[1], STDOUT_FILENO);
        for (int fd : {script[0], script[1], output[0], output[1]}) ::close(fd);
        ::execl(KORVANTA_DRIVER, KORVANTA_DRIVER, static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    ::close(script[0]);
    ::close(output[1]);
    const char line[] = "print focus\n";
    const bool sent = ::write(script[1], line, sizeof line - 1) == static_cast<ssize_t>(sizeof line - 1);
    ::close(script[1]);
    char buffer[256];
    ssize_t n = 0;
    bool first = true;
    while ((n = ::read(output[0], buffer, sizeof buffer)) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        if (first) run.shownSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        first = false;
    }
    ::close(output[0]);
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {}
    run.exitSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
    run.ok = sent && !first && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

void BmStartUp(benchmark::State& state)
{
    double peak = 0, exitTotal = 0;
    for (auto _ : state) {
        const Run run = StartDriver();
        if (!run.ok) return state.SkipWithError("korvanta-driver did not start and print");
        state.SetIterationTime(run.shownSeconds);
        peak = std::max(peak, run.peakMiB);
        exitTotal += run.exitSeconds;
    }
    state.counters["peak_MiB"] = peak;
    state.counters["to_exit_ms"] = 1000.0 * exitTotal / static_cast<double>(state.iterations());
}

BENCHMARK(BmStartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    // The driver picks offscreen itself; a display in the environment is not needed.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
