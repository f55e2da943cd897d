// Clipping in homogeneous clip space against w > 0, the front and back planes and the viewport's
// sides, and the checks that make any input safe to draw.
#include <algorithm>
#include <cmath>

#include "platform/d3drm/raster/raster_internal.h"

namespace raster {
namespace {

// Viewports and targets beyond this many pixels a side are refused: the fixed-point edge stepping
// (28.4 coordinates, 64-bit products) is sized for them with a wide margin.
constexpr int kMaxSide = 1 << 15;

// Signed distance of v inside each plane; negative (or NaN) is outside.
void Distances(const ClipVertex& v, const Frame& f, double d[kPlaneCount]) {
    d[0] = v.w - kMinW;
    d[1] = v.z;
    d[2] = v.w - v.z;
    d[3] = f.guardX * v.w - v.x;
    d[4] = f.guardX * v.w + v.x;
    d[5] = f.guardY * v.w - v.y;
    d[6] = f.guardY * v.w + v.y;
}

double Distance(const ClipVertex& v, int plane, const Frame& f) {
    switch (plane) {
    case 0: return v.w - kMinW;
    case 1: return v.z;
    case 2: return v.w - v.z;
    case 3: return f.guardX * v.w - v.x;
    case 4: return f.guardX * v.w + v.x;
    case 5: return f.guardY * v.w - v.y;
    default: return f.guardY * v.w + v.y;
    }
}

ClipVertex Lerp(const ClipVertex& a, const ClipVertex& b, double t) {
    ClipVertex r;
    r.x = a.x + (b.x - a.x) * t;
    r.y = a.y + (b.y - a.y) * t;
    r.z = a.z + (b.z - a.z) * t;
    r.w = a.w + (b.w - a.w) * t;
    float tf = static_cast<float>(t);
    for (int i = 0; i < kAttrCount; ++i) r.a[i] = a.a[i] + (b.a[i] - a.a[i]) * tf;
    return r;
}

bool Before(const ClipVertex& a, const ClipVertex& b) {
    if (a.x != b.x) return a.x < b.x;
    if (a.y != b.y) return a.y < b.y;
    if (a.z != b.z) return a.z < b.z;
    return a.w < b.w;
}

}  // namespace

Frame MakeFrame(const RasterTarget& target, const RasterViewport& vp) {
    Frame f{};
    f.empty = true;
    if (!target.pixels || target.width <= 0 || target.height <= 0 || target.width > kMaxSide ||
        target.height > kMaxSide || target.pitch < 2 * target.width)
        return f;
    if (target.zbuffer && target.zpitch < 2 * target.width) return f;
    if (vp.width <= 0 || vp.height <= 0 || vp.width > kMaxSide || vp.height > kMaxSide ||
        std::abs(vp.x) > kMaxSide || std::abs(vp.y) > kMaxSide)
        return f;
    f.scale = 0.5 * std::max(vp.width, vp.height);
    f.centreX = vp.x + 0.5 * vp.width;
    f.centreY = vp.y + 0.5 * vp.height;
    f.maxX = vp.width / (2.0 * f.scale);
    f.maxY = vp.height / (2.0 * f.scale);
    f.guardX = f.maxX * kGuardBand;
    f.guardY = f.maxY * kGuardBand;
    f.left = std::max(vp.x, 0);
    f.top = std::max(vp.y, 0);
    f.right = std::min(vp.x + vp.width, target.width);
    f.bottom = std::min(vp.y + vp.height, target.height);
    f.viewTop = f.top;
    f.viewBottom = f.bottom;
    f.top = std::max(f.top, target.rowBegin);
    f.bottom = std::min(f.bottom, target.rowEnd);
    f.empty = f.left >= f.right || f.top >= f.bottom;
    return f;
}

unsigned Outcode(const ClipVertex& v, const Frame& f) {
    double d[kPlaneCount];
    Distances(v, f, d);
    unsigned code = 0;
    for (int p = 0; p < kPlaneCount; ++p)
        if (!(d[p] >= 0)) code |= 1u << p;
    return code;
}

int ClipPolygon(const ClipVertex* in, int n, unsigned planes, const Frame& f, ClipVertex* out,
                ClipVertex* scratch) {
    // Ping-pong between the two buffers so that the result always ends up in `out`.
    const ClipVertex* src = in;
    int count = n;
    int remaining = __builtin_popcount(planes);
    for (int p = 0; p < kPlaneCount && count > 0; ++p) {
        if (!(planes & (1u << p))) continue;
        ClipVertex* dst = (--remaining % 2 == 0) ? out : scratch;
        int m = 0;
        for (int i = 0; i < count; ++i) {
            const ClipVertex& a = src[i];
            const ClipVertex& b = src[(i + 1) % count];
            double da = Distance(a, p, f), db = Distance(b, p, f);
            bool ina = da >= 0, inb = db >= 0;
            if (ina) dst[m++] = a;
            // Interpolate in one fixed order so that an edge shared by two triangles (walked
            // a->b by one, b->a by the other) is cut at the very same point: no gap, no overlap.
            if (ina != inb)
                dst[m++] = Before(a, b) ? Lerp(a, b, da / (da - db)) : Lerp(b, a, db / (db - da));
        }
        src = dst;
        count = m < 3 ? 0 : m;
    }
    if (count > 0 && src != out) std::copy(src, src + count, out);
    return count;
}

bool ClipSegment(ClipVertex& a, ClipVertex& b, const Frame& f) {
    double t0 = 0, t1 = 1;
    double dA[kPlaneCount], dB[kPlaneCount];
    Distances(a, f, dA);
    Distances(b, f, dB);
    for (int p = 0; p < kPlaneCount; ++p) {
        double da = dA[p], db = dB[p];
        if (da < 0 && db < 0) return false;
        if (da >= 0 && db >= 0) continue;
        double t = da / (da - db);
        if (da < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
    if (t0 == 0 && t1 == 1) return true;
    ClipVertex na = t0 > 0 ? Lerp(a, b, t0) : a;
    ClipVertex nb = t1 < 1 ? Lerp(a, b, t1) : b;
    a = na;
    b = nb;
    return true;
}

bool ToClip(const RasterVertex& v, ClipVertex& out) {
    if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z) || !std::isfinite(v.w))
        return false;
    out.x = v.x;
    out.y = v.y;
    out.z = v.z;
    out.w = v.w;
    out.a[kR] = ClampF(v.r, 0.f, 1.f);
    out.a[kG] = ClampF(v.g, 0.f, 1.f);
    out.a[kB] = ClampF(v.b, 0.f, 1.f);
    out.a[kSR] = ClampF(v.sr, 0.f, 1.f);
    out.a[kSG] = ClampF(v.sg, 0.f, 1.f);
    out.a[kSB] = ClampF(v.sb, 0.f, 1.f);
    // Texture coordinates are shifted by whole tiles before use; only NaN/inf needs a value here.
    out.a[kU] = std::isfinite(v.u) ? v.u : 0.f;
    out.a[kV] = std::isfinite(v.v) ? v.v : 0.f;
    return true;
}

}  // namespace raster
