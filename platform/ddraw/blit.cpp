// The blitter: plain copy (whole-to-whole stretched, or equal rectangles), colour-keyed copy
// with the source key from the effects record, and colour fill. Rectangles are checked once
// here; the row loops below trust them.
#include <cstring>
#include <string>

#include "platform/ddraw/ddraw.h"
#include "platform/ddraw/surface_memory.h"
#include "platform/testing/hooks.h"
#include "platform/win32/whole_file.h"

namespace {

bool RectInside(const RECT& r, int width, int height) {
    return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height &&
           r.left < r.right && r.top < r.bottom;
}

void FillRect(IDirectDrawSurface* d, const RECT& r, uint16_t color) {
    const size_t width = static_cast<size_t>(r.right - r.left);
    for (int y = r.top; y < r.bottom; y++) {
        uint16_t* row = SurfaceRow(d, y) + r.left;
        if (color == 0) {
            std::memset(row, 0, width * 2);  // black, every frame of most segments
        } else {
            std::fill_n(row, width, color);
        }
    }
}

void CopyRect(IDirectDrawSurface* d, const RECT& dr, IDirectDrawSurface* s, const RECT& sr) {
    const size_t bytes = static_cast<size_t>(dr.right - dr.left) * 2;
    for (int y = 0; y < dr.bottom - dr.top; y++)
        std::memmove(SurfaceRow(d, dr.top + y) + dr.left, SurfaceRow(s, sr.top + y) + sr.left, bytes);
}

// Eight pixels as one vector: the key test and the select become a compare and a blend.
typedef uint16_t Pixels8 __attribute__((vector_size(16)));

// Source pixels within [low, high] are transparent.
void CopyRectKeyed(IDirectDrawSurface* d, const RECT& dr, IDirectDrawSurface* s, const RECT& sr,
                   uint16_t low, uint16_t high) {
    const int width = dr.right - dr.left;
    const uint16_t range = static_cast<uint16_t>(high - low);  // low <= high: checked by Blt
    for (int y = 0; y < dr.bottom - dr.top; y++) {
        uint16_t* out = SurfaceRow(d, dr.top + y) + dr.left;
        const uint16_t* in = SurfaceRow(s, sr.top + y) + sr.left;
        int x = 0;
        for (; x + 8 <= width; x += 8) {
            Pixels8 p, o;
            std::memcpy(&p, in + x, sizeof p);
            std::memcpy(&o, out + x, sizeof o);
            const Pixels8 transparent = reinterpret_cast<Pixels8>(static_cast<Pixels8>(p - low) <= range);
            const Pixels8 r = (o & transparent) | (p & ~transparent);
            std::memcpy(out + x, &r, sizeof r);
        }
        for (; x < width; x++) {
            const uint16_t p = in[x];
            if (static_cast<uint16_t>(p - low) > range) out[x] = p;
        }
    }
}

// Nearest-neighbour stretch of the whole source rectangle over the destination one, in
// 16.16 fixed point so each row and column maps the same way every frame.
void StretchRect(IDirectDrawSurface* d, const RECT& dr, IDirectDrawSurface* s, const RECT& sr,
                 bool keyed, uint16_t low, uint16_t high) {
    const int dw = dr.right - dr.left, dh = dr.bottom - dr.top;
    const int sw = sr.right - sr.left, sh = sr.bottom - sr.top;
    const int64_t stepX = (static_cast<int64_t>(sw) << 16) / dw;
    const int64_t stepY = (static_cast<int64_t>(sh) << 16) / dh;
    for (int y = 0; y < dh; y++) {
        const uint16_t* in = SurfaceRow(s, sr.top + static_cast<int>((y * stepY) >> 16)) + sr.left;
        uint16_t* out = SurfaceRow(d, dr.top + y) + dr.left;
        int64_t fx = 0;
        for (int x = 0; x < dw; x++, fx += stepX) {
            uint16_t p = in[fx >> 16];
            if (!keyed || p < low || p > high) out[x] = p;
        }
    }
}

}  // namespace

HRESULT IDirectDrawSurface::Blt(LPRECT destRect, IDirectDrawSurface* source, LPRECT sourceRect,
                                DWORD flags, DDBLTFX* fx) {
    if (standin::CallLogEnabled()) standin::LogCall("IDirectDrawSurface::Blt " + tag + (source ? " from " + source->tag : ""));
    HRESULT fault;
    if (standin::TakeFault("IDirectDrawSurface::Blt", &fault)) return fault;
    if (lost || (source && source->lost)) return DDERR_SURFACELOST;
    if (locked || dc || (source && (source->locked || source->dc))) return DDERR_SURFACEBUSY;

    RECT dr = destRect ? *destRect : RECT{0, 0, width, height};
    if (!RectInside(dr, width, height)) return DDERR_INVALIDRECT;

    if (flags & DDBLT_COLORFILL) {
        if (!fx || fx->dwSize != sizeof(DDBLTFX)) return DDERR_INVALIDPARAMS;
        FillRect(this, dr, static_cast<uint16_t>(fx->dwFillColor));
        return DD_OK;
    }

    if (!source) return DDERR_INVALIDPARAMS;
    RECT sr = sourceRect ? *sourceRect : RECT{0, 0, source->width, source->height};
    if (!RectInside(sr, source->width, source->height)) {
        // A picture smaller than the part cut from it: nothing is drawn, as on the platform,
        // and the file is named once.
        if (!source->picture.empty())
            ReportFileProblem(source->picture,
                              "is " + std::to_string(source->width) + "x" + std::to_string(source->height) +
                                  ", smaller than the part drawn from it (" + std::to_string(sr.left) + "," +
                                  std::to_string(sr.top) + ")-(" + std::to_string(sr.right) + "," +
                                  std::to_string(sr.bottom) + ")");
        return DDERR_INVALIDRECT;
    }

    bool keyed = false;
    uint16_t low = 0, high = 0;
    if (flags & DDBLT_KEYSRCOVERRIDE) {
        if (!fx || fx->dwSize != sizeof(DDBLTFX)) return DDERR_INVALIDPARAMS;
        keyed = true;
        low = static_cast<uint16_t>(fx->ddckSrcColorkey.dwColorSpaceLowValue);
        high = static_cast<uint16_t>(fx->ddckSrcColorkey.dwColorSpaceHighValue);
        if (high < low) high = low;
    }

    const bool sameSize = dr.right - dr.left == sr.right - sr.left && dr.bottom - dr.top == sr.bottom - sr.top;
    if (!sameSize) {
        StretchRect(this, dr, source, sr, keyed, low, high);
    } else if (keyed) {
        CopyRectKeyed(this, dr, source, sr, low, high);
    } else {
        CopyRect(this, dr, source, sr);
    }
    return DD_OK;
}
