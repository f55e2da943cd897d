// Speed of the SDL host's scaling step (the picture fitted to a 1920x1080 window and shown) in
// each mode, on SDL's software renderer under the dummy video driver, against a memset of the
// 640x480 16-bit frame in the same run. Compare the per-iteration times as ratios.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/host/sdl/sdl_host.h"
#include "platform/host/sdl/sdl_window.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

void BM_PresentFrameMemset(benchmark::State& state) {
    std::vector<uint16_t> frame(kWidth * kHeight);
    int value = 0;
    for (auto _ : state) {
        std::memset(frame.data(), value++ & 0xFF, frame.size() * 2);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PresentFrameMemset);

// A 1920x1080 window on the software renderer showing a frame of the show's size, in the mode
// and filter given; the settings are read when the display opens, so each case opens its own.
void BM_ScaleTo1080(benchmark::State& state, const char* mode, const char* filter) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_RENDER_DRIVER", "software", 1);
    setenv("ZELK6_SCALE", mode, 1);
    setenv("ZELK6_FILTER", filter, 1);
    std::string why;
    if (!SdlOpenDisplay(-1, kWidth, kHeight, why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    SDL_SetWindowSize(SdlDisplayWindow(), 1920, 1080);
    std::vector<uint16_t> frame(kWidth * kHeight);
    for (size_t i = 0; i < frame.size(); i++) frame[i] = static_cast<uint16_t>(i * 37);
    SdlPresent(frame.data(), kWidth, kHeight, kWidth * 2, false);
    for (auto _ : state) SdlDrawFrame();
    SdlCloseDisplay();
    for (const char* name : {"SDL_RENDER_DRIVER", "ZELK6_SCALE", "ZELK6_FILTER"}) unsetenv(name);
}
BENCHMARK_CAPTURE(BM_ScaleTo1080, aspect_sharp, "aspect", "sharp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScaleTo1080, aspect_nearest, "aspect", "nearest")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScaleTo1080, aspect_linear, "aspect", "linear")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScaleTo1080, integer, "integer", "sharp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScaleTo1080, stretch_sharp, "stretch", "sharp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScaleTo1080, stretch_linear, "stretch", "linear")->Unit(benchmark::kMillisecond);

}  // namespace
