// Rasterizer speed: a 640x480 frame of 10,000 lit, textured, Gouraud-shaded triangles against
// a memset of the same 614,400-byte frame in the same run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/d3drm/raster/raster.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

struct Frame {
    std::vector<uint16_t> pixels = std::vector<uint16_t>(kWidth * kHeight);
    std::vector<uint16_t> depth = std::vector<uint16_t>(kWidth * kHeight);
    RasterTarget target;
    RasterViewport vp{0, 0, kWidth, kHeight};
    RasterTexture texture;
    std::vector<RasterVertex> triangles;  // three vertices each

    Frame() {
        target.pixels = pixels.data();
        target.pitch = kWidth * 2;
        target.width = kWidth;
        target.height = kHeight;
        target.zbuffer = depth.data();
        target.zpitch = kWidth * 2;
        std::vector<uint32_t> picture(256 * 256);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                picture[y * 256 + x] = ((x ^ y) & 16) ? 0xe0c0a0u : static_cast<uint32_t>(x << 16 | y << 8 | 0x40);
        RasterBuildTexture(texture, picture.data(), 256, 256, 256);

        // A 100 x 50 grid of quads over the whole view, gently curved in depth (w 1.5..2.5) so
        // the perspective divide and several mip levels are exercised; two triangles per quad.
        constexpr int kCols = 100, kRows = 50;
        const float s = 320.f;
        auto vertex = [&](int i, int j) {
            float px = kWidth * float(i) / kCols, py = kHeight * float(j) / kRows;
            float w = 2.0f + 0.5f * std::sin(i * 0.11f) * std::cos(j * 0.17f);
            RasterVertex v;
            v.x = (px - 320.f) / s * w;
            v.y = -(py - 240.f) / s * w;
            v.w = w;
            v.z = (w - 1.0f) * 0.5f * w;  // z/w = (w - 1)/2: 0.25..0.75
            v.r = 0.4f + 0.6f * float(i) / kCols;
            v.g = 0.3f + 0.7f * float(j) / kRows;
            v.b = 0.8f;
            v.u = float(i) / 10.f;
            v.v = float(j) / 10.f;
            return v;
        };
        for (int j = 0; j < kRows; ++j)
            for (int i = 0; i < kCols; ++i) {
                RasterVertex a = vertex(i, j), b = vertex(i + 1, j), c = vertex(i + 1, j + 1), d = vertex(i, j + 1);
                triangles.insert(triangles.end(), {a, b, c, a, c, d});
            }
    }
};

void BM_RasterTexturedGouraudFrame(benchmark::State& st) {
    Frame f;
    RasterState s;
    s.texture = &f.texture;
    s.filter = kRasterMipNearest;
    s.dither = true;
    for (auto _ : st) {
        RasterClearViewport(f.target, f.vp, 0, true);
        for (size_t i = 0; i < f.triangles.size(); i += 3) RasterTriangle(f.target, f.vp, s, &f.triangles[i]);
        benchmark::DoNotOptimize(f.pixels.data());
        benchmark::ClobberMemory();
    }
    st.counters["triangles"] = static_cast<double>(f.triangles.size() / 3);
}
BENCHMARK(BM_RasterTexturedGouraudFrame)->Unit(benchmark::kMillisecond);

void BM_RasterFrameMemset(benchmark::State& st) {
    std::vector<uint16_t> pixels(kWidth * kHeight);
    for (auto _ : st) {
        std::memset(pixels.data(), 0, kWidth * kHeight * 2);  // 614,400 bytes
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RasterFrameMemset)->Unit(benchmark::kMillisecond);

}  // namespace
