// Depth: nearer wins, equal depth passes, test and write switches, and cutting at the front and
// back planes. Gouraud colours at the vertices and across a face.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "tests/platform/d3drm/raster/raster_test_support.h"

using namespace rastertest;

namespace {

const RasterViewport kVp{0, 0, 64, 48};
constexpr uint16_t kRed565 = 0xF800, kGreen565 = 0x07E0, kBlue565 = 0x001F;

void Quad(GuardedTarget& t, const RasterState& s, double depth, float r, float g, float b,
          double x0 = 10, double y0 = 10, double x1 = 40, double y1 = 30) {
    RasterVertex a = Coloured(At(kVp, x0, y0, depth), r, g, b), c = Coloured(At(kVp, x1, y1, depth), r, g, b);
    RasterVertex bv = Coloured(At(kVp, x1, y0, depth), r, g, b), d = Coloured(At(kVp, x0, y1, depth), r, g, b);
    RasterVertex t1[3] = {a, bv, c}, t2[3] = {a, c, d};
    RasterTriangle(t.target, kVp, s, t1);
    RasterTriangle(t.target, kVp, s, t2);
}

TEST(RasterDepth, NearerWinsInEitherOrderAndEqualDepthPasses) {
    RasterState s = Solid();
    GuardedTarget farFirst(64, 48), nearFirst(64, 48);
    Quad(farFirst, s, 0.7, 1, 0, 0);
    Quad(farFirst, s, 0.3, 0, 1, 0, 20, 15, 50, 40);
    Quad(nearFirst, s, 0.3, 0, 1, 0, 20, 15, 50, 40);
    Quad(nearFirst, s, 0.7, 1, 0, 0);
    for (GuardedTarget* t : {&farFirst, &nearFirst}) {
        EXPECT_EQ(t->At(25, 20), kGreen565);  // overlap
        EXPECT_EQ(t->At(12, 12), kRed565);
        EXPECT_EQ(t->At(45, 35), kGreen565);
        EXPECT_EQ(t->Z(25, 20), static_cast<uint16_t>(0.3 * 65535 + 0.5));
    }
    // The same face again with another colour: LESSEQUAL lets it through.
    Quad(farFirst, s, 0.7, 0, 0, 1);
    EXPECT_EQ(farFirst.At(12, 12), kBlue565);
    EXPECT_EQ(farFirst.At(25, 20), kGreen565);
}

TEST(RasterDepth, TestAndWriteSwitchesAndMissingBuffer) {
    GuardedTarget t(64, 48);
    RasterState s = Solid();
    Quad(t, s, 0.3, 0, 1, 0);
    RasterState noTest = s;
    noTest.zTest = false;
    noTest.zWrite = false;
    Quad(t, noTest, 0.9, 1, 0, 0);
    EXPECT_EQ(t.At(20, 20), kRed565);  // drawn over a nearer face
    EXPECT_EQ(t.Z(20, 20), static_cast<uint16_t>(0.3 * 65535 + 0.5));  // but depth kept
    RasterState noWrite = s;
    noWrite.zWrite = false;
    Quad(t, noWrite, 0.1, 0, 0, 1);
    EXPECT_EQ(t.At(20, 20), kBlue565);
    Quad(t, s, 0.2, 0, 1, 0);  // 0.2 would lose to 0.1 had it been written
    EXPECT_EQ(t.At(20, 20), kGreen565);

    GuardedTarget flat(64, 48, false, false);
    Quad(flat, s, 0.3, 0, 1, 0);
    Quad(flat, s, 0.9, 1, 0, 0);
    EXPECT_EQ(flat.At(20, 20), kRed565);  // no depth buffer: painter's order
    EXPECT_TRUE(flat.GuardsIntact());
}

// A floor at camera height -0.2 running from camera depth 0.5 to 3 (front plane 1, back 100).
RasterVertex Floor(double x, double depth, double front = 1, double back = 100) {
    RasterVertex v;
    v.x = static_cast<float>(x);
    v.y = -0.2f;
    v.w = static_cast<float>(depth);
    v.z = static_cast<float>(back * (depth - front) / (back - front));
    return v;
}

TEST(RasterDepth, FrontAndBackPlanesCutTheFace) {
    // Rows map to camera depth as py = 24 + 32 * 0.2 / depth: the front plane (depth 1) is at
    // row 30.4, depth 0.5 at row 36.8.
    GuardedTarget t(64, 48);
    RasterVertex v[3] = {Floor(-0.5, 0.5), Floor(0.5, 0.5), Floor(0, 3)};
    RasterTriangle(t.target, kVp, Solid(), v);
    int lastRow = -1;
    uint16_t nearest = 0xFFFF;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            if (t.At(x, y)) {
                lastRow = std::max(lastRow, y);
                nearest = std::min(nearest, t.Z(x, y));
            }
    EXPECT_EQ(lastRow, 29);  // row 30's centre (30.5) is nearer than the front plane
    // Row 29's centre is at camera depth 6.4/5.5; z/w = 100/99 * (1 - 1/depth) there. Vertex
    // snapping to 1/16 pixel shifts it by a little.
    EXPECT_NEAR(nearest, 65535.0 * 100 / 99 * (1 - 5.5 / 6.4), 400);

    // The back plane at 100: py = 24 + 32 * 10 / depth with the floor at -10; depth 100 is row
    // 27.2, so rows 0..26 (farther) stay empty.
    GuardedTarget b(64, 48);
    auto deep = [](double x, double depth) {
        RasterVertex v = Floor(x, depth);
        v.y = -10.f;
        return v;
    };
    RasterVertex w[3] = {deep(-30, 60), deep(30, 60), deep(0, 400)};
    RasterTriangle(b.target, kVp, Solid(), w);
    int firstRow = 48;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            if (b.At(x, y)) firstRow = std::min(firstRow, y);
    EXPECT_EQ(firstRow, 27);

    // Wholly behind the camera, or on its plane: nothing.
    GuardedTarget behind(64, 48);
    RasterVertex back[3] = {Floor(-0.5, -1), Floor(0.5, -1), Floor(0, -3)};
    RasterTriangle(behind.target, kVp, Solid(), back);
    RasterVertex onPlane[3] = {Floor(-0.5, 0), Floor(0.5, 0), Floor(0, 0)};
    RasterTriangle(behind.target, kVp, Solid(), onPlane);
    EXPECT_EQ(behind.Count(0), 64 * 48);
}

TEST(RasterShading, GouraudHitsTheVertexColoursAndFlatTakesTheFirst) {
    GuardedTarget t(64, 48);
    // Vertex 0's pixel centre lies on the top and left edges, so it is drawn with v0's colour.
    RasterVertex v[3] = {Coloured(At(kVp, 10.5, 10.5), 1, 0, 0), Coloured(At(kVp, 50.5, 10.5), 0, 1, 0),
                         Coloured(At(kVp, 10.5, 40.5), 0, 0, 1)};
    RasterTriangle(t.target, kVp, Solid(), v);
    EXPECT_EQ(t.At(10, 10), kRed565);
    // One pixel short of vertices 1 and 2 (right and bottom edges are open): 29/30 of the way.
    auto channels = [](uint16_t p) { return std::array<int, 3>{p >> 11, (p >> 5) & 63, p & 31}; };
    auto nearV1 = channels(t.At(49, 10)), nearV2 = channels(t.At(10, 39));
    EXPECT_EQ(nearV1[0], 0);   // red: 1/40 of 255 is 6, below one 5-bit step
    EXPECT_GE(nearV1[1], 61);  // green ~ 0.975
    EXPECT_GE(nearV2[2], 29);  // blue ~ 0.967
    EXPECT_LE(nearV2[0], 1);
    // Midway along the top edge: half red, half green.
    auto mid = channels(t.At(30, 10));
    EXPECT_NEAR(mid[0], 15, 1);
    EXPECT_NEAR(mid[1], 31, 1);
    EXPECT_EQ(mid[2], 0);

    GuardedTarget f(64, 48);
    RasterTriangle(f.target, kVp, Solid(kRasterFlat), v);
    EXPECT_EQ(f.Count(kRed565) + f.Count(0), 64 * 48);
    EXPECT_EQ(f.Count(0), t.Count(0));
    EXPECT_EQ(f.At(30, 20), kRed565);

    // Specular adds after the diffuse colour and saturates.
    GuardedTarget sp(64, 48);
    RasterVertex w[3] = {v[0], v[1], v[2]};
    for (auto& x : w) x.r = 0.5f, x.g = 0.5f, x.b = 0, x.sr = 0.75f, x.sg = 0, x.sb = 0.5f;
    RasterTriangle(sp.target, kVp, Solid(), w);
    auto c = channels(sp.At(20, 20));
    EXPECT_EQ(c[0], 31);
    EXPECT_EQ(c[1], 127 >> 2);
    EXPECT_EQ(c[2], 127 >> 3);
}

}  // namespace
