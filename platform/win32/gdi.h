// The GDI objects of the stand-in: DIB-section bitmaps, memory contexts and the contexts that
// draw into a DirectDraw surface's 16-bit memory. Stand-in internal: the show sees only handles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/win32.h"

// 16-bit memory a target context draws into. The memory belongs to the caller (a surface) and
// must stay where it is until DeleteTargetDC.
struct GdiPixelTarget {
    uint16_t* pixels;  // the first row
    int width;         // pixels, > 0
    int height;        // rows, > 0
    int pitch;         // bytes from one row to the next: even and >= width * 2
    bool rgb555;       // 5-5-5 when true, else 5-6-5
    // Where a copied-in picture's file name goes (the surface's own record), or null.
    std::string* picture = nullptr;
};

// A context drawing into `target` (what IDirectDrawSurface::GetDC hands out); null when the
// target is unusable (no memory, a size <= 0, an odd or short pitch).
HDC CreateTargetDC(const GdiPixelTarget& target);
// Frees a context CreateTargetDC made (ReleaseDC or the surface's last Release). Null and other
// kinds of context are ignored.
void DeleteTargetDC(HDC dc);

// A DIB section: what LoadImageA returns and a memory context selects.
struct HGDIOBJ__ {
    int width = 0;                  // pixels, 1..16384
    int height = 0;                 // rows, 1..16384
    std::vector<uint32_t> pixels;   // 0x00RRGGBB words, rows top-down, no padding
    HDC__* selectedInto = nullptr;  // the memory context holding it; a bitmap sits in one at most
    bool stock = false;             // the 1 x 1 bitmap a new memory context holds: never freed
    std::string file;               // the file LoadImageA read it from, else empty
};

enum class GdiDcKind { Memory, Target };

struct HDC__ {
    GdiDcKind kind = GdiDcKind::Memory;
    HGDIOBJ__* bitmap = nullptr;  // Memory: the selected bitmap (the stock one at first)
    GdiPixelTarget target{};      // Target: where drawing goes
    COLORREF textColor = 0x000000;
    COLORREF bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
};

// Handles the stand-in made and has not freed yet: anything else is refused, not followed.
bool IsGdiBitmap(HGDIOBJ object);
bool IsGdiDC(HDC dc);
// A new, registered bitmap of width x height black pixels; sizes must already be checked.
HGDIOBJ NewGdiBitmap(int width, int height);

// 8-bit channels to a 16-bit pixel by truncation, so black stays exactly 0.
inline uint16_t PackGdiPixel(uint32_t r, uint32_t g, uint32_t b, bool rgb555) {
    if (rgb555) return static_cast<uint16_t>((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
    return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}
// A DIB word 0x00RRGGBB to a 16-bit pixel.
inline uint16_t PackGdiRgb(uint32_t rgb, bool rgb555) {
    return PackGdiPixel(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF, rgb555);
}
// A colour value 0x00BBGGRR to a 16-bit pixel; the flag byte on top is ignored.
inline uint16_t PackGdiColorRef(COLORREF color, bool rgb555) {
    return PackGdiPixel(color & 0xFF, color >> 8 & 0xFF, color >> 16 & 0xFF, rgb555);
}
// Row y of a target, as 16-bit pixels.
inline uint16_t* GdiTargetRow(const GdiPixelTarget& target, int y) {
    return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(target.pixels) +
                                       static_cast<ptrdiff_t>(y) * target.pitch);
}
