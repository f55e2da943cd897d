// Which pixels a solid triangle covers: the top-left rule against an exact reference, shared
// edges covered once with no gaps (also where clipping cuts them), and nothing outside the viewport.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include "tests/platform/d3drm/raster/raster_test_support.h"

using namespace rastertest;

namespace {

const RasterViewport kFull{0, 0, 64, 48};
constexpr uint16_t kInk = 0xFFFF;

// Reference coverage: pixel centre strictly inside, or on an edge that is a top edge (horizontal,
// interior below) or a left edge (interior to its right). Vertices in 1/16 pixel, exact integers.
bool ReferenceCovers(const int64_t (&vx)[3], const int64_t (&vy)[3], int px, int py) {
    int64_t cx = px * 16 + 8, cy = py * 16 + 8;
    int64_t area = (vx[1] - vx[0]) * (vy[2] - vy[0]) - (vx[2] - vx[0]) * (vy[1] - vy[0]);
    if (area == 0) return false;
    int order[3] = {0, 1, 2};
    if (area < 0) std::swap(order[1], order[2]);
    for (int e = 0; e < 3; ++e) {
        int a = order[e], b = order[(e + 1) % 3];
        int64_t dx = vx[b] - vx[a], dy = vy[b] - vy[a];
        int64_t side = dx * (cy - vy[a]) - dy * (cx - vx[a]);
        if (side < 0) return false;
        if (side == 0 && !((dy == 0 && dx > 0) || dy < 0)) return false;
    }
    return true;
}

void DrawAt(GuardedTarget& t, const int64_t (&vx)[3], const int64_t (&vy)[3]) {
    RasterVertex v[3];
    for (int i = 0; i < 3; ++i) v[i] = At(kFull, vx[i] / 16.0, vy[i] / 16.0);
    RasterState s = Solid();
    s.zTest = false;
    RasterTriangle(t.target, kFull, s, v);
}

TEST(RasterCoverage, MatchesTopLeftReferenceForEdgesThroughPixelCentres) {
    std::mt19937 rng(7);
    // Half-pixel positions put many edges and vertices exactly on pixel centres, where the rule
    // decides; quarter pixels and random sixteenths cover the general case.
    for (int granule : {8, 4, 1}) {
        std::uniform_int_distribution<int> gx(-4, 68 * 16 / granule), gy(-4, 52 * 16 / granule);
        for (int trial = 0; trial < 300; ++trial) {
            int64_t vx[3], vy[3];
            for (int i = 0; i < 3; ++i) vx[i] = int64_t{gx(rng)} * granule, vy[i] = int64_t{gy(rng)} * granule;
            GuardedTarget t(64, 48);
            DrawAt(t, vx, vy);
            int bad = 0, firstX = -1, firstY = -1;
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 64; ++x)
                    if ((t.At(x, y) == kInk) != ReferenceCovers(vx, vy, x, y) && bad++ == 0) firstX = x, firstY = y;
            if (bad) {
                for (int i = 0; i < 3; ++i) printf("v%d %lld %lld\n", i, (long long)vx[i], (long long)vy[i]);
                for (int y = 0; y < 48; ++y) {
                    for (int x = 0; x < 64; ++x) {
                        bool a = t.At(x, y) == kInk, b = ReferenceCovers(vx, vy, x, y);
                        putchar(a == b ? (a ? '#' : '.') : (a ? '+' : '-'));
                    }
                    putchar('\n');
                }
            }
            ASSERT_EQ(bad, 0) << "granule " << granule << " trial " << trial << " first bad pixel ("
                              << firstX << ", " << firstY << ")";
            ASSERT_TRUE(t.GuardsIntact());
        }
    }
}

// Counts how often each pixel is drawn by drawing each triangle into a fresh target.
struct CoverageCount {
    GuardedTarget scratch{64, 48};
    std::vector<int> count = std::vector<int>(64 * 48, 0);
    void Add(const RasterViewport& vp, const RasterVertex (&v)[3]) {
        scratch.Fill(0, 0xFFFF);
        RasterState s = Solid();
        s.zTest = false;
        RasterTriangle(scratch.target, vp, s, v);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) count[y * 64 + x] += scratch.At(x, y) == kInk;
        EXPECT_TRUE(scratch.GuardsIntact());
    }
};

// A jittered grid whose outer points lie on the rectangle [x0, x1] x [y0, y1] (pixels), each cell
// split into two triangles along alternating diagonals, with alternating winding.
void AddMesh(CoverageCount& cc, const RasterViewport& vp, double x0, double y0, double x1, double y1,
             double depthNear, double depthFar, unsigned seed) {
    constexpr int kN = 7;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> jitter(-0.35, 0.35);
    double gx[kN + 1][kN + 1], gy[kN + 1][kN + 1], gw[kN + 1][kN + 1];
    for (int j = 0; j <= kN; ++j)
        for (int i = 0; i <= kN; ++i) {
            bool inner = i > 0 && i < kN && j > 0 && j < kN;
            gx[j][i] = x0 + (x1 - x0) * (i + (inner ? jitter(rng) : 0)) / kN;
            gy[j][i] = y0 + (y1 - y0) * (j + (inner ? jitter(rng) : 0)) / kN;
            gw[j][i] = 1.0 + 3.0 * (i + j) / (2 * kN);  // varying w: perspective-divided positions
        }
    auto vert = [&](int i, int j) {
        double t = (i + j) / (2.0 * kN);
        return At(vp, gx[j][i], gy[j][i], depthNear + (depthFar - depthNear) * t, gw[j][i]);
    };
    for (int j = 0; j < kN; ++j)
        for (int i = 0; i < kN; ++i) {
            RasterVertex a = vert(i, j), b = vert(i + 1, j), c = vert(i + 1, j + 1), d = vert(i, j + 1);
            if ((i + j) % 2) {
                RasterVertex t1[3] = {a, b, c}, t2[3] = {a, d, c};
                cc.Add(vp, t1);
                cc.Add(vp, t2);
            } else {
                RasterVertex t1[3] = {a, b, d}, t2[3] = {b, c, d};
                cc.Add(vp, t1);
                cc.Add(vp, t2);
            }
        }
}

