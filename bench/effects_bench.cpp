// Speed of the software effects at 640 x 480 against a plain memset of the same 614 400 bytes
// in the same run, and of the start-up tables. Compare the per-iteration times as ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "display/display.h"
#include "display/frame_buffer.h"
#include "effects/effects.h"
#include "effects/tables.h"

namespace {

constexpr size_t ScreenBytes = 640 * 480 * 2;

// A back buffer of the display's usual pitch, published through FrameBuffer as a lock would.
WORD* Screen() {
    static std::vector<WORD> words(ScreenBytes / 2);
    FrameBuffer.lPitch = 1280;
    FrameBuffer.lpSurface = words.data();
    return words.data();
}

// A folder holding a full texture file, written once, so that the texture conversion is part
// of what BM_BuildLookupTables measures.
const std::filesystem::path& TextureFolder() {
    static const std::filesystem::path dir = [] {
        namespace fs = std::filesystem;
        const fs::path d = fs::temp_directory_path() / "zelk6-effects-bench";
        fs::create_directories(d / "images");
        if (FILE* f = std::fopen((d / "images" / "screen1tex.raw").c_str(), "wb")) {
            std::vector<unsigned char> bytes(256 * 256 * 3);
            for (size_t i = 0; i < bytes.size(); i++) bytes[i] = static_cast<unsigned char>(i * 7);
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return d;
    }();
    return dir;
}

// Runs the show's relative paths from the texture folder for the life of the object.
struct InTextureFolder {
    InTextureFolder() : previous(std::filesystem::current_path()) { std::filesystem::current_path(TextureFolder()); }
    ~InTextureFolder() { std::filesystem::current_path(previous); }
    std::filesystem::path previous;
};

void PrepareTables() {
    static bool built = false;
    if (!built) {
        IsRgb555 = 0;
        InTextureFolder in;
        BuildLookupTables();
        built = true;
    }
}

// t steps through the segment so each iteration draws a different frame, as the show does.
float NextTime(float& t) {
    t += 0.5f;
    if (t >= 300.0f) t = 0.0f;
    return t;
}

void BM_Memset(benchmark::State& state) {
    WORD* pixels = Screen();
    int value = 0;
    for (auto _ : state) {
        std::memset(pixels, value++ & 0xFF, ScreenBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * ScreenBytes);
}
BENCHMARK(BM_Memset);

void BM_DrawWaveEdge(benchmark::State& state) {
    PrepareTables();
    WORD* pixels = Screen();
    float t = 0.0f;
    for (auto _ : state) {
        DrawWaveEdge(pixels, NextTime(t));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * ScreenBytes);
}
BENCHMARK(BM_DrawWaveEdge);

void BM_DrawTunnel(benchmark::State& state) {
    PrepareTables();
    WORD* pixels = Screen();
    float t = 0.0f;
    for (auto _ : state) {
        DrawTunnel(pixels, NextTime(t));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * ScreenBytes);
}
BENCHMARK(BM_DrawTunnel);

void BM_DrawFigureFrame(benchmark::State& state) {
    PrepareTables();
    WORD* pixels = Screen();
    float t = 0.0f;
    for (auto _ : state) {
        DrawFigureFrame(pixels, NextTime(t));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * ScreenBytes);
}
BENCHMARK(BM_DrawFigureFrame);

// The two halves of a figure frame, to see where its time goes.
void BM_DrawWireFigure(benchmark::State& state) {
    float t = 0.0f;
    for (auto _ : state) {
        DrawWireFigure(NextTime(t));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawWireFigure);

void BM_BuildLookupTables(benchmark::State& state) {
    IsRgb555 = 0;
    InTextureFolder in;
    for (auto _ : state) BuildLookupTables();
}
BENCHMARK(BM_BuildLookupTables)->Unit(benchmark::kMillisecond);

}  // namespace
