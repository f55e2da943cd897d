// The wave edge: black left, slate right, the edge between them waving row by row.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "display/display.h"
#include "display/frame_buffer.h"
#include "effects/effect_time.h"
#include "effects/effects.h"
#include "effects/reference.h"
#include "effects/tables.h"

namespace {

// The row's displacement w, -50..50: four sines of the row moving at different speeds.
// Indices wrap modulo 2^32 before the mask, as signed 32-bit arithmetic would, so any b is safe.
int RowShift(uint32_t y, uint32_t b) {
    int p = SineTable[(16 * y - 24 * b + 110) & 1023];
    int q = SineTable[(8 * y - 48 * b + 110) & 1023];
    int r = SineTable[(4 * y + 24 * b + 220) & 1023];
    int s = SineTable[(4 * y + 12 * b) & 1023];
    return (p + q + r + s) >> 2;  // arithmetic: the floor of the mean
}

WORD* PixelRow(WORD* pixels, int y) { return pixels + static_cast<ptrdiff_t>(FrameBuffer.lPitch / 2) * y; }

}  // namespace

WORD EdgeColour() { return IsRgb555 ? EdgeColour555 : EdgeColour565; }

// Within |w| <= 50 a column x of 160..379 is coloured exactly when x + w >= 320, so each row
// is black up to column 320 - w (270..370) and coloured from there. Every row is then a
// 640-pixel window into one run of 640 black and 640 coloured pixels, starting at column
// 640 - edge of the run: one block copy a row.
void DrawWaveEdge(WORD* pixels, float t) {
    static WORD run[2 * EffectWidth];  // rewritten every call; black half stays 0
    const uint32_t b = static_cast<uint32_t>(TruncateTime(t));
    const WORD colour = EdgeColour();
    for (int x = EffectWidth; x < 2 * EffectWidth; x++) run[x] = colour;
    for (int y = 0; y < EffectHeight; y++) {
        const int edge = 320 - RowShift(y, b);  // 270..370
        std::memcpy(PixelRow(pixels, y), run + EffectWidth - edge, EffectWidth * sizeof(WORD));
    }
}

void DrawWaveEdgeReference(WORD* pixels, float t) {
    const uint32_t b = static_cast<uint32_t>(TruncateTime(t));
    const WORD colour = EdgeColour();
    for (int y = 0; y < EffectHeight; y++) {
        WORD* row = PixelRow(pixels, y);
        int w = RowShift(y, b);
        for (int x = 0; x < 160; x++) row[x] = 0;
        for (int x = 160; x < 380; x++) row[x] = ((x + w) / 320) % 2 ? colour : 0;
        for (int x = 380; x < EffectWidth; x++) row[x] = colour;
    }
}
