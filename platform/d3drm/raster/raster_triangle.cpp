// Solid triangles: clip, project, snap to 28.4 fixed point, then row spans between exact integer
// edge steppers (top-left rule) with z, Gouraud colour and perspective-correct texture per pixel.
#include <algorithm>
#include <cmath>

#include "platform/d3drm/raster/raster_internal.h"
#include "platform/d3drm/raster/raster_span.h"

namespace raster {
namespace {

// Attributes interpolated across a triangle. Z and colours are linear in screen space; the
// texture coordinates are carried as u*q, v*q and q = 1/w, linear in screen space, and divided
// per pixel.
enum { kZ, kCR, kCG, kCB, kCSR, kCSG, kCSB, kUQ, kVQ, kQ, kPlaneAttrs };
constexpr int kIntAttrs = kCSB + 1;  // z and the six colour channels step as integers

struct ScreenVertex {
    int64_t x, y;  // 28.4 fixed-point pixels
    double a[kPlaneAttrs];
};

// Integer fixed-point scale of each integer attribute: z as 0..65535 with 15 fraction bits (fits
// int32 with room), colours 0..1 as 0..256 with 16 fraction bits, specular 0..1 as 0..255.
constexpr double kIntScale[kIntAttrs] = {65535.0 * 32768.0, 256.0 * 65536.0, 256.0 * 65536.0,
                                         256.0 * 65536.0,   255.0 * 65536.0, 255.0 * 65536.0,
                                         255.0 * 65536.0};

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
    int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}
int64_t CeilDiv(int64_t a, int64_t b) {  // b > 0
    int64_t q = a / b;
    return (a % b != 0 && a > 0) ? q + 1 : q;
}

// The first pixel column whose centre is at or right of an edge, row by row, in exact integer
// arithmetic. Used as the inclusive start of a span on a left edge and as the exclusive end on a
// right edge, which is what makes two triangles sharing an edge meet without gap or overlap.
struct EdgeStepper {
    int64_t x, rem, den, stepQ, stepR;

