// The pixels of a triangle's span, shared by the plain loop and the wide (16-lane) one.
// Rasterizer internal.
#pragma once

#include <cstdint>

namespace raster {

// One span row's targets and its running values. All values are fixed point and wrap modulo
// 2^32 (the steps never carry one past its end): z as 0..65535 with 15 fraction bits, colours
// 0..256 and specular 0..255 with 16. A pixel is red[r' + drb] | green[g' + dg] | blue[b' + drb]
// of the packing tables, r' = texel * colour >> 8 (plus specular, held at 255).
struct SpanPixels {
    uint16_t* pixels;  // the row, indexed by x
    uint16_t* depth;   // the depth row, or null without z
    const uint32_t* texels;  // the texture level (0x00RRGGBB), or null
    uint32_t umask, vmask;   // level side - 1
    int ushift;              // log2 of the level width
    const uint8_t* ditherRB;  // the row's dither offsets, [x & 3]
    const uint8_t* ditherG;
    bool rgb555;
    uint32_t z, r, g, b, sr, sg, sb;         // at the next pixel
    uint32_t dz, dr, dg, db, dsr, dsg, dsb;  // per pixel
};

#if defined(__x86_64__) && defined(__GNUC__)
constexpr bool kWideSpansBuilt = true;
#else
constexpr bool kWideSpansBuilt = false;  // DrawPixelsWide is not built: never call it
#endif

// True when this processor runs DrawPixelsWide (AVX-512 with byte and word lanes, asked once)
// and the wide loop is allowed.
bool HasWideSpans();
// For comparing the two loops: false keeps every span on the plain loop.
void AllowWideSpans(bool allow);

// Pixels x .. x + n - 1 (n <= 16), the texture stepped from (tu, tv) by (du, dv) per pixel in
// 16.16 texels; advances the running values by n pixels. The same pixels as the plain loop.
template <bool Tex, bool Specular, bool ZTest, bool ZWrite>
void DrawPixelsWide(SpanPixels& p, int x, int n, uint32_t tu, uint32_t tv, uint32_t du, uint32_t dv);

}  // namespace raster
