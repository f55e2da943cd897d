// Wireframe edges and points: clipped like triangles, one pixel wide, z-tested, Gouraud or flat.
#include <algorithm>
#include <cmath>

#include "platform/d3drm/raster/raster_internal.h"

namespace raster {
namespace {

struct LinePoint {
    double x, y;   // pixels
    double z;      // z/w, 0..1
    float c[6];    // colour and specular, 0..1
};

LinePoint Project(const ClipVertex& v, const Frame& f) {
    LinePoint p;
    p.x = ScreenX(v, f);
    p.y = ScreenY(v, f);
    p.z = std::clamp(v.z / v.w, 0.0, 1.0);
    for (int k = 0; k < 6; ++k) p.c[k] = v.a[kR + k];
    return p;
}

// Positions along a line are fractions t of it, 0..1, in fixed point with this many bits. 24 bits
// keep the minor coordinate of the longest line the guard band allows within 1/100 pixel, and
// every product below within 64 bits.
constexpr int kTBits = 24;
constexpr int64_t kTOne = int64_t{1} << kTBits;

// One line ready to walk. Each value is a start and a change over t = 0..1: the minor coordinate
// in 16.16 pixels, lit colour (0..256) and specular (0..255) in 16.16, z/w scaled as the depth
// buffer rounds it (times 65535 * 32768). Depth and colour use the triangle spans' arithmetic so
// that an edge and the face it borders agree.
struct LineWalk {
    const RasterTarget* target;
    const Frame* frame;
    const PackTables* pack;
    bool zTest, zWrite;
    const Dither* dither;
    int first, last, dir;         // steps along the major axis, both ends included
    int64_t t, dt;                // t at the first step, and per step
    int64_t base[8], delta[8];    // minor, r, g, b, sr, sg, sb, z

