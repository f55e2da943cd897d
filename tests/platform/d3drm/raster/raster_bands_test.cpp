// Row bands: a frame drawn as an upper and a lower band (as the device draws it, two threads at
// once) is the frame drawn whole, wherever the split, and each band writes its own rows only.
#include <gtest/gtest.h>

#include <cstdint>

#include "tests/platform/d3drm/raster/raster_test_support.h"

using namespace rastertest;

namespace {

const RasterViewport kVp{0, 0, 64, 48};

// Overlapping Gouraud triangles at several depths, some reaching past the viewport and one
// crossing the near plane, all across the middle row, then their wireframe edges.
void DrawScene(RasterTarget target) {
    uint32_t seed = 12345;
    auto next = [&seed](double lo, double hi) {
        seed = seed * 1664525u + 1013904223u;
        return lo + (hi - lo) * (seed >> 8) / double(1 << 24);
    };
    for (int i = 0; i < 40; ++i) {
        // Every fifth is small, often inside a single band of rows.
        bool small = i % 5 == 3;
        double cx = next(-20, 84), cy = next(-10, 58);
        RasterVertex v[3];
        for (RasterVertex& p : v) {
            double px = small ? cx + next(-4, 4) : next(-20, 84), py = small ? cy + next(-3, 3) : next(-10, 58);
            p = Coloured(At(kVp, px, py, next(0.05, 0.95), next(0.5, 3)),
                         static_cast<float>(next(0, 1)), static_cast<float>(next(0, 1)),
                         static_cast<float>(next(0, 1)));
        }
        if (i == 7) v[0].z = -0.5f * v[0].w;  // in front of the near plane
        RasterTriangle(target, kVp, Solid(), v);
        RasterState wire = Solid();
        wire.fill = kRasterWireframe;
        if (i % 2 == 0) RasterTriangle(target, kVp, wire, v);
    }
}

TEST(RasterBands, TwoBandsDrawTheWholeFrameAndEachStaysInItsRows) {
    GuardedTarget whole(64, 48), banded(64, 48), upperOnly(64, 48);
    DrawScene(whole.target);
    int drawnAbove = 0, drawnBelow = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) (y < 24 ? drawnAbove : drawnBelow) += whole.At(x, y) != 0;
    ASSERT_GT(drawnAbove, 500);
    ASSERT_GT(drawnBelow, 500);
    for (int split = 1; split < 48; ++split) {
        banded.Fill(0, 0xFFFF);
        RasterTarget upper = banded.target, lower = banded.target;
        upper.rowEnd = split;
        lower.rowBegin = split;
        DrawScene(lower);  // the lower band first: bands may be drawn in any order
        DrawScene(upper);
        EXPECT_EQ(banded.pixels, whole.pixels) << "split at row " << split;
        EXPECT_EQ(banded.depth, whole.depth) << "split at row " << split;
    }
    RasterTarget upper = upperOnly.target;
    upper.rowEnd = 24;
    DrawScene(upper);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            if (y < 24) EXPECT_EQ(upperOnly.At(x, y), whole.At(x, y)) << x << "," << y;
            else EXPECT_EQ(upperOnly.At(x, y), 0) << x << "," << y;
        }
    EXPECT_TRUE(upperOnly.GuardsIntact() && banded.GuardsIntact());
}

TEST(RasterBands, LongLinesTakeTheSameValuesWhereverTheRowsAreSplit) {
    // Long steep and shallow Gouraud lines at changing depths: every pixel of a line is stepped
    // from the same start, whichever rows a part draws, or the rounding of the steps shows.
    const RasterViewport vp{0, 0, 320, 240};
    auto draw = [&vp](RasterTarget target) {
        uint32_t seed = 777;
        auto next = [&seed](double lo, double hi) {
            seed = seed * 1664525u + 1013904223u;
            return lo + (hi - lo) * (seed >> 8) / double(1 << 24);
        };
        for (int i = 0; i < 150; ++i) {
            RasterVertex a = Coloured(At(vp, next(-40, 360), next(-40, 280), next(0.05, 0.95), next(0.5, 3)),
                                      static_cast<float>(next(0, 1)), static_cast<float>(next(0, 1)),
                                      static_cast<float>(next(0, 1)));
            RasterVertex b = Coloured(At(vp, next(-40, 360), next(-40, 280), next(0.05, 0.95), next(0.5, 3)),
                                      static_cast<float>(next(0, 1)), static_cast<float>(next(0, 1)),
                                      static_cast<float>(next(0, 1)));
            RasterLine(target, vp, Solid(), a, b);
        }
    };
    GuardedTarget whole(320, 240);
    draw(whole.target);
    for (int split = 1; split < 240; split += 17) {
        GuardedTarget parts(320, 240);
        RasterTarget above = parts.target, below = parts.target;
        above.rowEnd = split;
        below.rowBegin = split;
        draw(below);
        draw(above);
        ASSERT_EQ(parts.pixels, whole.pixels) << "split at row " << split;
        ASSERT_EQ(parts.depth, whole.depth) << "split at row " << split;
    }
}

}  // namespace