TEST(RasterCoverage, SharedEdgesAreDrawnOnceWithoutGaps) {
    CoverageCount cc;
    AddMesh(cc, kFull, 5.3, 3.7, 58.1, 44.9, 0.2, 0.8, 1);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            bool inside = x + 0.5 >= 5.3 && x + 0.5 < 58.1 && y + 0.5 >= 3.7 && y + 0.5 < 44.9;
            ASSERT_EQ(cc.count[y * 64 + x], inside ? 1 : 0) << "pixel (" << x << ", " << y << ")";
        }
}

TEST(RasterCoverage, EdgesCutByTheViewportAndTheDepthPlanesStayWatertight) {
    // The mesh overhangs a viewport inside the target and crosses the front and back planes;
    // where it is visible, each pixel is still drawn exactly once.
    const RasterViewport vp{6, 5, 50, 36};
    for (unsigned seed = 2; seed < 12; ++seed) {
        CoverageCount cc;
        AddMesh(cc, vp, -20.0, -15.0, 80.0, 60.0, -0.6, 1.7, seed);
        int drawn = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                int n = cc.count[y * 64 + x];
                bool inViewport = x >= 6 && x < 56 && y >= 5 && y < 41;
                ASSERT_LE(n, inViewport ? 1 : 0) << "pixel (" << x << ", " << y << ")";
                drawn += n;
            }
        EXPECT_GT(drawn, 0);
        // Depth runs along the diagonal, so the drawn region is a band between two diagonal cuts:
        // inside it a row has no holes.
        for (int y = 5; y < 41; ++y) {
            int first = -1, last = -1;
            for (int x = 6; x < 56; ++x)
                if (cc.count[y * 64 + x]) last = x, first = first < 0 ? x : first;
            for (int x = first; first >= 0 && x <= last; ++x)
                ASSERT_EQ(cc.count[y * 64 + x], 1) << "hole at (" << x << ", " << y << ")";
        }
    }
}

TEST(RasterCoverage, ViewportClipsEverythingAndBadInputWritesNothingOutside) {
    const RasterViewport vp{10, 7, 30, 20};
    GuardedTarget t(64, 48);
    RasterState s = Solid();
    RasterVertex huge[3] = {At(vp, -1e5, -1e5), At(vp, 1e5, -1e5), At(vp, 0, 1e5)};
    RasterTriangle(t.target, vp, s, huge);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            bool inside = x >= 10 && x < 40 && y >= 7 && y < 27;
            ASSERT_EQ(t.At(x, y), inside ? kInk : 0) << "pixel (" << x << ", " << y << ")";
        }

    // A viewport partly off the target writes only the part on it.
    GuardedTarget off(64, 48);
    const RasterViewport hang{-20, 30, 100, 40};
    RasterTriangle(off.target, hang, s, huge);
    EXPECT_EQ(off.Count(kInk), 64 * 18);
    EXPECT_TRUE(off.GuardsIntact());

    GuardedTarget bad(64, 48);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> any(-3, 3);
    const float oddValues[] = {nan, inf, -inf, 0.f, 1e30f, -1e30f, 3.4e38f, 1e-30f};
    for (int trial = 0; trial < 2000; ++trial) {
        RasterVertex v[3];
        for (auto& p : v) {
            float* f[] = {&p.x, &p.y, &p.z, &p.w, &p.r, &p.u};
            for (float* c : f) *c = trial % 3 == 0 ? oddValues[rng() % 8] : any(rng);
        }
        RasterTriangle(bad.target, vp, s, v);
    }
    // A corner at the eye (w = 0, on every plane's edge) and one far past float range after
    // clipping: neither has a screen position.
    RasterVertex eye[3] = {At(vp, 5, 5), At(vp, 20, 5), At(vp, 5, 15)};
    eye[0].x = eye[0].y = eye[0].z = eye[0].w = 0;
    RasterTriangle(bad.target, vp, s, eye);
    eye[0] = At(vp, 5, 5);
    eye[1].w = 1e-30f;
    eye[1].x = eye[1].z = 3.4e38f;
    RasterTriangle(bad.target, vp, s, eye);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            if (!(x >= 10 && x < 40 && y >= 7 && y < 27)) {
                ASSERT_EQ(bad.At(x, y), 0) << x << ", " << y;
            }
    EXPECT_TRUE(bad.GuardsIntact());
    EXPECT_GT(bad.Count(0), 0);

    // Refused frames: no pixels, no depth, or a pitch too small for the width.
    GuardedTarget refused(64, 48);
    RasterTarget broken = refused.target;
    broken.pitch = 64;
    RasterTriangle(broken, vp, s, huge);
    RasterTriangle(refused.target, RasterViewport{0, 0, 0, 10}, s, huge);
    EXPECT_EQ(refused.Count(kInk), 0);
}

}  // namespace
