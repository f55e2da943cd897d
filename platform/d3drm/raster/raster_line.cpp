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

// One pixel, with the same depth and colour arithmetic as the triangle spans so that an edge and
// the face it borders agree.
void Plot(const RasterTarget& target, const Frame& f, const RasterState& state, int x, int y,
          double z, const float* c) {
    if (x < f.left || x >= f.right || y < f.top || y >= f.bottom) return;
    uint16_t zv = static_cast<uint16_t>((static_cast<int32_t>(z * (65535.0 * 32768.0)) + 16384) >> 15);
    if (target.zbuffer) {
        uint16_t* depth = DepthRow(target, y) + x;
        if (state.zTest && zv > *depth) return;
        if (state.zWrite) *depth = zv;
    }
    int out[3];
    for (int k = 0; k < 3; ++k) {
        int lit = static_cast<int>(static_cast<double>(c[k]) * 256.0 * 65536.0) >> 16;  // 0..256
        int specular = static_cast<int>(static_cast<double>(c[3 + k]) * 255.0 * 65536.0) >> 16;
        out[k] = std::min(((255 * lit) >> 8) + specular, 255);
    }
    uint8_t drb[4], dg[4];
    DitherRow(y, state.dither, target.rgb555, drb, dg);
    const PackTables& t = PackTablesFor(target.rgb555);
    int di = x & 3;
    PixelRow(target, y)[x] =
        static_cast<uint16_t>(t.red[out[0] + drb[di]] | t.green[out[1] + dg[di]] | t.blue[out[2] + drb[di]]);
}

}  // namespace
}  // namespace raster

void RasterLine(const RasterTarget& target, const RasterViewport& vp, const RasterState& state,
                const RasterVertex& a, const RasterVertex& b) {
    using namespace raster;
    Frame f = MakeFrame(target, vp);
    if (f.empty) return;
    ClipVertex ca, cb;
    if (!ToClip(a, ca) || !ToClip(b, cb)) return;
    if (state.shade == kRasterFlat) std::copy(ca.a + kR, ca.a + kSB + 1, cb.a + kR);
    if (!ClipSegment(ca, cb, f)) return;
    LinePoint p = Project(ca, f), q = Project(cb, f);

    // Step one pixel at a time along the longer axis, sampling the line at each pixel centre of
    // that axis. The end pixels are the ones holding the end points.
    double dx = q.x - p.x, dy = q.y - p.y;
    bool alongX = std::fabs(dx) >= std::fabs(dy);
    double from = alongX ? p.x : p.y, delta = alongX ? dx : dy;
    // Only the steps that land inside the viewport along that axis; the guard band can leave the
    // ends far outside.
    int lo = alongX ? f.left : f.top, hi = (alongX ? f.right : f.bottom) - 1;
    double ends[2] = {std::floor(from), std::floor(from + delta)};
    int first = static_cast<int>(std::clamp(ends[0], lo - 1.0, hi + 1.0));
    int last = static_cast<int>(std::clamp(ends[1], lo - 1.0, hi + 1.0));
    int dir = last >= first ? 1 : -1;
    float c[6];
    for (int i = first;; i += dir) {
        double t = delta != 0 ? std::clamp((i + 0.5 - from) / delta, 0.0, 1.0) : 0.0;
        float tf = static_cast<float>(t);
        for (int k = 0; k < 6; ++k) c[k] = p.c[k] + (q.c[k] - p.c[k]) * tf;
        double z = p.z + (q.z - p.z) * t;
        if (alongX) Plot(target, f, state, i, static_cast<int>(std::floor(p.y + dy * t)), z, c);
        else Plot(target, f, state, static_cast<int>(std::floor(p.x + dx * t)), i, z, c);
        if (i == last) break;
    }
}

void RasterPoint(const RasterTarget& target, const RasterViewport& vp, const RasterState& state,
                 const RasterVertex& v) {
    using namespace raster;
    Frame f = MakeFrame(target, vp);
    if (f.empty) return;
    ClipVertex cv;
    if (!ToClip(v, cv) || Outcode(cv, f) != 0) return;
    LinePoint p = Project(cv, f);
    Plot(target, f, state, static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y)), p.z, p.c);
}
