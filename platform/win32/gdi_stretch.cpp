// StretchBlt from a memory context's bitmap into a surface context: nearest neighbour, mirrored
// by a negative width or height, clipped to both bitmap and surface, 8-bit channels truncated to
// the surface's 5-6-5 or 5-5-5 layout. Reproduces SRCCOPY only; the other raster operations and
// the stretch modes that blend are left out.
#include <string>
#include <vector>

#include "platform/testing/hooks.h"
#include "platform/win32/gdi.h"

namespace {

// Longest side a stretch may name, so the scaling products below stay within 64 bits
// (2^25 * 2^24). Larger rectangles than any surface or bitmap could hold are refused.
constexpr int64_t kMaxExtent = int64_t{1} << 24;

struct Span {
    int64_t start;   // first pixel covered
    int64_t length;  // pixels covered, >= 0
    bool mirrored;
};

// A negative length covers the pixels from pos + length + 1 to pos, right to left.
Span Normalised(int pos, int length) {
    if (length >= 0) return Span{pos, length, false};
    return Span{int64_t{pos} + length + 1, -int64_t{length}, true};
}

// For each destination pixel of `dst` that lies in [0, dstLimit): its source pixel, or -1 when
// that falls outside [0, srcLimit). `first` receives the destination index of entry 0.
std::vector<int> MapAxis(const Span& dst, const Span& src, int dstLimit, int srcLimit, int* first) {
    int64_t begin = dst.start < 0 ? 0 : dst.start;
    int64_t end = dst.start + dst.length;
    if (end > dstLimit) end = dstLimit;
    std::vector<int> map;
    *first = static_cast<int>(begin);
    if (end <= begin) return map;
    map.resize(static_cast<size_t>(end - begin));
    bool mirror = dst.mirrored != src.mirrored;
    for (int64_t d = begin; d < end; d++) {
        int64_t i = d - dst.start;
        if (mirror) i = dst.length - 1 - i;
        // Sample at the centre of the destination pixel.
        int64_t s = src.start + (2 * i + 1) * src.length / (2 * dst.length);
        map[static_cast<size_t>(d - begin)] = s >= 0 && s < srcLimit ? static_cast<int>(s) : -1;
    }
    return map;
}

}  // namespace

BOOL StretchBlt(HDC destination, int dx, int dy, int dw, int dh, HDC source, int sx, int sy, int sw,
                int sh, DWORD rop) {
    if (standin::CallLogEnabled())
        standin::LogCall("StretchBlt " + std::to_string(dw) + "x" + std::to_string(dh) + " from " +
                         std::to_string(sw) + "x" + std::to_string(sh));
    if (standin::TakeFault("StretchBlt")) return FALSE;
    if (!IsGdiDC(destination) || destination->kind != GdiDcKind::Target || !IsGdiDC(source) ||
        source->kind != GdiDcKind::Memory || !source->bitmap || rop != SRCCOPY)
        return FALSE;
    Span dxSpan = Normalised(dx, dw), dySpan = Normalised(dy, dh);
    Span sxSpan = Normalised(sx, sw), sySpan = Normalised(sy, sh);
    if (dxSpan.length > kMaxExtent || dySpan.length > kMaxExtent || sxSpan.length > kMaxExtent ||
        sySpan.length > kMaxExtent)
        return FALSE;
    if (dxSpan.length == 0 || dySpan.length == 0 || sxSpan.length == 0 || sySpan.length == 0)
        return TRUE;  // nothing covered

    const GdiPixelTarget& target = destination->target;
    const HGDIOBJ__& bitmap = *source->bitmap;
    if (target.picture) *target.picture = bitmap.file;
    int firstX, firstY;
    std::vector<int> columns = MapAxis(dxSpan, sxSpan, target.width, bitmap.width, &firstX);
    std::vector<int> rows = MapAxis(dySpan, sySpan, target.height, bitmap.height, &firstY);
    // Every index in the maps is now inside both the bitmap and the target.
    for (size_t r = 0; r < rows.size(); r++) {
        if (rows[r] < 0) continue;
        const uint32_t* in = bitmap.pixels.data() + static_cast<size_t>(rows[r]) * bitmap.width;
        uint16_t* out = GdiTargetRow(target, firstY + static_cast<int>(r)) + firstX;
        for (size_t c = 0; c < columns.size(); c++)
            if (columns[c] >= 0) out[c] = PackGdiRgb(in[columns[c]], target.rgb555);
    }
    return TRUE;
}