    // Edge (xa, ya) -> (xb, yb) with yb > ya, positioned on pixel row `row` (centre 16*row + 8).
    void Init(int64_t xa, int64_t ya, int64_t xb, int64_t yb, int64_t row) {
        int64_t dx = xb - xa, dy = yb - ya;
        // Column c qualifies when 16c + 8 >= xa + (yc - ya) * dx / dy, i.e. c >= num / den.
        int64_t num = (16 * row + 8 - ya) * dx + (xa - 8) * dy;
        den = 16 * dy;
        x = CeilDiv(num, den);
        rem = x * den - num;
        int64_t step = 16 * dx;
        stepQ = FloorDiv(step, den);
        stepR = step - stepQ * den;
    }
    void Step() {
        x += stepQ;
        rem -= stepR;
        if (rem < 0) {
            rem += den;
            ++x;
        }
    }
};

struct Setup {
    const RasterTarget* target;
    const Frame* frame;
    const RasterTextureLevel* level;  // null: untextured
    const PackTables* pack;
    const Dither* dither;
    bool wide;      // spans go 16 pixels a step where runs are long enough
    double x0, y0;  // pixels: vertex 0 of the triangle, origin of the planes
    double a0[kPlaneAttrs], dx[kPlaneAttrs], dy[kPlaneAttrs];
};

// A texture position in 16.16 texels, with what it takes to place the next exact one.
struct TexelPoint {
    int64_t u, v;
    double q;             // 1/w here
    double slopeU, slopeV;  // texels per pixel here
};

// The texture position at the centre of pixel column x on the row py below the planes' origin.
// Texel coordinates are >= 0 by construction (whole tiles were shifted off); the clamp only
// guards the conversion against rounding and a degenerate 1/w.
TexelPoint TexelAt(const Setup& s, int x, double py) {
    constexpr double kMaxTexel = 268435456.0;
    double px = x + 0.5 - s.x0;
    double uq = s.a0[kUQ] + s.dy[kUQ] * py + s.dx[kUQ] * px;
    double vq = s.a0[kVQ] + s.dy[kVQ] * py + s.dx[kVQ] * px;
    double q = s.a0[kQ] + s.dy[kQ] * py + s.dx[kQ] * px;
    double w = 1.0 / q;
    double u = uq * w, v = vq * w;
    return TexelPoint{static_cast<int64_t>(std::clamp(u, 0.0, kMaxTexel) * 65536.0),
                      static_cast<int64_t>(std::clamp(v, 0.0, kMaxTexel) * 65536.0), q,
                      (s.dx[kUQ] - u * s.dx[kQ]) * w, (s.dx[kVQ] - v * s.dx[kQ]) * w};
}

// Perspective is exact at the ends of runs of pixels and linear between. Linear steps over L
// pixels stray from the true position by about L^2/4 * |dq/q| * |texels per pixel|; runs are as
// long as keeps that under half a texel at both ends of the span, up to kMaxTexelRun (a
// sixteenth of the divisions), so a steep receding wall still shows each texel where it belongs.
constexpr int kMaxTexelRun = 16;

int TexelRun(const Setup& s, const TexelPoint& a, const TexelPoint& b) {
    double bend = 0;
    for (const TexelPoint* p : {&a, &b}) {
        double slope = std::max(std::fabs(p->slopeU), std::fabs(p->slopeV));
        bend = std::max(bend, std::fabs(s.dx[kQ] / p->q) * slope);
    }
    int run = kMaxTexelRun;
    while (run > 1 && run * run * bend > 2.0) run /= 2;  // NaN bend: keeps the longest run
    return run;
}

// Pixels x .. end - 1 one at a time; the texture stepped from (tu, tv) by (du, dv).
template <bool Tex, bool Specular, bool ZTest, bool ZWrite>
[[gnu::always_inline]] inline void DrawPixels(SpanPixels& p, int x, int end, uint32_t tu, uint32_t tv, uint32_t du,
                                              uint32_t dv) {
    const PackTables& t = PackTablesFor(p.rgb555);
    uint16_t* const pixels = p.pixels;
    uint16_t* const depth = p.depth;
    const uint32_t* const texels = p.texels;
    const uint32_t umask = p.umask, vmask = p.vmask;
    const int ushift = p.ushift;
    const uint8_t* const drb = p.ditherRB;
    const uint8_t* const dg = p.ditherG;
    uint32_t z = p.z, r = p.r, g = p.g, b = p.b;
    uint32_t sr = p.sr, sg = p.sg, sb = p.sb;
    for (; x < end; ++x) {
        uint16_t zv = static_cast<uint16_t>((z + 16384) >> 15);
        if (!ZTest || zv <= depth[x]) {
            if (ZWrite) depth[x] = zv;
            int cr = static_cast<int>(r >> 16), cg = static_cast<int>(g >> 16), cb = static_cast<int>(b >> 16);  // 0..256
            int tr = 255, tg = 255, tb = 255;
            if constexpr (Tex) {
                uint32_t texel = texels[(((tv >> 16) & vmask) << ushift) | ((tu >> 16) & umask)];
                tr = (texel >> 16) & 0xff;
                tg = (texel >> 8) & 0xff;
                tb = texel & 0xff;
            }
            int outR = (tr * cr) >> 8, outG = (tg * cg) >> 8, outB = (tb * cb) >> 8;
            if constexpr (Specular) {
                outR = std::min(outR + static_cast<int>(sr >> 16), 255);
                outG = std::min(outG + static_cast<int>(sg >> 16), 255);
                outB = std::min(outB + static_cast<int>(sb >> 16), 255);
            }
            int di = x & 3;
            pixels[x] = static_cast<uint16_t>(t.red[outR + drb[di]] | t.green[outG + dg[di]] | t.blue[outB + drb[di]]);
        }
        z += p.dz;
        r += p.dr;
        g += p.dg;
        b += p.db;
        if constexpr (Specular) {
            sr += p.dsr;
            sg += p.dsg;
            sb += p.dsb;
        }
        if constexpr (Tex) {
            tu += du;
            tv += dv;
        }
    }
    p.z = z, p.r = r, p.g = g, p.b = b;
    p.sr = sr, p.sg = sg, p.sb = sb;
}

template <bool Tex, bool Specular, bool ZTest, bool ZWrite>
void DrawSpan(const Setup& s, int row, int xl, int xr) {
    double px = xl + 0.5 - s.x0, py = row + 0.5 - s.y0;
    double qx = (xr - 1) + 0.5 - s.x0;
    // Unsigned so that the step taken after the last pixel may wrap harmlessly.
    uint32_t v[kIntAttrs] = {}, d[kIntAttrs] = {};
    // Both ends are evaluated on the plane and clamped, and the integer step never carries a
    // value past its end, so no pixel leaves the attribute's range however thin the triangle.
    double inv = xr - xl > 1 ? 1.0 / (xr - xl - 1) : 0.0;
    for (int k = 0; k < kIntAttrs; ++k) {
        if (!Specular && k >= kCSR) break;
        double base = s.a0[k] + s.dy[k] * py;
        double start = std::clamp(base + s.dx[k] * px, 0.0, 1.0) * kIntScale[k];
        double end = std::clamp(base + s.dx[k] * qx, 0.0, 1.0) * kIntScale[k];
        int32_t is = static_cast<int32_t>(start), ie = static_cast<int32_t>(end);
        v[k] = static_cast<uint32_t>(is);
        d[k] = static_cast<uint32_t>(static_cast<int32_t>(static_cast<double>(ie - is) * inv));
    }
    SpanPixels p;  // every field set below
    p.pixels = PixelRow(*s.target, row);
    p.depth = (ZTest || ZWrite) ? DepthRow(*s.target, row) : nullptr;
    p.texels = Tex ? s.level->texels : nullptr;
    p.umask = Tex ? s.level->width - 1 : 0;
    p.vmask = Tex ? s.level->height - 1 : 0;
    p.ushift = Tex ? s.level->widthShift : 0;
    p.ditherRB = s.dither->rb[row & 3];
    p.ditherG = s.dither->g[row & 3];
    p.rgb555 = s.target->rgb555;
    p.z = v[kZ], p.r = v[kCR], p.g = v[kCG], p.b = v[kCB];
    p.sr = v[kCSR], p.sg = v[kCSG], p.sb = v[kCSB];
    p.dz = d[kZ], p.dr = d[kCR], p.dg = d[kCG], p.db = d[kCB];
    p.dsr = d[kCSR], p.dsg = d[kCSG], p.dsb = d[kCSB];
    // Texture coordinates, perspective-correct at the ends of each run and stepped linearly
    // between, in 16.16 texels. Only the bits under the wrap masks matter, so they wrap modulo
    // 2^32 (a level side is at most 2^12 texels).
    TexelPoint here{}, there{}, last{};
    int texelRun = kMaxTexelRun;
    if constexpr (Tex) {
        here = TexelAt(s, xl, py);
        last = xr - xl > 1 ? TexelAt(s, xr - 1, py) : here;
        if (xr - xl > 2) texelRun = TexelRun(s, here, last);
    }
    static_assert(kMaxTexelRun <= 16, "a run is one wide step");
    for (int x = xl; x < xr;) {
        int runEnd = std::min(x + texelRun, xr);
        uint32_t tu = 0, tv = 0, du = 0, dv = 0;
        if constexpr (Tex) {
            // The run's last pixel when the span ends here, else the next run's first.
            int to = runEnd < xr ? runEnd : xr - 1;
            if (to > x) {
                there = to == xr - 1 ? last : TexelAt(s, to, py);
                du = static_cast<uint32_t>((there.u - here.u) / (to - x));
                dv = static_cast<uint32_t>((there.v - here.v) / (to - x));
            }
            tu = static_cast<uint32_t>(here.u);
            tv = static_cast<uint32_t>(here.v);
            here = there;
        }
        if constexpr (kWideSpansBuilt) {
            if (s.wide && runEnd - x >= 8) {
                DrawPixelsWide<Tex, Specular, ZTest, ZWrite>(p, x, runEnd - x, tu, tv, du, dv);
                x = runEnd;
                continue;
            }
        }
        DrawPixels<Tex, Specular, ZTest, ZWrite>(p, x, runEnd, tu, tv, du, dv);
        x = runEnd;
    }
}

using SpanFn = void (*)(const Setup&, int, int, int);

template <bool Tex, bool Specular>
SpanFn PickDepth(bool ztest, bool zwrite) {
    if (ztest) return zwrite ? DrawSpan<Tex, Specular, true, true> : DrawSpan<Tex, Specular, true, false>;
    return zwrite ? DrawSpan<Tex, Specular, false, true> : DrawSpan<Tex, Specular, false, false>;
}

SpanFn PickSpan(bool tex, bool specular, bool ztest, bool zwrite) {
    if (tex) return specular ? PickDepth<true, true>(ztest, zwrite) : PickDepth<true, false>(ztest, zwrite);
    return specular ? PickDepth<false, true>(ztest, zwrite) : PickDepth<false, false>(ztest, zwrite);
}

// Rows [rowFrom, rowTo) between `left` and `right`, both already on rowFrom.
void DrawRows(const Setup& s, SpanFn span, EdgeStepper& left, EdgeStepper& right, int rowFrom,
              int rowTo) {
    const Frame& f = *s.frame;
    for (int row = rowFrom; row < rowTo; ++row) {
        int64_t xl = std::max<int64_t>(left.x, f.left);
        int64_t xr = std::min<int64_t>(right.x, f.right);
        if (xl < xr) span(s, row, static_cast<int>(xl), static_cast<int>(xr));
        left.Step();
        right.Step();
    }
}

void FillTriangle(Setup& s, SpanFn span, const ScreenVertex* p0, const ScreenVertex* p1,
                  const ScreenVertex* p2) {
    // Attribute planes from the snapped positions, so each vertex keeps its exact values.
    int64_t area2 = (p1->x - p0->x) * (p2->y - p0->y) - (p2->x - p0->x) * (p1->y - p0->y);
    if (area2 == 0) return;
    const Frame& f = *s.frame;
    // Rows whose centre lies in [top y, bottom y): a pixel centre on a top edge is in, on a
    // bottom edge out.
    int64_t rowTop = std::max<int64_t>(CeilDiv(std::min({p0->y, p1->y, p2->y}) - 8, 16), f.top);
    int64_t rowEnd = std::min<int64_t>(CeilDiv(std::max({p0->y, p1->y, p2->y}) - 8, 16), f.bottom);
    if (rowTop >= rowEnd) return;
    double e1x = (p1->x - p0->x) / 16.0, e1y = (p1->y - p0->y) / 16.0;
    double e2x = (p2->x - p0->x) / 16.0, e2y = (p2->y - p0->y) / 16.0;
    double invArea = 256.0 / static_cast<double>(area2);
    s.x0 = p0->x / 16.0;
    s.y0 = p0->y / 16.0;
    for (int k = 0; k < kPlaneAttrs; ++k) {
        double d1 = p1->a[k] - p0->a[k], d2 = p2->a[k] - p0->a[k];
        s.a0[k] = p0->a[k];
        s.dx[k] = (d1 * e2y - d2 * e1y) * invArea;
        s.dy[k] = (d2 * e1x - d1 * e2x) * invArea;
    }

    // Top to bottom; the long edge runs from the top vertex to the bottom one.
    if (p1->y < p0->y) std::swap(p0, p1);
    if (p2->y < p0->y) std::swap(p0, p2);
    if (p2->y < p1->y) std::swap(p1, p2);
    int64_t rowMid = std::clamp<int64_t>(CeilDiv(p1->y - 8, 16), f.top, f.bottom);
    // The middle vertex right of the long edge puts the long edge on the left.
    int64_t cross = (p1->x - p0->x) * (p2->y - p0->y) - (p2->x - p0->x) * (p1->y - p0->y);
    bool longLeft = cross > 0;

    EdgeStepper longEdge, shortEdge;
    longEdge.Init(p0->x, p0->y, p2->x, p2->y, rowTop);
    if (rowTop < rowMid) {
        shortEdge.Init(p0->x, p0->y, p1->x, p1->y, rowTop);
        if (longLeft) DrawRows(s, span, longEdge, shortEdge, static_cast<int>(rowTop), static_cast<int>(rowMid));
        else DrawRows(s, span, shortEdge, longEdge, static_cast<int>(rowTop), static_cast<int>(rowMid));
    }
    int64_t from = std::max(rowTop, rowMid);
    if (from < rowEnd) {
        shortEdge.Init(p1->x, p1->y, p2->x, p2->y, from);
        if (longLeft) DrawRows(s, span, longEdge, shortEdge, static_cast<int>(from), static_cast<int>(rowEnd));
        else DrawRows(s, span, shortEdge, longEdge, static_cast<int>(from), static_cast<int>(rowEnd));
    }
}

// The level whose texel-to-pixel scale is closest to 1, from the polygon's texture area (in
// level-0 texels) over its screen area: level k+1 is taken once the ratio reaches 4^(k + 1/2).
int PickLevel(const RasterTexture& tex, const ClipVertex* poly, const double* sx, const double* sy,
              int n) {
    double texArea = 0, screenArea = 0;
    for (int i = 1; i + 1 < n; ++i) {
        double du1 = poly[i].a[kU] - poly[0].a[kU], dv1 = poly[i].a[kV] - poly[0].a[kV];
        double du2 = poly[i + 1].a[kU] - poly[0].a[kU], dv2 = poly[i + 1].a[kV] - poly[0].a[kV];
        texArea += du1 * dv2 - du2 * dv1;
        screenArea += (sx[i] - sx[0]) * (sy[i + 1] - sy[0]) - (sx[i + 1] - sx[0]) * (sy[i] - sy[0]);
    }
    texArea = std::fabs(texArea) * tex.levels[0].width * tex.levels[0].height;
    screenArea = std::fabs(screenArea);
    int level = 0;
    double threshold = 2.0;
    while (level + 1 < tex.levelCount && texArea >= threshold * screenArea) {
        ++level;
        threshold *= 4.0;
    }
    return level;
}

// Far outside any viewport, far inside what 28.4 fixed point in 64 bits holds.
constexpr double kMaxScreenCoordinate = 1 << 24;

void FillClipped(const RasterTarget& target, const Frame& f, const RasterState& state,
                 ClipVertex* tri) {
    const RasterTexture* tex = state.texture && state.texture->levelCount > 0 ? state.texture : nullptr;
    if (state.shade == kRasterFlat)
        for (int i = 1; i < 3; ++i)
            std::copy(tri[0].a + kR, tri[0].a + kSB + 1, tri[i].a + kR);
    if (tex) {
        // Tiling repeats every whole unit, so whole tiles can be taken off: this keeps texel
        // coordinates small and non-negative. Tiles beyond 65536 are not told apart.
        float u0 = std::floor(std::min({tri[0].a[kU], tri[1].a[kU], tri[2].a[kU]}));
        float v0 = std::floor(std::min({tri[0].a[kV], tri[1].a[kV], tri[2].a[kV]}));
        for (int i = 0; i < 3; ++i) {
            tri[i].a[kU] = ClampF(tri[i].a[kU] - u0, 0.f, 65536.f);
            tri[i].a[kV] = ClampF(tri[i].a[kV] - v0, 0.f, 65536.f);
        }
    }

    unsigned c0 = Outcode(tri[0], f), c1 = Outcode(tri[1], f), c2 = Outcode(tri[2], f);
    if (c0 & c1 & c2) return;
    ClipVertex clipped[kMaxPolygon], scratch[kMaxPolygon];
    const ClipVertex* poly = tri;
    int n = 3;
    if (c0 | c1 | c2) {
        n = ClipPolygon(tri, 3, c0 | c1 | c2, f, clipped, scratch);
        poly = clipped;
    }
    if (n < 3) return;

    double sx[kMaxPolygon], sy[kMaxPolygon];
    for (int i = 0; i < n; ++i) {
        sx[i] = ScreenX(poly[i], f);
        sy[i] = ScreenY(poly[i], f);
        // Clipped, a corner lies on the viewport; one that is not finite came from values
        // that overflowed on the way (a model's 1e38), and has no place in fixed point.
        if (!(std::fabs(sx[i]) < kMaxScreenCoordinate && std::fabs(sy[i]) < kMaxScreenCoordinate)) return;
    }
    if (!MayWriteRows(f, *std::min_element(sy, sy + n), *std::max_element(sy, sy + n))) return;
    Setup s{};
    s.target = &target;
    s.frame = &f;
    s.pack = &PackTablesFor(target.rgb555);
    s.dither = &DitherFor(state.dither, target.rgb555);
    s.wide = kWideSpansBuilt && HasWideSpans();
    if (tex) {
        int level = state.filter == kRasterMipNearest ? PickLevel(*tex, poly, sx, sy, n) : 0;
        s.level = &tex->levels[level];
    }
    bool specular = false;
    ScreenVertex sv[kMaxPolygon];
    for (int i = 0; i < n; ++i) {
        const ClipVertex& c = poly[i];
        ScreenVertex& o = sv[i];
        o.x = static_cast<int64_t>(std::floor(sx[i] * 16.0 + 0.5));
        o.y = static_cast<int64_t>(std::floor(sy[i] * 16.0 + 0.5));
        double q = 1.0 / c.w;
        o.a[kZ] = std::clamp(c.z * q, 0.0, 1.0);
        for (int k = 0; k < 6; ++k) o.a[kCR + k] = c.a[kR + k];
        specular = specular || c.a[kSR] > 0 || c.a[kSG] > 0 || c.a[kSB] > 0;
        o.a[kQ] = q;
        o.a[kUQ] = s.level ? c.a[kU] * s.level->width * q : 0.0;
        o.a[kVQ] = s.level ? c.a[kV] * s.level->height * q : 0.0;
    }
    bool hasZ = target.zbuffer != nullptr;
    SpanFn span = PickSpan(s.level != nullptr, specular, hasZ && state.zTest, hasZ && state.zWrite);
    for (int i = 1; i + 1 < n; ++i) FillTriangle(s, span, &sv[0], &sv[i], &sv[i + 1]);
}

}  // namespace
}  // namespace raster