    LineWalk(const RasterTarget& tg, const Frame& f, const RasterState& state, const LinePoint& a,
             const LinePoint& b, bool alongX)
        : target(&tg), frame(&f), pack(&PackTablesFor(tg.rgb555)), zTest(state.zTest), zWrite(state.zWrite),
          dither(&DitherFor(state.dither, tg.rgb555)) {
        double from = alongX ? a.x : a.y, length = alongX ? b.x - a.x : b.y - a.y;
        // Only the steps that land inside the viewport along that axis; the guard band can leave
        // the ends far outside.
        int lo = alongX ? f.left : f.viewTop, hi = (alongX ? f.right : f.viewBottom) - 1;
        first = static_cast<int>(std::clamp(std::floor(from), lo - 1.0, hi + 1.0));
        last = static_cast<int>(std::clamp(std::floor(from + length), lo - 1.0, hi + 1.0));
        dir = last >= first ? 1 : -1;
        // t at each pixel centre of the major axis; the end pixels' centres may lie just past the
        // ends, where t is held at 0 or 1. A line shorter than a pixel can step past its end at
        // once; the clamps keep those values well inside 64 bits.
        double inv = length != 0 ? 1.0 / length : 0.0, one = static_cast<double>(kTOne);
        t = static_cast<int64_t>(std::clamp(std::floor((first + 0.5 - from) * inv * one), -2 * one, 2 * one));
        dt = static_cast<int64_t>(std::clamp(dir * inv * one, -2 * one, 2 * one));
        double minorFrom = std::floor((alongX ? a.y : a.x) * 65536.0);
        base[0] = static_cast<int64_t>(minorFrom);
        delta[0] = static_cast<int64_t>(std::floor((alongX ? b.y : b.x) * 65536.0) - minorFrom);
        // Colours and z are 0..1: truncation is the floor.
        for (int k = 0; k < 6; ++k) Set(1 + k, a.c[k], b.c[k], (k < 3 ? 256.0 : 255.0) * 65536.0);
        Set(7, a.z, b.z, 65535.0 * 32768.0);
    }
    void Set(int k, double from, double to, double scale) {
        base[k] = static_cast<int64_t>(from * scale);
        delta[k] = static_cast<int64_t>(to * scale) - base[k];
    }
    bool Specular() const {
        return base[4] | delta[4] | base[5] | delta[5] | base[6] | delta[6];
    }
    // tc: 0..kTOne.
    int64_t At(int k, int64_t tc) const { return base[k] + ((delta[k] * tc) >> kTBits); }
};

// The values of the line at one step, as LineWalk lays them out.
struct LineSample {
    int64_t v[8];
};

template <bool AlongX, bool Specular>
void PlotSample(const LineWalk& w, int i, const LineSample& s) {
    const Frame& f = *w.frame;
    int minor = static_cast<int>(s.v[0] >> 16);
    int x = AlongX ? i : minor, y = AlongX ? minor : i;
    if (x < f.left || x >= f.right || !f.RowWritten(y)) return;
    uint16_t zv = static_cast<uint16_t>((static_cast<int32_t>(s.v[7]) + 16384) >> 15);
    if (w.target->zbuffer) {
        uint16_t* depth = DepthRow(*w.target, y) + x;
        if (w.zTest && zv > *depth) return;
        if (w.zWrite) *depth = zv;
    }
    int r = (255 * static_cast<int>(s.v[1] >> 16)) >> 8;
    int g = (255 * static_cast<int>(s.v[2] >> 16)) >> 8;
    int b = (255 * static_cast<int>(s.v[3] >> 16)) >> 8;
    if constexpr (Specular) {
        r = std::min(r + static_cast<int>(s.v[4] >> 16), 255);
        g = std::min(g + static_cast<int>(s.v[5] >> 16), 255);
        b = std::min(b + static_cast<int>(s.v[6] >> 16), 255);
    }
    const PackTables& pack = *w.pack;
    int d = x & 3, rb = w.dither->rb[y & 3][d];
    PixelRow(*w.target, y)[x] =
        static_cast<uint16_t>(pack.red[r + rb] | pack.green[g + w.dither->g[y & 3][d]] | pack.blue[b + rb]);
}

// The end pixels take the values at t held to 0..1; the pixels between step by constant
// increments from the second one (at most a viewport's width of steps, so the rounding of the
// increments adds up to well under a hundredth of a pixel or a colour level).
template <bool AlongX, bool Specular>
void Walk(const LineWalk& w) {
    LineSample s;
    auto sampleAt = [&w, &s](int64_t t) {
        int64_t tc = std::clamp<int64_t>(t, 0, kTOne);
        for (int k = 0; k < 8; ++k) s.v[k] = w.At(k, tc);
    };
    sampleAt(w.t);
    PlotSample<AlongX, Specular>(w, w.first, s);
    if (w.first == w.last) return;
    int count = (w.last - w.first) * w.dir;  // steps after the first
    if (count > 1) {
        sampleAt(w.t + w.dt);
        int64_t step[8];
        for (int k = 0; k < 8; ++k) step[k] = (w.delta[k] * w.dt) >> kTBits;
        const Frame& f = *w.frame;
        const bool partial = f.Partial();
        int i = w.first + w.dir;
        for (int n = 1; n < count;) {
            if (partial) {
                int row = AlongX ? static_cast<int>(s.v[0] >> 16) : i;
                if (!f.RowWritten(row)) {
                    // Steps over pixels on rows another thread draws; n steps at once give the
                    // values n single steps give. Along x the row changes where the minor
                    // coordinate crosses a whole pixel; along y each step is the next row.
                    int64_t ahead = count - n;
                    if (AlongX) {
                        // The minor coordinate (16.16) where the written rows begin, going
                        // down, or end, going up.
                        int64_t rows = f.RowsToWritten(row, step[0] > 0 ? 1 : -1);
                        if (step[0] > 0)
                            ahead = ((row + rows) * 65536 - s.v[0] + step[0] - 1) / step[0];
                        else if (step[0] < 0)
                            ahead = (s.v[0] - (row - rows + 1) * 65536 - step[0]) / -step[0];
                    } else {
                        ahead = f.RowsToWritten(i, w.dir);
                    }
                    ahead = std::min<int64_t>(ahead, count - n);
                    for (int k = 0; k < 8; ++k) s.v[k] += ahead * step[k];
                    n += static_cast<int>(ahead);
                    i += static_cast<int>(ahead) * w.dir;
                    continue;
                }
            }
            PlotSample<AlongX, Specular>(w, i, s);
            s.v[0] += step[0];
            s.v[1] += step[1];
            s.v[2] += step[2];
            s.v[3] += step[3];
            if constexpr (Specular) {
                s.v[4] += step[4];
                s.v[5] += step[5];
                s.v[6] += step[6];
            }
            s.v[7] += step[7];
            ++n;
            i += w.dir;
        }
    }
    sampleAt(w.t + count * w.dt);
    PlotSample<AlongX, Specular>(w, w.last, s);
}

void Draw(const RasterTarget& target, const Frame& f, const RasterState& state, const LinePoint& p,
          const LinePoint& q) {
    if (!MayWriteRows(f, std::min(p.y, q.y), std::max(p.y, q.y))) return;
    // Step one pixel at a time along the longer axis, sampling the line at each pixel centre of
    // that axis. The end pixels are the ones holding the end points.
    bool alongX = std::fabs(q.x - p.x) >= std::fabs(q.y - p.y);
    LineWalk w(target, f, state, p, q, alongX);
    if (alongX) w.Specular() ? Walk<true, true>(w) : Walk<true, false>(w);
    else w.Specular() ? Walk<false, true>(w) : Walk<false, false>(w);
}

}  // namespace

void DrawClipLine(const RasterTarget& target, const Frame& f, const RasterState& state, ClipVertex a,
                  ClipVertex b) {
    if (state.shade == kRasterFlat) std::copy(a.a + kR, a.a + kSB + 1, b.a + kR);
    if (!ClipSegment(a, b, f)) return;
    Draw(target, f, state, Project(a, f), Project(b, f));
}

}  // namespace raster

void RasterLine(const RasterTarget& target, const RasterViewport& vp, const RasterState& state,
                const RasterVertex& a, const RasterVertex& b) {
    using namespace raster;
    Frame f = MakeFrame(target, vp);
    if (f.empty) return;
    ClipVertex ca, cb;
    if (!ToClip(a, ca) || !ToClip(b, cb)) return;
    DrawClipLine(target, f, state, ca, cb);
}

void RasterPoint(const RasterTarget& target, const RasterViewport& vp, const RasterState& state,
                 const RasterVertex& v) {
    using namespace raster;
    Frame f = MakeFrame(target, vp);
    if (f.empty) return;
    ClipVertex cv;
    if (!ToClip(v, cv) || Outcode(cv, f) != 0) return;
    // A line from the point to itself is that one pixel.
    LinePoint p = Project(cv, f);
    Draw(target, f, state, p, p);
}
