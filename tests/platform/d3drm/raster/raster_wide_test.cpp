// The wide span loop (16 pixels a step) draws exactly what the plain one draws: random triangles,
// clipped, perspective-textured, lit, with specular, in every depth mode, layout and dither.
#include <gtest/gtest.h>

#include <random>

#include "platform/d3drm/raster/raster_span.h"
#include "tests/platform/d3drm/raster/raster_test_support.h"

using namespace rastertest;

namespace {

const RasterViewport kVp{0, 0, 160, 120};

RasterTexture Checker() {
    std::vector<uint32_t> picture(64 * 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            picture[y * 64 + x] = static_cast<uint32_t>((x * 37 + y * 91) & 0xff) << 16 |
                                  static_cast<uint32_t>((x ^ y) * 8 & 0xff) << 8 | static_cast<uint32_t>(y * 8);
    RasterTexture t;
    EXPECT_TRUE(RasterBuildTexture(t, picture.data(), 64, 32, 64));
    return t;
}

// Draws the same random triangles with the wide loop allowed or not.
void Draw(GuardedTarget& target, const RasterState& state, bool wide, bool specular, unsigned seed) {
    raster::AllowWideSpans(wide);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> pos(-1.6f, 1.6f), w(0.3f, 5.0f), unit(0.f, 1.f), uv(-3.f, 3.f);
    for (int i = 0; i < 150; ++i) {
        RasterVertex v[3];
        for (RasterVertex& p : v) {
            float pw = w(rng);
            p.x = pos(rng) * pw, p.y = pos(rng) * pw, p.w = pw, p.z = unit(rng) * pw;
            p.r = unit(rng), p.g = unit(rng), p.b = unit(rng);
            if (specular) p.sr = unit(rng), p.sg = unit(rng), p.sb = unit(rng);
            p.u = uv(rng), p.v = uv(rng);
        }
        RasterTriangle(target.target, kVp, state, v);
    }
    raster::AllowWideSpans(true);
}

}  // namespace

TEST(RasterWideSpans, DrawTheSamePixelsAsThePlainLoop) {
    if (!raster::HasWideSpans()) GTEST_SKIP() << "this processor has no wide span loop";
    const RasterTexture texture = Checker();
    unsigned seed = 1;
    for (bool textured : {false, true})
        for (bool specular : {false, true})
            for (int depthMode = 0; depthMode < 4; ++depthMode)
                for (bool rgb555 : {false, true}) {
                    RasterState state = Solid(seed % 3 == 0 ? kRasterFlat : kRasterGouraud);
                    state.texture = textured ? &texture : nullptr;
                    state.filter = seed % 2 ? kRasterMipNearest : kRasterNearest;
                    state.dither = seed % 2 == 0;
                    state.zTest = depthMode & 1;
                    state.zWrite = depthMode & 2;
                    SCOPED_TRACE(testing::Message() << "textured " << textured << " specular " << specular
                                                    << " depth mode " << depthMode << " 555 " << rgb555);
                    GuardedTarget plain(kVp.width, kVp.height, rgb555), wide(kVp.width, kVp.height, rgb555);
                    Draw(plain, state, false, specular, seed);
                    Draw(wide, state, true, specular, seed);
                    EXPECT_TRUE(wide.GuardsIntact());
                    EXPECT_EQ(wide.pixels, plain.pixels);
                    EXPECT_EQ(wide.depth, plain.depth);
                    EXPECT_LT(plain.Count(0), kVp.width * kVp.height / 2);  // much was drawn
                    ++seed;
                }
}
