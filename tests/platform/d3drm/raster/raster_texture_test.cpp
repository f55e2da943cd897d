// Textures: perspective-correct mapping, modulation by the lit colour, tiling, the mip chain the
// builder makes, and which level a face picks.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/platform/d3drm/raster/raster_test_support.h"

using namespace rastertest;

namespace {

const RasterViewport kVp{0, 0, 64, 48};

// A 64x1 ramp: texel i has red 4i.
RasterTexture Ramp() {
    std::vector<uint32_t> picture(64);
    for (int i = 0; i < 64; ++i) picture[i] = static_cast<uint32_t>(4 * i) << 16;
    RasterTexture t;
    EXPECT_TRUE(RasterBuildTexture(t, picture.data(), 64, 1, 64));
    return t;
}

// A wall from camera (x -1, depth 1) to (x 1, depth 4), rows -0.5..0.5 at depth 1; u runs 0..1
// from left to right (times `tiles`).
void Wall(GuardedTarget& t, const RasterState& s, float tiles = 1, float colour = 1) {
    auto v = [&](float x, float y, float depth, float u) {
        RasterVertex r;
        r.x = x, r.y = y, r.w = depth, r.z = 0.5f * depth;
        r.u = u * tiles, r.v = 0.5f;
        r.r = r.g = r.b = colour;
        return r;
    };
    RasterVertex a = v(-1, 0.5f, 1, 0), b = v(1, 2.0f, 4, 1), c = v(1, -2.0f, 4, 1), d = v(-1, -0.5f, 1, 0);
    RasterVertex t1[3] = {a, b, c}, t2[3] = {a, c, d};
    RasterTriangle(t.target, kVp, s, t1);
    RasterTriangle(t.target, kVp, s, t2);
}

// The texel the wall shows at pixel column px (centre px + 0.5): on screen x/w = (px + 0.5 - 32)/32,
// along the wall x = -1 + 2t, w = 1 + 3t.
int ExpectedTexel(int px, double tiles = 1) {
    double sx = (px + 0.5 - 32) / 32.0;
    double t = (1 + sx) / (2 - 3 * sx);
    return static_cast<int>(std::floor(t * tiles * 64)) & 63;
}

TEST(RasterTexture, PerspectiveCorrectAlongARecedingWall) {
    RasterTexture ramp = Ramp();
    RasterState s = Solid();
    s.texture = &ramp;
    GuardedTarget t(64, 48);
    Wall(t, s);
    // Column 32 is the wall's middle in depth only on screen; the texture is already past its
    // middle there (affine mapping would give texel 51, not 33).
    // Every column, not just a few: the divide may be spread over runs of pixels, and a run's
    // middle is where a linear step strays most.
    for (int px = 1; px <= 38; ++px) {
        int texel = ExpectedTexel(px);
        int red = t.At(px, 24) >> 11;
        EXPECT_NEAR(red, (4 * texel) >> 3, 1) << "column " << px << " texel " << texel;
    }
    EXPECT_EQ(ExpectedTexel(32), 33);
    EXPECT_EQ(t.At(32, 24) >> 11, (4 * 33) >> 3);

    // Lit colour 0.5 halves the texel; tiling three times repeats the ramp.
    GuardedTarget half(64, 48), tiled(64, 48);
    Wall(half, s, 1, 0.5f);
    EXPECT_NEAR(half.At(32, 24) >> 11, (4 * 33 / 2) >> 3, 1);
    Wall(tiled, s, 3);
    for (int px : {5, 20, 33})
        EXPECT_NEAR(tiled.At(px, 24) >> 11, (4 * ExpectedTexel(px, 3)) >> 3, 1) << "column " << px;
    // Far left of the wall, just past a tile seam, the ramp starts again dark.
    EXPECT_TRUE(half.GuardsIntact() && tiled.GuardsIntact() && t.GuardsIntact());
}

TEST(RasterTexture, BuilderMakesPowerOfTwoLevelsDownToOneTexel) {
    // 3x5 -> 4x8: nearest texels of the picture, then box-averaged levels 2x4, 1x2, 1x1.
    std::vector<uint32_t> picture(4 * 5, 0xdeadbeef);  // pitch 4, last column padding
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x) picture[y * 4 + x] = 0xff000000u | static_cast<uint32_t>(x * 40 + y * 10) << 8;
    RasterTexture t;
    ASSERT_TRUE(RasterBuildTexture(t, picture.data(), 3, 5, 4));
    ASSERT_EQ(t.levelCount, 4);
    EXPECT_EQ(t.levels[0].width, 4);
    EXPECT_EQ(t.levels[0].height, 8);
    EXPECT_EQ(t.levels[0].widthShift, 2);
    EXPECT_EQ(t.levels[3].width, 1);
    EXPECT_EQ(t.levels[3].height, 1);
    // Level 0 (x, y) is picture (x*3/4, y*5/8); the alpha byte is dropped.
    EXPECT_EQ(t.levels[0].texels[7 * 4 + 3], static_cast<uint32_t>(2 * 40 + 4 * 10) << 8);
    EXPECT_EQ(t.levels[0].texels[1 * 4 + 1], 0u);
    // Level 1 (0, 0) averages level 0 (0..1, 0..1): greens 0, 0, 0, 0 -> and (1, 0): 40,80,40,80.
    EXPECT_EQ(t.levels[1].texels[1], 60u << 8);
    // The single last texel is the rounded mean of the level above.
    uint32_t a = t.levels[2].texels[0] >> 8, b = t.levels[2].texels[1] >> 8;
    EXPECT_EQ(t.levels[3].texels[0], ((a + b + 1) / 2) << 8);

