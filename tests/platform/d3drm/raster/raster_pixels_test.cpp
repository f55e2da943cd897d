// Pixel formats, ordered dither, clearing, and wireframe edges and points.
#include <gtest/gtest.h>

#include "tests/platform/d3drm/raster/raster_test_support.h"

using namespace rastertest;

namespace {

const RasterViewport kVp{0, 0, 64, 48};

void Triangle(GuardedTarget& t, const RasterState& s, float r, float g, float b) {
    RasterVertex v[3] = {Coloured(At(kVp, 2, 2), r, g, b), Coloured(At(kVp, 60, 2), r, g, b),
                         Coloured(At(kVp, 2, 44), r, g, b)};
    RasterTriangle(t.target, kVp, s, v);
}

TEST(RasterPixels, PacksFiveSixFiveAndFiveFiveFive) {
    EXPECT_EQ(RasterPack(255, 255, 255, false), 0xFFFF);
    EXPECT_EQ(RasterPack(255, 255, 255, true), 0x7FFF);
    EXPECT_EQ(RasterPack(255, 128, 64, false), (31 << 11) | (32 << 5) | 8);
    EXPECT_EQ(RasterPack(255, 128, 64, true), (31 << 10) | (16 << 5) | 8);
    EXPECT_EQ(RasterPackRGB(0xff00ff00, false), 0x07E0);  // the top byte does not leak in
    EXPECT_EQ(RasterPackRGB(0x00ff0000, true), 0x7C00);

    // Drawn faces use the target's layout: white, and lit colour (1, 0.5, 0.25) = (255, 127, 63).
    GuardedTarget t565(64, 48, false), t555(64, 48, true);
    Triangle(t565, Solid(), 1, 1, 1);
    Triangle(t555, Solid(), 1, 1, 1);
    EXPECT_EQ(t565.At(10, 10), 0xFFFF);
    EXPECT_EQ(t555.At(10, 10), 0x7FFF);
    Triangle(t565, Solid(), 1, 0.5f, 0.25f);
    Triangle(t555, Solid(), 1, 0.5f, 0.25f);
    EXPECT_EQ(t565.At(10, 10), RasterPack(255, 127, 63, false));
    EXPECT_EQ(t555.At(10, 10), RasterPack(255, 127, 63, true));
}

TEST(RasterPixels, DitherSpreadsTheDroppedBitsAndKeepsBlackAndWhite) {
    for (bool rgb555 : {false, true}) {
        GuardedTarget off(64, 48, rgb555), on(64, 48, rgb555);
        RasterState s = Solid();
        Triangle(off, s, 0.5f, 0.5f, 0.5f);  // 127 in 8 bits
        s.dither = true;
        Triangle(on, s, 0.5f, 0.5f, 0.5f);
        EXPECT_EQ(off.At(8, 8), RasterPack(127, 127, 127, rgb555));
        EXPECT_EQ(off.At(9, 8), off.At(8, 8));
        // Over a 4x4 block the mean of the 5-bit red is 127/8, not the truncated 15.
        int sum = 0;
        bool varies = false;
        for (int y = 8; y < 12; ++y)
            for (int x = 8; x < 12; ++x) {
                sum += on.At(x, y) >> (rgb555 ? 10 : 11);
                varies = varies || on.At(x, y) != on.At(8, 8);
            }
        EXPECT_TRUE(varies);
        EXPECT_EQ(sum, 127 * 16 / 8);
        // The pattern repeats every four pixels.
        EXPECT_EQ(on.At(9, 9), on.At(13, 13));

        GuardedTarget black(64, 48, rgb555), white(64, 48, rgb555);
        Triangle(black, s, 0, 0, 0);
        Triangle(white, s, 1, 1, 1);
        for (int y = 2; y < 12; ++y)
            for (int x = 2; x < 12; ++x) {
                EXPECT_EQ(black.At(x, y), 0);
                EXPECT_EQ(white.At(x, y), rgb555 ? 0x7FFF : 0xFFFF);
            }
    }
}

TEST(RasterPixels, ClearFillsOnlyTheViewport) {
    GuardedTarget t(64, 48);
    t.Fill(0x1234, 0x0101);
    RasterClearViewport(t.target, RasterViewport{60, -5, 20, 10}, 0xBEEF, true);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            bool in = x >= 60 && y < 5;
            ASSERT_EQ(t.At(x, y), in ? 0xBEEF : 0x1234);
            ASSERT_EQ(t.Z(x, y), in ? 0xFFFF : 0x0101);
        }
    RasterClearViewport(t.target, kVp, 0, false);
    EXPECT_EQ(t.Count(0), 64 * 48);
    EXPECT_EQ(t.Z(10, 10), 0x0101);
    EXPECT_TRUE(t.GuardsIntact());
}

