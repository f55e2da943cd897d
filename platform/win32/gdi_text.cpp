// Text on a surface context: SetBkMode, SetBkColor, SetTextColor and TextOutA with the embedded
// 8 x 13 font. Reproduces left-top aligned single-line output, transparent and opaque
// backgrounds, colours truncated to the surface's layout. Leaves out font selection, alignment
// modes, kerning and text on memory contexts.
#include <string>

#include "platform/testing/hooks.h"
#include "platform/win32/font.h"
#include "platform/win32/gdi.h"

namespace {

// Draws one glyph cell with its top-left corner at (x, y), clipped to the target; the cell must
// overlap the target. `opaque` also fills the cell's background pixels.
void DrawGlyph(const GdiPixelTarget& target, int64_t x, int y, const uint8_t* glyph,
               uint16_t ink, uint16_t paper, bool opaque) {
    int x0 = x < 0 ? static_cast<int>(-x) : 0;
    int x1 = x + kGdiFontWidth > target.width ? static_cast<int>(target.width - x) : kGdiFontWidth;
    int y0 = y < 0 ? -y : 0;
    int y1 = int64_t{y} + kGdiFontHeight > target.height ? target.height - y : kGdiFontHeight;
    for (int row = y0; row < y1; row++) {
        uint16_t* out = GdiTargetRow(target, y + row) + (x + x0);  // pixel x0 of the cell
        for (int col = x0; col < x1; col++, out++) {
            if (glyph[row] & (0x80 >> col))
                *out = ink;
            else if (opaque)
                *out = paper;
        }
    }
}

bool IsTarget(HDC dc) { return IsGdiDC(dc) && dc->kind == GdiDcKind::Target; }

}  // namespace

int SetBkMode(HDC dc, int mode) {
    if (standin::CallLogEnabled()) standin::LogCall("SetBkMode " + std::to_string(mode));
    if (!IsGdiDC(dc) || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    if (standin::CallLogEnabled()) standin::LogCall("SetBkColor " + std::to_string(color));
    if (!IsGdiDC(dc)) return CLR_INVALID;
    COLORREF previous = dc->bkColor;
    dc->bkColor = color;
    return previous;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    if (standin::CallLogEnabled()) standin::LogCall("SetTextColor " + std::to_string(color));
    if (!IsGdiDC(dc)) return CLR_INVALID;
    COLORREF previous = dc->textColor;
    dc->textColor = color;
    return previous;
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
    if (standin::CallLogEnabled() && text && length > 0)
        standin::LogCall("TextOutA " + std::to_string(x) + " " + std::to_string(y) + " " +
                         std::string(text, static_cast<size_t>(length)));
    if (!IsTarget(dc) || length < 0 || (length > 0 && !text)) return FALSE;
    const GdiPixelTarget& target = dc->target;
    uint16_t ink = PackGdiColorRef(dc->textColor, target.rgb555);
    uint16_t paper = PackGdiColorRef(dc->bkColor, target.rgb555);
    bool opaque = dc->bkMode == OPAQUE;
    // A line wholly above or below the target draws nothing.
    if (int64_t{y} + kGdiFontHeight <= 0 || y >= target.height) return TRUE;
    for (int i = 0; i < length; i++) {
        int64_t cellX = int64_t{x} + int64_t{i} * kGdiFontWidth;
        if (cellX >= target.width) break;
        if (cellX + kGdiFontWidth <= 0) continue;
        const uint8_t* glyph = kGdiFontGlyphs[static_cast<unsigned char>(text[i])];
        DrawGlyph(target, cellX, y, glyph, ink, paper, opaque);
    }
    return TRUE;
}
