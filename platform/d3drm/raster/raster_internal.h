// Shared pieces of the rasterizer: the clip-space vertex, clipping, the viewport frame, pixel packing.
// Rasterizer internal.
#pragma once

#include <cmath>
#include <cstdint>

#include "platform/d3drm/raster/raster.h"

namespace raster {

// Attributes carried through clipping, in this order.
enum { kR, kG, kB, kSR, kSG, kSB, kU, kV, kAttrCount };

// A vertex while clipping: position in double so that clip distances of any finite float input
// neither overflow nor lose the sign that decides inside from outside.
struct ClipVertex {
    double x, y, z, w;
    float a[kAttrCount];
};

// Planes: w >= kMinW, z >= 0, z <= w, and the four sides. A convex polygon of n vertices gains at
// most one vertex per plane.
constexpr int kPlaneCount = 7;
constexpr int kMaxPolygon = 3 + kPlaneCount;
// The sides clip this many times further out than the viewport; the rows and spans are cut to the
// viewport exactly. Cutting a triangle moves its edges by rounding, which would break the top-left
// rule along edges through pixel centres, so only triangles reaching this far are cut. 64 keeps
// 28.4 coordinates of a 32768-pixel viewport well inside the 64-bit edge arithmetic.
constexpr double kGuardBand = 64.0;
// Keeps 1/w finite and small enough for the fixed-point screen coordinates.
constexpr double kMinW = 1e-6;

// The viewport area as the rasterizer uses it: the projection and the pixel rectangle that may be
// written (the viewport intersected with the target). Empty when there is nothing to draw.
struct Frame {
    double centreX, centreY;  // pixels
    double scale;             // s: pixels per clip unit
    double maxX, maxY;        // visible |x/w|, |y/w|
    double guardX, guardY;    // where the side planes clip: kGuardBand times the visible extent
    int left, top, right, bottom;  // writable pixels [left, right) x [top, bottom)
    int viewTop, viewBottom;       // the viewport's rows in the target, before the target's own
                                   // row limits: lines are stepped from these, so that every
                                   // pixel's values are the same whichever rows are drawn
    bool empty;

    // Only some of the viewport's rows are written.
    bool Partial() const { return top > viewTop || bottom < viewBottom; }
    bool RowWritten(int y) const { return y >= top && y < bottom; }
    // How many rows from y on, stepping by dir (+1 or -1), until a written one: 0 when y is one,
    // kNoRowWritten when there is none that way.
    static constexpr int kNoRowWritten = 1 << 30;
    int RowsToWritten(int y, int dir) const {
        if (dir > 0) return y >= bottom ? kNoRowWritten : y < top ? top - y : 0;
        return y < top ? kNoRowWritten : y >= bottom ? y - (bottom - 1) : 0;
    }
};
Frame MakeFrame(const RasterTarget& target, const RasterViewport& vp);

// Something between screen y = yMin and yMax (pixels) may land on a written row: false only when
// none of rows floor(yMin) - 1 .. floor(yMax) + 1 is written, which leaves room for snapping and
// for the rounding of steps. Lets a thread skip setting up what only the other one draws; NaN
// says yes, and the drawing takes its own safe course.
inline bool MayWriteRows(const Frame& f, double yMin, double yMax) {
    return !(std::floor(yMin) - 1 >= f.bottom || std::floor(yMax) + 1 < f.top);
}

// Bits of the planes `v` lies outside of (NaN counts as outside every plane).
unsigned Outcode(const ClipVertex& v, const Frame& f);
// Clips the convex polygon in[0..n) against the planes in `planes`; returns the new count, which
// is 0 when nothing is left. `out` and `scratch` hold kMaxPolygon vertices.
int ClipPolygon(const ClipVertex* in, int n, unsigned planes, const Frame& f, ClipVertex* out,
                ClipVertex* scratch);
// Clips the segment a-b; false when nothing is left.
bool ClipSegment(ClipVertex& a, ClipVertex& b, const Frame& f);

// RasterLine after its checks: a and b are ToClip'd, f is not empty.
void DrawClipLine(const RasterTarget& target, const Frame& f, const RasterState& state, ClipVertex a,
                  ClipVertex b);

// Input to clip vertex, with colours clamped to 0..1 and NaN attributes set to 0. Returns false
// when a position component is not finite.
bool ToClip(const RasterVertex& v, ClipVertex& out);

// Projection to pixels (continuous coordinates, pixel centres at +0.5).
inline double ScreenX(const ClipVertex& v, const Frame& f) { return f.centreX + f.scale * v.x / v.w; }
inline double ScreenY(const ClipVertex& v, const Frame& f) { return f.centreY - f.scale * v.y / v.w; }

// Pixel packing with optional ordered dither: pixel = red[r + dr] | green[g + dg] | blue[b + dr]
// for r, g, b in 0..255 and the dither offsets of a Dither table.
struct PackTables {
    uint16_t red[264], green[264], blue[264];
};
const PackTables& PackTablesFor(bool rgb555);
// Offsets for pixel (x, y) at [y & 3][x & 3]: 0..7 for 5-bit channels, 0..3 (or 0..7 in 5-5-5) for
// green. All zero when dither is off. Adding up to 7 before dropping 3 bits keeps 0 at 0.
struct Dither {
    uint8_t rb[4][4], g[4][4];
};
const Dither& DitherFor(bool dither, bool rgb555);

inline uint16_t* PixelRow(const RasterTarget& t, int y) {
    return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(t.pixels) + static_cast<std::ptrdiff_t>(y) * t.pitch);
}
inline uint16_t* DepthRow(const RasterTarget& t, int y) {
    return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(t.zbuffer) + static_cast<std::ptrdiff_t>(y) * t.zpitch);
}

// Clamp to [lo, hi]; NaN becomes lo.
inline float ClampF(float v, float lo, float hi) {
    return v > lo ? (v < hi ? v : hi) : lo;
}

}  // namespace raster