TEST(RasterPixels, WireframeDrawsTheChosenEdgesWithInterpolatedColour) {
    GuardedTarget t(64, 48);
    RasterState s = Solid();
    s.fill = kRasterWireframe;
    RasterVertex v[3] = {Coloured(At(kVp, 10.5, 10.5), 1, 0, 0), Coloured(At(kVp, 40.5, 10.5), 0, 1, 0),
                         Coloured(At(kVp, 40.5, 40.5), 0, 1, 0)};
    RasterTriangle(t.target, kVp, s, v, 3);  // v0-v1 and v1-v2; not the diagonal v2-v0
    for (int x = 10; x <= 40; ++x) EXPECT_NE(t.At(x, 10), 0) << x;
    for (int y = 10; y <= 40; ++y) EXPECT_NE(t.At(40, y), 0) << y;
    EXPECT_EQ(t.Count(0), 64 * 48 - 61);
    EXPECT_EQ(t.At(10, 10), 0xF800);
    EXPECT_EQ(t.At(40, 30), 0x07E0);
    EXPECT_NEAR(t.At(25, 10) >> 11, 15, 1);  // halfway red to green
    EXPECT_NEAR((t.At(25, 10) >> 5) & 63, 31, 1);

    // Flat: every edge takes v0's colour. A steep edge has one pixel per row.
    GuardedTarget f(64, 48);
    s.shade = kRasterFlat;
    RasterTriangle(f.target, kVp, s, v, 4);
    for (int y = 10; y <= 40; ++y) EXPECT_EQ(f.At(y, y), 0xF800) << y;
    EXPECT_EQ(f.Count(0xF800), 31);

    // Lines are depth-tested: hidden behind a nearer face, drawn over a farther one.
    GuardedTarget z(64, 48);
    RasterVertex face[3] = {At(kVp, 0, 0, 0.5), At(kVp, 64, 0, 0.5), At(kVp, 0, 20, 0.5)};
    RasterTriangle(z.target, kVp, Solid(), face);
    RasterVertex a = Coloured(At(kVp, 2.5, 5.5, 0.6), 0, 0, 1), b = Coloured(At(kVp, 2.5, 30.5, 0.4), 0, 0, 1);
    RasterLine(z.target, kVp, Solid(), a, b);
    EXPECT_EQ(z.At(2, 6), 0xFFFF);  // depth 0.59 behind the face
    EXPECT_EQ(z.At(2, 18), 0x001F);  // depth 0.50: equal passes
    EXPECT_EQ(z.At(2, 28), 0x001F);

    // Points: one pixel per vertex; outside the volume, none.
    GuardedTarget p(64, 48);
    s.fill = kRasterPoints;
    s.shade = kRasterGouraud;
    RasterTriangle(p.target, kVp, s, v);
    EXPECT_EQ(p.Count(0), 64 * 48 - 3);
    EXPECT_EQ(p.At(40, 40), 0x07E0);
    RasterPoint(p.target, kVp, s, At(kVp, 70.5, 10.5));
    RasterPoint(p.target, kVp, s, At(kVp, 20.5, 10.5, 1.5));
    EXPECT_EQ(p.Count(0), 64 * 48 - 3);

    // A line far outside on both ends is cut to the viewport, nothing written outside.
    GuardedTarget c(64, 48);
    RasterLine(c.target, RasterViewport{8, 8, 40, 30}, s, At(kVp, -1e4, 20.5), At(kVp, 1e4, 20.5));
    EXPECT_EQ(c.Count(0xFFFF), 40);
    EXPECT_TRUE(c.GuardsIntact());
}

}  // namespace
