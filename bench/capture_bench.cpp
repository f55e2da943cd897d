// The whole show through the capture tool, as a user runs it: 100 s of show at 60 frames a
// second. The counter "x_real_time" is the show's length over the wall time of one run.
#include <benchmark/benchmark.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

namespace {

void RunCapture(benchmark::State& state, const std::string& arguments, const std::string& cleanup) {
    const std::string command = std::string("'") + ZELK6_CAPTURE + "' --data '" + ZELK6_BUILTIN_DATA + "' " +
                                arguments + " >/dev/null 2>&1";
    for (auto _ : state) {
        const int status = std::system(command.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("the capture failed");
        state.PauseTiming();
        if (!cleanup.empty()) std::system(cleanup.c_str());
        state.ResumeTiming();
    }
    // 100 000 ms of show per run.
    state.counters["x_real_time"] =
        benchmark::Counter(100.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_WholeShowFramesDiscarded(benchmark::State& state) { RunCapture(state, "", ""); }
void BM_WholeShowAsPng(benchmark::State& state) {
    RunCapture(state, "--format png --out /tmp/zelk6-bench-png", "rm -rf /tmp/zelk6-bench-png");
}
void BM_WholeShowAsVideo(benchmark::State& state) {
    if (std::system("ffmpeg -version >/dev/null 2>&1") != 0) {
        state.SkipWithError("ffmpeg is not installed");
        return;
    }
    RunCapture(state, "--video /tmp/zelk6-bench.mp4", "rm -f /tmp/zelk6-bench.mp4");
}

}  // namespace

BENCHMARK(BM_WholeShowFramesDiscarded)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_WholeShowAsPng)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_WholeShowAsVideo)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