    // A copy keeps working after the original is gone.
    RasterTexture copy;
    {
        RasterTexture original = t;
        copy = original;
    }
    EXPECT_EQ(copy.levels[1].texels[1], 60u << 8);
    EXPECT_NE(copy.levels[0].texels, t.levels[0].texels);

    RasterTexture bad;
    EXPECT_FALSE(RasterBuildTexture(bad, nullptr, 4, 4, 4));
    EXPECT_FALSE(RasterBuildTexture(bad, picture.data(), 0, 4, 4));
    EXPECT_FALSE(RasterBuildTexture(bad, picture.data(), 4, 4, 3));
    EXPECT_EQ(bad.levelCount, 0);
}

// An 8x8 texture whose four levels are solid red, green, blue and white, built by hand.
struct LevelColours {
    RasterTexture tex;
    LevelColours() {
        const uint32_t colours[4] = {0xff0000, 0x00ff00, 0x0000ff, 0xffffff};
        tex.storage.resize(64 + 16 + 4 + 1);
        size_t offset = 0;
        for (int k = 0, side = 8; k < 4; ++k, side /= 2) {
            std::fill(tex.storage.begin() + offset, tex.storage.begin() + offset + side * side, colours[k]);
            tex.levels[k] = RasterTextureLevel{side, side, 3 - k, tex.storage.data() + offset};
            offset += side * side;
        }
        tex.levelCount = 4;
    }
};

uint16_t SquareColour(const RasterTexture& tex, RasterFilter filter, double side) {
    GuardedTarget t(64, 48);
    RasterState s = Solid();
    s.texture = &tex;
    s.filter = filter;
    auto v = [&](double x, double y, float u, float vv) {
        RasterVertex r = At(kVp, 10 + x, 10 + y);
        r.u = u, r.v = vv;
        return r;
    };
    RasterVertex t1[3] = {v(0, 0, 0, 0), v(side, 0, 1, 0), v(side, side, 1, 1)};
    RasterVertex t2[3] = {v(0, 0, 0, 0), v(side, side, 1, 1), v(0, side, 0, 1)};
    RasterTriangle(t.target, kVp, s, t1);
    RasterTriangle(t.target, kVp, s, t2);
    return t.At(10, 10);
}

TEST(RasterTexture, MipLevelIsTheClosestToOneTexelPerPixel) {
    LevelColours lc;
    const uint16_t red = 0xF800, green = 0x07E0, blue = 0x001F, white = 0xFFFF;
    // 8 texels over `side` pixels: level log2(8/side), rounded.
    EXPECT_EQ(SquareColour(lc.tex, kRasterMipNearest, 16), red);  // magnified
    EXPECT_EQ(SquareColour(lc.tex, kRasterMipNearest, 8), red);
    EXPECT_EQ(SquareColour(lc.tex, kRasterMipNearest, 6), red);    // log2(1.33) = 0.42
    EXPECT_EQ(SquareColour(lc.tex, kRasterMipNearest, 5), green);  // log2(1.6) = 0.68
    EXPECT_EQ(SquareColour(lc.tex, kRasterMipNearest, 4), green);
    EXPECT_EQ(SquareColour(lc.tex, kRasterMipNearest, 2), blue);
    EXPECT_EQ(SquareColour(lc.tex, kRasterMipNearest, 1), white);
    EXPECT_EQ(SquareColour(lc.tex, kRasterNearest, 2), red);  // no mipmapping: level 0 always

    EXPECT_EQ(RasterFilterForTextureQuality(0), kRasterNearest);
    EXPECT_EQ(RasterFilterForTextureQuality(1), kRasterNearest);
    for (int q = 2; q <= 5; ++q) EXPECT_EQ(RasterFilterForTextureQuality(q), kRasterMipNearest);
    EXPECT_EQ(RasterFilterForTextureQuality(-1), kRasterNearest);
    EXPECT_EQ(RasterFilterForTextureQuality(6), kRasterNearest);
}

}  // namespace