void RasterTriangle(const RasterTarget& target, const RasterViewport& vp, const RasterState& state,
                    const RasterVertex v[3], unsigned edgeMask) {
    if (!v) return;
    if (state.fill == kRasterPoints) {
        // Flat points take the face colour, which the caller keeps in v[0].
        for (int i = 0; i < 3; ++i) {
            RasterVertex p = v[i];
            if (state.shade == kRasterFlat) {
                p.r = v[0].r, p.g = v[0].g, p.b = v[0].b;
                p.sr = v[0].sr, p.sg = v[0].sg, p.sb = v[0].sb;
            }
            RasterPoint(target, vp, state, p);
        }
        return;
    }
    raster::Frame f = raster::MakeFrame(target, vp);
    if (f.empty) return;
    raster::ClipVertex tri[3];
    bool valid[3];
    for (int i = 0; i < 3; ++i) valid[i] = raster::ToClip(v[i], tri[i]);
    if (state.fill == kRasterWireframe) {
        // An edge needs only its own two corners. Flat edges take the face colour, which the
        // caller keeps in v[0].
        for (int e = 0; e < 3; ++e) {
            int n = (e + 1) % 3;
            if (!(edgeMask & (1u << e)) || !valid[e] || !valid[n]) continue;
            raster::ClipVertex a = tri[e];
            if (state.shade == kRasterFlat) std::copy(tri[0].a + raster::kR, tri[0].a + raster::kSB + 1, a.a + raster::kR);
            raster::DrawClipLine(target, f, state, a, tri[n]);
        }
        return;
    }
    if (!valid[0] || !valid[1] || !valid[2]) return;
    raster::FillClipped(target, f, state, tri);
}
