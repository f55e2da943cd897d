// Packing of five-bit colour channels into the display's 16-bit pixel format.
#pragma once

#include "display/display.h"
#include "platform/win32/win32.h"

// r, g, b: 0..31. In 5-6-5 the five green bits fill the top of the six-bit field, its lowest
// bit stays 0.
inline WORD PackColour(int r, int g, int b) {
    if (IsRgb555) return static_cast<WORD>((r << 10) | (g << 5) | b);
    return static_cast<WORD>((r << 11) | (g << 6) | b);
}
