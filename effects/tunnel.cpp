// The tunnel: the texture looked up through a per-frame warp table, on the even rows only.
#include <cstddef>
#include <cstdint>

#include "display/frame_buffer.h"
#include "effects/effect_time.h"
#include "effects/effects.h"
#include "effects/reference.h"
#include "effects/tables.h"
#include "effects/tunnel_wide.h"

WORD WarpMap[320 * 240];

namespace {

constexpr int WarpWidth = 320;
constexpr int WarpHeight = 240;

// Low byte of a sine entry; indices wrap modulo 2^32 before the mask, as signed 32-bit
// arithmetic would, so negative and very large ones are both safe.
BYTE SineByte(uint32_t k) { return static_cast<BYTE>(SineTable[k & 1023]); }

// One step of b moves the lookup 15 texture rows and 6 columns (0x0F06), as one 16-bit add.
WORD TextureOffset(uint32_t b) { return static_cast<WORD>(3846u * b); }

WORD* PixelRow(WORD* pixels, int y) { return pixels + static_cast<ptrdiff_t>(FrameBuffer.lPitch / 2) * y; }

// Kept out of line and written pixel by pixel: the compiler's vector form of this scattered
// lookup is slower than the plain loads.
__attribute__((noinline)) void WriteTexelRow(WORD* row, const WORD* warp, WORD offset) {
    for (int n = 0; n < WarpWidth; n++) {
        WORD c = TextureRgb16[static_cast<WORD>(warp[n] + offset)];
        row[2 * n] = c;
        row[2 * n + 1] = c;
    }
}

}  // namespace

// Three of the four sines depend on the column only and one on the row only, so they are
// read once per column and once per row; the entries are the same as term by term.
void DrawTunnel(WORD* pixels, float t) {
    const uint32_t b = static_cast<uint32_t>(TruncateTime(t));
    BYTE columnHigh[WarpWidth], columnLow[WarpWidth];
    for (uint32_t n = 0; n < WarpWidth; n++) {
        columnHigh[n] = static_cast<BYTE>(SineByte(12 * b + 2 * n) - SineByte(2 * n - 6 * b - 200));
        columnLow[n] = static_cast<BYTE>(SineByte(2 * n - 6 * b) + n);
    }
    const WORD offset = TextureOffset(b);
    const bool wide = HasWideTunnel();
    for (uint32_t r = 0; r < WarpHeight; r++) {
        const BYTE rowLow = SineByte(4 * r - 6 * b);
        WORD* warp = WarpMap + r * WarpWidth;
        for (int n = 0; n < WarpWidth; n++) {
            BYTE high = static_cast<BYTE>(columnHigh[n] + r);
            BYTE low = static_cast<BYTE>(columnLow[n] + rowLow);
            warp[n] = static_cast<WORD>(high << 8 | low);
        }
        if (wide)
            WriteTexelRowWide(PixelRow(pixels, 2 * r), warp, offset);
        else
            WriteTexelRow(PixelRow(pixels, 2 * r), warp, offset);
    }
}

void DrawTunnelReference(WORD* pixels, float t) {
    const uint32_t b = static_cast<uint32_t>(TruncateTime(t));
    for (uint32_t r = 0; r < WarpHeight; r++) {
        for (uint32_t n = 0; n < WarpWidth; n++) {
            BYTE high = static_cast<BYTE>(SineByte(12 * b + 2 * n) - SineByte(2 * n - 6 * b - 200) + r);
            BYTE low = static_cast<BYTE>(SineByte(4 * r - 6 * b) + SineByte(2 * n - 6 * b) + n);
            WarpMap[r * WarpWidth + n] = static_cast<WORD>(high * 256 + low);
        }
    }
    const WORD offset = TextureOffset(b);
    for (int y = 0; y < EffectHeight; y += 2) {
        WORD* row = PixelRow(pixels, y);
        for (int x = 0; x < EffectWidth; x += 2) {
            WORD c = TextureRgb16[(WarpMap[(y / 2) * WarpWidth + x / 2] + offset) & 0xFFFF];
            row[x] = c;
            row[x + 1] = c;
        }
    }
}
