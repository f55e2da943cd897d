// Making surfaces and reaching their pixels. Stand-in internal.
#pragma once

#include <cstdint>

#include "platform/ddraw/ddraw.h"

// Largest side of a surface: generous for pictures, small enough that a bad size in a file
// can never ask for gigabytes.
constexpr int kMaxSurfaceSide = 16384;

// A new surface of width x height 16-bit pixels, all 0, or null when the size is out of
// range or memory is short. Rows are width * 2 bytes apart, plus the test hook's padding.
IDirectDrawSurface* NewSurface(int width, int height, bool rgb555, DWORD caps, const char* tag);

inline uint16_t* SurfaceRow(IDirectDrawSurface* s, int y) {
    return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(s->memory.data()) +
                                       static_cast<ptrdiff_t>(y) * s->pitch);
}
